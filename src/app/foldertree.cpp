#include "foldertree.h"

#include "platform/background.h"
#include "platform/filenames.h"

#include <QFile>

#include <algorithm>

struct FolderTree::Node {
    QByteArray name;   // as on disk
    QString shown;
    Node *parent = nullptr;
    int row = 0;
    enum { Unlisted, Listing, Listed } state = Unlisted;
    std::vector<std::unique_ptr<Node>> children;   // in reading order
};

FolderTree::FolderTree(QObject *parent) : QAbstractItemModel(parent), m_root(std::make_unique<Node>())
{
    m_root->state = Node::Listed;
    auto top = std::make_unique<Node>();
    top->name = "/";
    top->shown = QStringLiteral("/");
    top->parent = m_root.get();
    m_root->children.push_back(std::move(top));
}

FolderTree::~FolderTree() = default;

FolderTree::Node *FolderTree::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderTree::indexOf(Node *node) const
{
    return node == m_root.get() ? QModelIndex() : createIndex(node->row, 0, node);
}

QModelIndex FolderTree::index(int row, int column, const QModelIndex &parent) const
{
    const Node *p = nodeOf(parent);
    if (column != 0 || row < 0 || std::size_t(row) >= p->children.size())
        return {};
    return createIndex(row, 0, p->children[std::size_t(row)].get());
}

QModelIndex FolderTree::parent(const QModelIndex &child) const
{
    return child.isValid() ? indexOf(nodeOf(child)->parent) : QModelIndex();
}

int FolderTree::rowCount(const QModelIndex &parent) const { return int(nodeOf(parent)->children.size()); }

int FolderTree::columnCount(const QModelIndex &) const { return 1; }

QVariant FolderTree::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return nodeOf(index)->shown;
    if (role == PathRole)
        return filePath(index);
    return {};
}

bool FolderTree::hasChildren(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    return node->state != Node::Listed || !node->children.empty();
}

bool FolderTree::canFetchMore(const QModelIndex &parent) const
{
    return nodeOf(parent)->state == Node::Unlisted;
}

void FolderTree::fetchMore(const QModelIndex &parent)
{
    Node *node = nodeOf(parent);
    if (node->state != Node::Unlisted)
        return;
    node->state = Node::Listing;
    runInBackground(
        this, [path = folderPath(parent)] { return listSubfolders(path); },
        [this, node](const QList<QByteArray> &names) {
            insert(node, std::vector<QByteArray>(names.begin(), names.end()));
            node->state = Node::Listed;
            emit directoryLoaded(filePath(indexOf(node)));
        });
}

// Puts the names not in the tree yet among the children already there (those of a path
// opened before the listing came), in runs, each run one insertion for the views.
void FolderTree::insert(Node *parent, std::vector<QByteArray> names)
{
    auto &children = parent->children;
    std::erase_if(names, [&children](const QByteArray &name) {
        return std::any_of(children.begin(), children.end(),
                           [&name](const auto &c) { return c->name == name; });
    });
    std::size_t at = 0;
    for (auto next = names.begin(); next != names.end();) {
        while (at < children.size() && readsBefore(children[at]->name, *next))
            ++at;
        const auto runEnd =
            at < children.size()
                ? std::find_if(next, names.end(),
                               [&](const QByteArray &n) { return !readsBefore(n, children[at]->name); })
                : names.end();
        const auto count = std::size_t(runEnd - next);
        beginInsertRows(indexOf(parent), int(at), int(at + count - 1));
        std::vector<std::unique_ptr<Node>> run;
        for (; next != runEnd; ++next) {
            auto node = std::make_unique<Node>();
            node->name = *next;
            node->shown = QFile::decodeName(*next);
            node->parent = parent;
            run.push_back(std::move(node));
        }
        children.insert(children.begin() + std::ptrdiff_t(at), std::make_move_iterator(run.begin()),
                        std::make_move_iterator(run.end()));
        for (std::size_t row = at; row < children.size(); ++row)
            children[row]->row = int(row);
        at += count;
        endInsertRows();
    }
}

FolderTree::Node *FolderTree::child(Node *parent, const QByteArray &name)
{
    for (const auto &c : parent->children)
        if (c->name == name)
            return c.get();
    insert(parent, {name});
    return child(parent, name);
}

QModelIndex FolderTree::folder(const QByteArray &path)
{
    if (!path.startsWith('/'))
        return {};
    Node *node = m_root->children.front().get();
    for (const QByteArray &name : path.split('/'))
        if (!name.isEmpty())
            node = child(node, name);
    return indexOf(node);
}

QByteArray FolderTree::folderPath(const QModelIndex &index) const
{
    QByteArray path;
    for (const Node *node = nodeOf(index); node && node->parent; node = node->parent)
        path.prepend(node->parent->parent ? "/" + node->name : node->name);
    return path.replace("//", "/");
}

QString FolderTree::filePath(const QModelIndex &index) const { return QFile::decodeName(folderPath(index)); }
