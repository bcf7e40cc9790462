#pragma once

#include <QAbstractItemModel>

#include <memory>
#include <vector>

// The folder tree of the chooser, from "/" down. A folder's sub-folders are listed on a
// thread of their own the first time it is shown open, and join the tree in one step
// when the listing comes: a folder of 100 000 files or 10 000 folders, or a network
// folder that hangs, never holds the window. Nothing is ever removed, so an index's node
// lives as long as the model.
class FolderTree : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit FolderTree(QObject *parent = nullptr);
    ~FolderTree() override;

    // The folder's index, its ancestors put in at once where they are not listed yet
    // (their other sub-folders come with their listing); invalid when `path` is not absolute.
    [[nodiscard]] QModelIndex folder(const QByteArray &path);
    // The folder's path as its bytes on disk (a name need not be valid text), and as shown.
    [[nodiscard]] QByteArray folderPath(const QModelIndex &index) const;
    [[nodiscard]] QString filePath(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The sub-folders of `path` are in the tree now.
    void directoryLoaded(const QString &path);

private:
    struct Node;
    Node *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOf(Node *node) const;
    Node *child(Node *parent, const QByteArray &name);
    void insert(Node *parent, std::vector<QByteArray> names);
    std::unique_ptr<Node> m_root;   // holds "/" as its only child
};
