#include "frame/tree/FolderTreeModel.h"

namespace {

constexpr int KindBase = 100000000; // the item data value is KindBase + kind

} // namespace

FolderTreeModel::FolderTreeModel(QObject* parent) : QStandardItemModel(parent) {}

QModelIndex FolderTreeModel::addRoot(const QString& text, const QString& path)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(KindBase + Root, KindRole);
    item->setData(path, PathRole);
    appendRow(item);
    return item->index();
}

QModelIndex FolderTreeModel::addChild(const QModelIndex& parent, const QString& name, Kind kind)
{
    QStandardItem* owner = itemFromIndex(parent);
    if (!owner) {
        return {};
    }
    auto* item = new QStandardItem(kind == Placeholder ? QStringLiteral("Dummy") : name);
    item->setEditable(false);
    item->setData(KindBase + kind, KindRole);
    owner->appendRow(item);
    return item->index();
}

FolderTreeModel::Kind FolderTreeModel::kindOf(const QModelIndex& index)
{
    return Kind(index.data(KindRole).toInt() % 10);
}

QString FolderTreeModel::fullPath(const QModelIndex& index) const
{
    if (!index.isValid() || kindOf(index) == Placeholder) {
        return {};
    }
    if (isRoot(index)) {
        return index.data(PathRole).toString();
    }
    return fullPath(index.parent()) + QLatin1Char('/') + index.data(Qt::DisplayRole).toString();
}
