#pragma once

#include <QGroupBox>

#include <functional>

class QComboBox;
class FolderTree;
class QFileSystemWatcher;
class QStandardItemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QTabBar;
class QTreeView;

// The right-hand frame: pick a WAV file and assign its name to the input of the selected tab.
class Chooser : public QGroupBox {
    Q_OBJECT
public:
    // A volume shown in Drive_tema.
    struct Volume {
        QString root;
        QString name;
    };
    // Lists the mounted volumes; may hang (a dead network mount), so it is never called
    // on the window's thread.
    using VolumeLister = std::function<QList<Volume>()>;
    [[nodiscard]] static QList<Volume> mountedVolumes();

    explicit Chooser(QWidget *parent = nullptr, VolumeLister listVolumes = &Chooser::mountedVolumes);

    // The input (1..4) of the selected tab.
    [[nodiscard]] int selectedInput() const;

    QTabBar *TabStrip1;
    QComboBox *Drive_tema;
    QTreeView *Dir_tema;
    QListView *File_tema;
    QLineEdit *Text_tema;
    QPushButton *Command2;

signals:
    // The selected tab changed, or the selected one was clicked again.
    void tabSelected();
    // "SALVA SUONO" with a non-empty name for the input of the selected tab.
    void assign(int input, const QByteArray &name);
    // The file list now shows the WAV files of `folder`.
    void filesListed(const QString &folder);

public slots:
    void openFolder(const QString &path);

private:
    void fillDrives();
    void showFiles(const QString &path);
    void listFiles();
    FolderTree *m_folderTree;
    QStandardItemModel *m_wavFiles;   // display: the name as shown; Qt::UserRole: its bytes on disk
    QFileSystemWatcher *m_folderWatcher;
    QString m_shownFolder;
    VolumeLister m_listVolumes;
    QString m_chosenText;       // the name last picked in the file list, as shown
    QByteArray m_chosenBytes;   // and as it is on disk
};
