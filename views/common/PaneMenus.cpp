#include "views/common/PaneMenus.h"

#include <QAccessible>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

bool IsContextMenuKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_F10 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

QAction* ExecPaneMenu(QMenu& menu, QWidget* pane, const QPoint& at, QAction* active)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(pane);
    const QString paneName = face ? face->text(QAccessible::Name) : QString();
    const QString menuName =
        paneName.isEmpty() ? QStringLiteral("メニュー") : paneName + QStringLiteral("のメニュー");
    menu.setTitle(menuName);
    menu.setAccessibleName(menuName);
    QPointer<QMenuBar> bar = pane->window()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    QAction* entry = menu.menuAction();
    if (bar) {
        entry->setVisible(false);
        bar->addAction(entry);
    }
    if (active) {
        // Highlighted once the menu shows, so that Enter takes it at once.
        QTimer::singleShot(0, &menu, [&menu, active] { menu.setActiveAction(active); });
    }
    QAction* chosen = menu.exec(at, active);
    if (bar) {
        bar->removeAction(entry);
    }
    return chosen;
}
