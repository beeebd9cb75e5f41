#pragma once

#include <QTreeWidget>

// The tree of registered folders and their subfolders (left pane). It is filled when folders
// are registered and logged in.
class CTreeV : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CTreeV(QWidget* parent = nullptr);
};
