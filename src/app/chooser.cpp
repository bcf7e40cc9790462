#include "chooser.h"

#include "twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>

Chooser::Chooser(QWidget *parent)
    : QGroupBox(QStringLiteral("Scelta del file da aggiungere nel tema"), parent),
      TabStrip1(new QTabBar(this)),
      Drive_tema(new QComboBox(this)),
      Dir_tema(new QTreeView(this)),
      File_tema(new QListView(this)),
      Text_tema(new QLineEdit(this)),
      Command2(new QPushButton(QStringLiteral("SALVA SUONO"), this)),
      m_dirs(new QFileSystemModel(this)),
      m_files(new QFileSystemModel(this))
{
    setObjectName(QStringLiteral("Frame6"));
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    Drive_tema->setObjectName(QStringLiteral("Drive_tema"));
    Dir_tema->setObjectName(QStringLiteral("Dir_tema"));
    File_tema->setObjectName(QStringLiteral("File_tema"));
    Text_tema->setObjectName(QStringLiteral("Text_tema"));
    Command2->setObjectName(QStringLiteral("Command2"));

    TabStrip1->setGeometry(twips(240, 360, 2535, 255));
    Drive_tema->setGeometry(twips(240, 720, 2535, 315));
    Dir_tema->setGeometry(twips(240, 1080, 2535, 1215));
    File_tema->setGeometry(twips(240, 2400, 2535, 675));
    Text_tema->setGeometry(twips(240, 3120, 2535, 375));
    Command2->setGeometry(twips(240, 3600, 2535, 375));

    TabStrip1->setExpanding(true);
    TabStrip1->setUsesScrollButtons(false);
    TabStrip1->setDrawBase(false);
    for (int n = 1; n <= 4; ++n) {
        const int index = TabStrip1->addTab(QStringLiteral("ING %1").arg(n));
        TabStrip1->setTabData(index, QStringLiteral("ING_%1").arg(n));
    }
    TabStrip1->setCurrentIndex(0);
    // Every change of the selected tab - by mouse, keyboard or wheel - reloads the slots
    // from the file, and so does a click on the tab already selected (the bar reports the
    // click before it changes the selection).
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            emit tabSelected();
    });
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == TabStrip1->currentIndex())
            emit tabSelected();
    });

    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Dir_tema->setModel(m_dirs);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        Dir_tema->hideColumn(column);
    Dir_tema->setHeaderHidden(true);
    Dir_tema->setIndentation(10);
    // The file list follows the folder the user opens (click or Enter), not every change
    // of the tree's current item: the tree also moves it by itself while it loads.
    auto open = [this](const QModelIndex &index) {
        if (index.isValid())
            showFiles(m_dirs->filePath(index));
    };
    connect(Dir_tema, &QTreeView::clicked, this, open);
    connect(Dir_tema, &QTreeView::activated, this, open);

    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({QStringLiteral("*.wav")});   // any letter case
    m_files->setNameFilterDisables(false);                // hide the others rather than grey them
    File_tema->setModel(m_files);
    auto choose = [this](const QModelIndex &index) {
        if (index.isValid())
            Text_tema->setText(m_files->fileName(index));
    };
    connect(File_tema, &QListView::clicked, this, choose);
    connect(File_tema, &QListView::activated, this, choose);

    QPalette yellow = Text_tema->palette();
    yellow.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xC0));
    Text_tema->setPalette(yellow);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    Text_tema->setFont(font);

    connect(Command2, &QPushButton::clicked, this, [this] {
        if (!Text_tema->text().isEmpty())
            emit assign(selectedInput(), Text_tema->text());
    });

    connect(Drive_tema, &QComboBox::activated, this, [this](int index) {
        openFolder(Drive_tema->itemData(index).toString());
    });

    // The tree fills and sorts in the background: show the starting folder once its
    // parent is loaded and sorted.
    auto reveal = std::make_shared<QMetaObject::Connection>();
    *reveal = connect(m_dirs, &QFileSystemModel::directoryLoaded, this, [this, reveal](const QString &loaded) {
        const QModelIndex current = Dir_tema->currentIndex();
        if (current.isValid() && m_dirs->filePath(current.parent()) == loaded) {
            disconnect(*reveal);
            QTimer::singleShot(100, this, [this] { Dir_tema->scrollTo(Dir_tema->currentIndex(), QAbstractItemView::PositionAtCenter); });
        }
    });
    // Listing volumes and folders waits for the event loop, so that the window is on
    // the screen first; the lists fill in the background as they always do.
    QTimer::singleShot(0, this, [this] {
        m_dirs->setRootPath(QDir::rootPath());
        fillDrives();
        if (!m_folderShown)   // unless a folder was opened already
            openFolder(QDir::currentPath());
    });
}

int Chooser::selectedInput() const { return TabStrip1->currentIndex() + 1; }

QString Chooser::folder() const { return m_files->rootPath(); }

void Chooser::fillDrives()
{
    // No drive letters here: the mounted volumes take their place.
    const QString current = QStorageInfo(QDir::currentPath()).rootPath();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName() == root ? root : QStringLiteral("%1 (%2)").arg(root, volume.displayName());
        Drive_tema->addItem(name, root);
        if (root == current)
            Drive_tema->setCurrentIndex(Drive_tema->count() - 1);
    }
}

void Chooser::openFolder(const QString &path)
{
    const QModelIndex index = m_dirs->index(path);
    if (index.isValid()) {
        Dir_tema->setCurrentIndex(index);
        Dir_tema->expand(index);
        Dir_tema->scrollTo(index);
    }
    showFiles(path);
}

void Chooser::showFiles(const QString &path)
{
    // A folder that cannot be read simply shows no files.
    File_tema->setRootIndex(m_files->setRootPath(path));
    m_folderShown = true;
}
