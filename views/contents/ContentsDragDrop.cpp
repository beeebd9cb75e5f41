// The contents list as a drop target (files from outside, rows onto folders) and as a drag
// source (the containers, or copies decrypted when the drop target asks).

#include "operations/contents/ContentsRows.h"
#include "operations/encrypt/DroppedFiles.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "views/common/RowColours.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"
#include "views/contents/LazyDragData.h"

#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

void ContentsView::dragEnterEvent(QDragEnterEvent* event)
{
    m_dropRow = -1;
    if (event->source() == this || event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ContentsView::dragMoveEvent(QDragMoveEvent* event)
{
    if (MainWindowServices::instance().IsBusy() ||
        (event->source() != this && !event->mimeData()->hasUrls())) {
        event->ignore();
        return;
    }
    const QModelIndex under = indexAt(event->position().toPoint());
    const int row = under.isValid() && m_model->isFolderRow(under.row()) ? under.row() : -1;
    if (row != m_dropRow) {
        m_dropRow = row;
        viewport()->update();
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ContentsView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dropRow = -1;
    viewport()->update();
    event->accept();
}

void ContentsView::dropEvent(QDropEvent* event)
{
    const QModelIndex under = indexAt(event->position().toPoint());
    const int row = under.isValid() && m_model->isFolderRow(under.row()) ? under.row() : -1;
    m_dropRow = -1;
    viewport()->update();
    if (MainWindowServices::instance().IsBusy()) {
        event->ignore();
        return;
    }
    if (m_selectedRootPath.isEmpty()) {
        ShowMessage(MsgA(9), MessageStyle::warning());
        event->ignore();
        return;
    }
    const QString target = row >= 0 ? m_model->text(row, ContentsModel::FullPath) : m_shownFolderPath;
    if (event->source() == this) {
        dropRows(event, target);
        return;
    }
    if (!m_store || m_store->folders().IsReadOnlyFolder(m_shownFolderPath, 0) != 0) {
        event->ignore();
        return;
    }
    DroppedFiles files;
    if (!ReadDroppedFiles(*event->mimeData(), &files)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QString& destination = target;
    const int command = askDropCommand(event, &BuildDropMenu);
    if (command == ListCommand::DropEncryptCopy || command == ListCommand::DropEncryptMove) {
        // After the drag has finished: the source program is not kept waiting for the operation.
        QMetaObject::invokeMethod(
            this,
            [this, command, destination, paths = files.paths] {
                emit filesDropped(command, destination, paths);
            },
            Qt::QueuedConnection);
    }
}

int ContentsView::askDropCommand(QDropEvent* event, QMenu* (*buildMenu)(QWidget*))
{
    const QPoint at = viewport()->mapToGlobal(event->position().toPoint());
    if (chooseDropCommand) {
        return chooseDropCommand(at);
    }
    std::unique_ptr<QMenu> menu(buildMenu(this));
    QAction* chosen = menu->exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

// Rows of this list dropped onto one of its folders or onto the list: menu 135 decides, and the
// transfer runs once the drag has ended.
void ContentsView::dropRows(QDropEvent* event, const QString& target)
{
    const QStringList items = event->mimeData()->property("items").toStringList();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (items.isEmpty()) {
        return;
    }
    const int command = askDropCommand(event, &BuildRowDropMenu);
    if (command == ListCommand::DropCopyHere || command == ListCommand::DropMoveHere) {
        QMetaObject::invokeMethod(
            this, [this, command, target, items] { emit rowsDropped(command, target, items); },
            Qt::QueuedConnection);
    }
}

QMimeData* ContentsView::dragData(bool decrypting) const
{
    QStringList items;
    for (int row : selectedRowsInOrder()) {
        items.append(m_model->text(row, ContentsModel::FullPath));
    }
    if (decrypting) {
        auto* data = new LazyDragData(
            [this, items] { return prepareDragOut ? prepareDragOut(items) : QStringList(); });
        data->setProperty("items", items);
        return data;
    }
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& item : items) {
        urls.append(QUrl::fromLocalFile(item));
    }
    data->setUrls(urls);
    data->setProperty("items", items);
    return data;
}

void ContentsView::dragFinished(QMimeData* data)
{
    auto* lazy = qobject_cast<LazyDragData*>(data);
    if (lazy && finishDragOut) {
        finishDragOut(data->property("items").toStringList(), lazy->copies(), lazy->prepared());
    }
}

void ContentsView::startDrag(Qt::DropActions)
{
    if (!m_store || selectedRowCount() == 0 || MainWindowServices::instance().IsBusy()) {
        return;
    }
    const bool decrypting = m_store->settings().DandDDecryFlg == 1;
    auto* drag = new QDrag(this);
    QMimeData* data = dragData(decrypting);
    drag->setMimeData(data);
    Qt::DropActions actions = Qt::CopyAction;
    if (QGuiApplication::mouseButtons() & Qt::RightButton &&
        m_store->folders().IsReadOnlyFolder(m_shownFolderPath, 0) == 0) {
        actions |= Qt::MoveAction;
    }
    drag->exec(actions, Qt::CopyAction);
    dragFinished(data);
    drag->deleteLater();
}
