#pragma once

#include <QTreeView>

class FolderTreeModel;

// The tree of registered folders and their subfolders (left pane). It is filled when folders
// are registered and logged in; its items live in its FolderTreeModel.
class CTreeV : public QTreeView
{
    Q_OBJECT

public:
    explicit CTreeV(QWidget* parent = nullptr);

    FolderTreeModel* folderModel() const { return m_model; }
    // The item the tree commands concern: the selected item; invalid when none.
    QModelIndex itemConcerned() const;

private:
    FolderTreeModel* m_model;
};
