#pragma once

#include <QGroupBox>
#include <QHash>

#include <functional>

class QComboBox;
class FolderTree;
class FolderWatch;
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
    // Lists a folder's WAV files (filenames.h); may hang as long as the folder's file system.
    using FileLister = std::function<QList<QByteArray>(const QByteArray &folder)>;

    explicit Chooser(QWidget *parent = nullptr, VolumeLister listVolumes = &Chooser::mountedVolumes,
                     FileLister listFiles = {});

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
    // "SALVA SUONO" for the input of the selected tab: the absolute path of a file picked
    // in the list, or the name typed in the field (empty when it is).
    void assign(int input, const QByteArray &chosen);
    // The file list now shows the WAV files of `folder`.
    void filesListed(const QString &folder);

public slots:
    // Opens a folder in both lists; its path as bytes on disk, or as text.
    void openFolder(const QByteArray &path);
    void openFolder(const QString &path);

private:
    void fillDrives();
    void showFiles(const QByteArray &path);
    void listFiles();
    FolderTree *m_folderTree;
    QStandardItemModel *m_wavFiles;   // display: the name as shown; Qt::UserRole: its bytes on disk
    FolderWatch *m_folderWatch;
    QByteArray m_shownFolder;
    // The folders being listed now, each at most once: true when it changed since its
    // listing began, and is to be listed again when that one comes back.
    QHash<QByteArray, bool> m_listing;
    VolumeLister m_listVolumes;
    FileLister m_listFiles;
    QString m_chosenText;            // the name last picked in the file list, as shown
    QByteArray m_chosenBytes;        // and its path as it is on disk
    bool m_keepingCurrent = false;   // the list is being filled again, its file kept
};
