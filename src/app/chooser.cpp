#include "chooser.h"

#include "foldertree.h"
#include "platform/background.h"
#include "platform/filenames.h"
#include "platform/folderwatch.h"
#include "platform/texts.h"
#include "twips.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>

#include <cstring>
#include <unistd.h>

namespace {

// The folder Velmora was started in, as its bytes on disk.
QByteArray currentFolder()
{
    QByteArray path(4096, '\0');
    if (!::getcwd(path.data(), std::size_t(path.size())))
        return QFile::encodeName(QDir::currentPath());
    path.truncate(qsizetype(std::strlen(path.constData())));
    return path;
}

}   // namespace

Chooser::Chooser(QWidget *parent, VolumeLister listVolumes, FileLister listFiles)
    : QGroupBox(Texts::tr("Scelta del file da aggiungere nel tema"), parent), TabStrip1(new QTabBar(this)),
      Drive_tema(new QComboBox(this)), Dir_tema(new QTreeView(this)), File_tema(new QListView(this)),
      Text_tema(new QLineEdit(this)), Command2(new QPushButton(Texts::tr("SALVA SUONO"), this)),
      m_folderTree(new FolderTree(this)), m_wavFiles(new QStandardItemModel(this)),
      m_folderWatch(new FolderWatch(this)), m_listVolumes(std::move(listVolumes)),
      m_listFiles(listFiles ? std::move(listFiles) : &listWavFiles)
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
        const int index = TabStrip1->addTab(Texts::tr("ING %1").arg(n));
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

    Dir_tema->setModel(m_folderTree);
    Dir_tema->setUniformRowHeights(true);   // a folder of 10 000 folders lays out at once
    Dir_tema->setHeaderHidden(true);
    Dir_tema->setIndentation(10);
    // The file list follows the folder the user opens (click or Enter), not every change
    // of the tree's current item: the tree also moves it by itself while it loads.
    auto open = [this](const QModelIndex &index) {
        if (!index.isValid())
            return;
        m_folderTree->fetchMore(index);   // its own sub-folders, if any, show it has some
        showFiles(m_folderTree->folderPath(index));
    };
    connect(Dir_tema, &QTreeView::clicked, this, open);
    connect(Dir_tema, &QTreeView::activated, this, open);

    // The file list is Velmora's own: the toolkit's leaves out names that are not valid
    // in the system's encoding, and such a name must still be chosen and played.
    File_tema->setModel(m_wavFiles);
    File_tema->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A folder of 100 000 sounds is laid out a little at a time, between other events.
    File_tema->setUniformItemSizes(true);
    File_tema->setLayoutMode(QListView::Batched);
    auto choose = [this](const QModelIndex &index) {
        if (!index.isValid() || !(index.flags() & Qt::ItemIsEnabled))
            return;   // the line that says the folder is being read
        m_chosenText = index.data(Qt::DisplayRole).toString();
        m_chosenBytes = m_shownFolder + '/' + index.data(Qt::UserRole).toByteArray();
        Text_tema->setText(m_chosenText);
    };
    connect(File_tema, &QListView::clicked, this, choose);
    connect(File_tema, &QListView::activated, this, choose);
    // The file the arrow keys move to is the chosen one, as a click would make it, and
    // shown so (the list makes the first file current, unselected, when Tab enters it).
    connect(File_tema->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, choose](const QModelIndex &index) {
                if (index.isValid() && !File_tema->selectionModel()->isSelected(index))
                    File_tema->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
                if (!m_keepingCurrent)
                    choose(index);
            });
    // Files copied into the folder while it is shown appear in the list.
    connect(m_folderWatch, &FolderWatch::changed, this, &Chooser::listFiles);

    QPalette yellow = Text_tema->palette();
    yellow.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xC0));
    Text_tema->setPalette(yellow);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    Text_tema->setFont(font);

    connect(Command2, &QPushButton::clicked, this, [this] {
        const QString text = Text_tema->text();
        // A file picked from the list is given as its path, with the bytes its name has on
        // disk, so that a name in another encoding still plays; a name typed or edited is
        // taken as typed (an empty one too: the window says what it does with it).
        emit assign(selectedInput(),
                    !text.isEmpty() && text == m_chosenText ? m_chosenBytes : QFile::encodeName(text));
    });

    connect(Drive_tema, &QComboBox::activated, this,
            [this](int index) { openFolder(Drive_tema->itemData(index).toString()); });

    // The tree fills and sorts in the background: show the starting folder once its
    // parent is loaded and sorted.
    auto reveal = std::make_shared<QMetaObject::Connection>();
    *reveal =
        connect(m_folderTree, &FolderTree::directoryLoaded, this, [this, reveal](const QString &loaded) {
            const QModelIndex current = Dir_tema->currentIndex();
            if (current.isValid() && m_folderTree->filePath(current.parent()) == loaded) {
                disconnect(*reveal);
                QTimer::singleShot(100, this, [this] {
                    Dir_tema->scrollTo(Dir_tema->currentIndex(), QAbstractItemView::PositionAtCenter);
                });
            }
        });
    // Listing volumes and folders waits for the event loop, so that the window is on
    // the screen first; the lists fill in the background as they always do.
    QTimer::singleShot(0, this, [this] {
        fillDrives();
        if (m_shownFolder.isEmpty())   // unless a folder was opened already
            openFolder(currentFolder());
    });
}

int Chooser::selectedInput() const { return TabStrip1->currentIndex() + 1; }

QList<Chooser::Volume> Chooser::mountedVolumes()
{
    // No drive letters here: the mounted volumes take their place.
    QList<Volume> volumes;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString name =
            volume.displayName() == root ? root : QStringLiteral("%1 (%2)").arg(root, volume.displayName());
        volumes.append({root, name});
    }
    return volumes;
}

void Chooser::fillDrives()
{
    // Asking each volume about itself can hang on a dead network mount: done off the
    // window's thread, and the list fills when the answer comes.
    struct Volumes {
        QList<Volume> list;
        QString current;
    };
    runInBackground(
        this,
        [list = m_listVolumes] {
            return Volumes {list(), QStorageInfo(QDir::currentPath()).rootPath()};
        },
        [this](const Volumes &volumes) {
            for (const Volume &volume : volumes.list) {
                Drive_tema->addItem(volume.name, volume.root);
                if (volume.root == volumes.current)
                    Drive_tema->setCurrentIndex(Drive_tema->count() - 1);
            }
        });
}

void Chooser::openFolder(const QString &path) { openFolder(QFile::encodeName(path)); }

void Chooser::openFolder(const QByteArray &path)
{
    const QModelIndex index = m_folderTree->folder(path);
    if (index.isValid()) {
        for (QModelIndex folder = index; folder.isValid(); folder = folder.parent())
            m_folderTree->fetchMore(folder);   // each folder on the way fills with its neighbours
        Dir_tema->setCurrentIndex(index);
        Dir_tema->expand(index);
        Dir_tema->scrollTo(index);
    }
    showFiles(path);
}

// Nothing here touches the folder itself: on a network mount that does not answer, that
// would hold the window. The listing and the watch wait for it on threads of their own,
// and until the listing comes the list says it is reading.
void Chooser::showFiles(const QByteArray &path)
{
    m_shownFolder = path;
    m_wavFiles->clear();
    auto *reading = new QStandardItem(Texts::tr("lettura della cartella…"));
    reading->setFlags(Qt::NoItemFlags);
    m_wavFiles->appendRow(reading);
    m_folderWatch->watch(path);
    listFiles();
}

void Chooser::listFiles()
{
    // A folder that cannot be read simply shows no files. One listing per folder at a
    // time: changes that come while it runs (a folder being filled) ask for one more.
    // The items are made off the window's thread too, and join the list in one step.
    const QByteArray folder = m_shownFolder;
    if (const auto running = m_listing.find(folder); running != m_listing.end()) {
        running.value() = true;
        return;
    }
    m_listing.insert(folder, false);
    using Items = std::shared_ptr<std::vector<std::unique_ptr<QStandardItem>>>;
    runInBackground(
        this,
        [folder, list = m_listFiles] {
            auto items = std::make_shared<Items::element_type>();
            for (const QByteArray &name : list(folder)) {
                auto &item = items->emplace_back(std::make_unique<QStandardItem>(QFile::decodeName(name)));
                item->setData(name, Qt::UserRole);
            }
            return items;
        },
        [this, folder](const Items &items) {
            const bool changedMeanwhile = m_listing.take(folder);
            if (folder != m_shownFolder)
                return;   // the user has opened another folder meanwhile
            // Listed again (a file copied in, CONFIG.TXT saved beside the sounds): the file
            // highlighted stays so, and nothing else is chosen for it.
            const QByteArray current = File_tema->currentIndex().data(Qt::UserRole).toByteArray();
            m_keepingCurrent = true;
            m_wavFiles->clear();
            QList<QStandardItem *> column;
            column.reserve(qsizetype(items->size()));
            qsizetype kept = -1;
            for (auto &item : *items) {
                if (kept < 0 && !current.isEmpty() && item->data(Qt::UserRole).toByteArray() == current)
                    kept = column.size();
                column.append(item.release());
            }
            if (!column.isEmpty())
                m_wavFiles->appendColumn(column);
            if (kept >= 0)
                File_tema->setCurrentIndex(m_wavFiles->index(int(kept), 0));
            m_keepingCurrent = false;
            emit filesListed(QFile::decodeName(folder));
            if (changedMeanwhile)
                listFiles();
        });
}
