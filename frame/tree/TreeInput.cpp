// The tree's answers to the mouse and the keyboard: the double click, the keys and the context
// menu.

#include "engine/CryptEngine.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeModel.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/folders/FolderLogin.h"
#include "operations/folders/FolderRegistration.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/PromptService.h"
#include "util/SecureWipe.h"
#include "util/ShellOperations.h"
#include "views/common/PaneMenus.h"
#include "views/contents/ContentsView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

void FolderTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && FolderTreeModel::isRoot(index) && m_store &&
        m_store->engine().IsKeySlotSet(FolderItemPath(index)) != 0) {
        setCurrentIndex(index);
        emit commandRequested(Command::Login);
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void FolderTreeView::keyPressEvent(QKeyEvent* event)
{
    if (IsContextMenuKey(event)) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&request);
        return;
    }
    const QModelIndex item = currentIndex();
    if (item.isValid() && m_store && !MainWindowServices::instance().IsBusy()) {
        if (event->key() == Qt::Key_Delete && !FolderTreeModel::isRoot(item)) {
            // Delete moves the subfolder to the Trash; Shift+Delete removes it for good.
            DeleteSelectedSubfolder(event->modifiers() & Qt::ShiftModifier);
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            FolderTreeModel::isRoot(item) && m_store->engine().IsKeySlotSet(FolderItemPath(item)) != 0) {
            emit commandRequested(Command::Login);
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void FolderTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_store) {
        return;
    }
    QModelIndex item;
    QPoint at = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        item = currentIndex();
        at = visualRect(item).center();
    } else {
        at = viewport()->mapFrom(this, at);
        item = indexAt(at);
        if (item.isValid()) {
            setCurrentIndex(item);
        }
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("treeMenu"));
    auto add = [&menu](int id, const QString& text) {
        QAction* action = menu.addAction(text);
        action->setData(id);
        return action;
    };
    if (!item.isValid()) {
        add(RegisterCommand, QStringLiteral("暗号フォルダーの登録(&A)"));
    } else {
        const bool root = FolderTreeModel::isRoot(item);
        if (!root) {
            add(CutFolder, QStringLiteral("切り取り （inside） (&T)"));
            add(CopyFolder, QStringLiteral("コピー （inside） (&C)"));
        }
        QAction* paste = add(PasteFolder, QStringLiteral("貼り付け(&P)"));
        paste->setEnabled(canPaste && canPaste());
        menu.addSeparator();
        if (!root) {
            add(DeleteFolder, QStringLiteral("削除(&D)"));
        } else {
            add(UnregisterRoot, QStringLiteral("この暗号フォルダーを解除(&K)"));
        }
        add(BackupRoot, QStringLiteral("バックアップ(&B)..."));
        menu.addSeparator();
        add(FolderProperties, QStringLiteral("プロパティ(&R)"));
        menu.addSeparator();
        add(RegisterCommand, QStringLiteral("暗号フォルダーの登録(&A)"));
    }
    for (QAction* action : menu.actions()) {
        const int id = action->data().toInt();
        if (id != 0 && action->isEnabled() && availableCommand) {
            action->setEnabled(availableCommand(id));
        }
    }
    QAction* chosen = ExecPaneMenu(menu, this, viewport()->mapToGlobal(at));
    if (!chosen) {
        return;
    }
    const int id = chosen->data().toInt();
    switch (id) {
    case RegisterCommand:
        StartRegistration();
        break;
    case UnregisterRoot:
        UnregisterConcerned();
        break;
    case DeleteFolder:
        DeleteSelectedSubfolder(QApplication::keyboardModifiers() & Qt::ShiftModifier);
        break;
    default:
        emit commandRequested(id);
        break;
    }
}
