#include "frame/tree/CTreeV.h"

#include "frame/tree/FolderTreeModel.h"

CTreeV::CTreeV(QWidget* parent) : QTreeView(parent), m_model(new FolderTreeModel(this))
{
    setObjectName(QStringLiteral("CTreeV"));
    setModel(m_model);
    setHeaderHidden(true);
    setAccessibleName(QStringLiteral("暗号フォルダー"));
    setAccessibleDescription(QStringLiteral("登録した暗号フォルダーとそのサブフォルダー"));
}

QModelIndex CTreeV::itemConcerned() const
{
    return currentIndex();
}
