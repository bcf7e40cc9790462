#pragma once

#include <QGroupBox>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QTabBar;
class QTreeView;

// The right-hand frame: pick a WAV file and assign its name to the input of the selected tab.
class Chooser : public QGroupBox {
    Q_OBJECT
public:
    explicit Chooser(QWidget *parent = nullptr);

    // The input (1..4) of the selected tab.
    [[nodiscard]] int selectedInput() const;
    [[nodiscard]] QString folder() const;   // the folder File_tema shows

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
    void assign(int input, const QString &name);

public slots:
    void openFolder(const QString &path);

private:
    void fillDrives();
    void showFiles(const QString &path);
    QFileSystemModel *m_dirs;
    QFileSystemModel *m_files;
    bool m_folderShown = false;
};
