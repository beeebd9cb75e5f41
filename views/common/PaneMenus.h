#pragma once

class QAction;
class QKeyEvent;
class QMenu;
class QPoint;
class QWidget;

// The context menus of the panes, for the keyboard and the screen reader as much as the mouse.

// Whether the key asks for the context menu: Shift+F10. (The menu key comes from the desktop as
// a context-menu request of its own.)
bool IsContextMenuKey(const QKeyEvent* event);

// Runs the pane's context menu at `at` (global), with `active` (the default entry, if any) at
// that point and highlighted, and gives back the chosen entry. The menu is named after the pane, and while it
// is open it hangs below the window's menu bar as a hidden entry, where a screen reader walking the window
// finds it as it finds the bar's own menus.
QAction* ExecPaneMenu(QMenu& menu, QWidget* pane, const QPoint& at, QAction* active = nullptr);
