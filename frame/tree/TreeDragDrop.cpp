// The folder tree as a drag source and a drop target.

#include "engine/CryptEngine.h"
#include "frame/tree/FolderTreeModel.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/encrypt/DroppedFiles.h"
#include "store/StoreContext.h"
#include "store/checks/PathChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "views/contents/ContentsView.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <memory>

namespace {

constexpr int ExpandDelayMs = 700;
// A drag of the window's own items carries only this type: no other program can take them.
const QString ItemsType = QStringLiteral("application/x-kurabox-items");

// Items dragged from the window itself: the tree or the contents list.
bool IsInsideDrag(const QDropEvent* event)
{
    return qobject_cast<FolderTreeView*>(event->source()) || qobject_cast<ContentsView*>(event->source());
}

bool CarriesFiles(const QDropEvent* event)
{
    return IsInsideDrag(event) || event->mimeData()->hasUrls();
}

} // namespace

void FolderTreeView::setupDragAndDrop()
{
    setAcceptDrops(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    m_expandTimer = new QTimer(this);
    m_expandTimer->setSingleShot(true);
    m_expandTimer->setInterval(ExpandDelayMs);
    connect(m_expandTimer, &QTimer::timeout, this, [this] {
        if (m_dropItem.isValid()) {
            expand(m_dropItem);
        }
    });
}

QModelIndex FolderTreeView::dropItemAt(const QPoint& point) const
{
    const QModelIndex item = indexAt(point);
    // Only the icon and the label count, not the empty width of the row.
    return item.isValid() && visualRect(item).contains(point) ? item : QModelIndex();
}

void FolderTreeView::setDropItem(const QModelIndex& item)
{
    if (item == m_dropItem) {
        return;
    }
    m_dropItem = item;
    if (item.isValid()) {
        m_expandTimer->start();
    } else {
        m_expandTimer->stop();
    }
    viewport()->update();
}

void FolderTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    if (index == m_dropItem) {
        QStyleOptionViewItem highlighted(option);
        highlighted.state |= QStyle::State_Selected;
        QTreeView::drawRow(painter, highlighted, index);
        return;
    }
    QTreeView::drawRow(painter, option, index);
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (MainWindowServices::instance().IsBusy() || !CarriesFiles(event)) {
        setDropItem(QModelIndex());
        event->ignore();
        return;
    }
    setDropItem(dropItemAt(event->position().toPoint()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropItem(QModelIndex());
    event->accept();
}

int FolderTreeView::checkDropTarget(const QString& folder) const
{
    if (!m_store || CheckFolderReachable(folder, &m_store->folders()) != 0) {
        return Result::Failed;
    }
    const QString root = m_store->folders().FindRegisteredRoot(folder, 0);
    if (root.isEmpty()) {
        ShowMessage(MsgA(217), MessageStyle::warning());
        return Result::Failed;
    }
    if (m_store->engine().IsKeySlotSet(root) != 0) {
        ShowMessage(MsgA(219) + MsgA(218), MessageStyle::warning());
        return Result::Failed;
    }
    return m_store->folders().IsReadOnlyFolder(folder, 1) != 0 ? Result::Failed : Result::Ok;
}

int FolderTreeView::askDropCommand(const QPoint& globalPosition, const QList<int>& commands,
                                   const QStringList& texts)
{
    if (chooseDropCommand) {
        return chooseDropCommand(globalPosition, commands);
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("treeDropMenu"));
    for (int i = 0; i < commands.size(); ++i) {
        menu.addAction(texts.at(i))->setData(commands.at(i));
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("キャンセル"))->setData(0);
    QAction* chosen = menu.exec(globalPosition);
    return chosen ? chosen->data().toInt() : 0;
}

void FolderTreeView::dropEvent(QDropEvent* event)
{
    const QModelIndex item = dropItemAt(event->position().toPoint());
    setDropItem(QModelIndex());
    if (MainWindowServices::instance().IsBusy() || !CarriesFiles(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QPoint at = viewport()->mapToGlobal(event->position().toPoint());
    const QString target = item.isValid() ? FolderItemPath(item) : QString();
    // The operation runs once the drag has ended: the source is not kept waiting for it.
    auto later = [this](std::function<void()> work) {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    };
    if (IsInsideDrag(event)) {
        const QStringList items = event->mimeData()->property("items").toStringList();
        if (!item.isValid() || items.isEmpty() || checkDropTarget(target) != 0) {
            return;
        }
        const int command =
            askDropCommand(at, {DropCopyHere, DropMoveHere},
                           {QStringLiteral("ここにコピー(&C)"), QStringLiteral("ここに移動(&M)")});
        if (command == DropCopyHere || command == DropMoveHere) {
            later([this, command, target, items] { emit itemsDropped(command, target, items); });
        }
        return;
    }
    DroppedFiles files;
    if (!ReadDroppedFiles(*event->mimeData(), &files)) {
        return;
    }
    if (!item.isValid()) {
        if (files.paths.size() > 1) {
            ShowMessage(MsgA(220), MessageStyle::warning());
            return;
        }
        if (!QFileInfo(files.paths.first()).isDir()) {
            ShowMessage(MsgA(221), MessageStyle::warning());
            return;
        }
        if (askDropCommand(at, {RegisterDropped}, {QStringLiteral("暗号フォルダーとして登録(&R)")}) ==
            RegisterDropped) {
            later([this, folder = files.paths.first()] { RegisterFolder(folder); });
        }
        return;
    }
    if (checkDropTarget(target) != 0) {
        return;
    }
    const int command = askDropCommand(
        at, {DropEncryptCopy, DropEncryptMove},
        {QStringLiteral("暗号化してコピーする(&C)"), QStringLiteral("暗号化して移動する(&M)")});
    if (command == DropEncryptCopy || command == DropEncryptMove) {
        later([this, command, target, paths = files.paths] { emit filesDropped(command, target, paths); });
    }
}

void FolderTreeView::startDrag(Qt::DropActions)
{
    const QModelIndex item = currentIndex();
    // Roots stay where they are; only subfolders are dragged.
    if (!item.isValid() || FolderTreeModel::isRoot(item) || MainWindowServices::instance().IsBusy()) {
        return;
    }
    auto* data = new QMimeData;
    const QString path = FolderItemPath(item);
    data->setData(ItemsType, path.toUtf8());
    data->setProperty("items", QStringList{path});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(model()->data(item, Qt::DecorationRole).value<QIcon>().pixmap(16));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    drag->deleteLater();
}
