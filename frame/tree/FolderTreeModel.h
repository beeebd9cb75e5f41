#pragma once

#include <QStandardItemModel>

// The items of the folder tree: registered roots at the top, their subfolders below, and a
// placeholder child under a collapsed folder that has subfolders (so that it shows an expand
// button). Each item carries its kind; a root also carries its full path, and the full path of
// any other item is its root's path followed by the texts on the way down.
class FolderTreeModel : public QStandardItemModel
{
    Q_OBJECT

public:
    // The kinds, as the item data values store them in their last decimal digit.
    enum Kind
    {
        Root = 8,
        Placeholder = 4,
        Subfolder = 2,
    };
    static constexpr int KindRole = Qt::UserRole + 1;
    static constexpr int PathRole = Qt::UserRole + 2;

    explicit FolderTreeModel(QObject* parent = nullptr);

    // A root with its shown text and full path, appended at the top level.
    QModelIndex addRoot(const QString& text, const QString& path);
    // A subfolder (or, with kind Placeholder, the "Dummy" child) appended below parent.
    QModelIndex addChild(const QModelIndex& parent, const QString& name, Kind kind = Subfolder);

    static Kind kindOf(const QModelIndex& index);
    static bool isRoot(const QModelIndex& index) { return index.isValid() && !index.parent().isValid(); }
    // The full path of a root or subfolder; empty for a placeholder or no item.
    QString fullPath(const QModelIndex& index) const;
};
