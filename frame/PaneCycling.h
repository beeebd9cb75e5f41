#pragma once

#include <QList>

class QWidget;

// Keyboard moves between the panes of a window: F6 gives the focus to the next pane and
// Shift+F6 to the previous one, wrapping around at the ends. With the focus outside every pane
// (on the toolbar, say) F6 goes to the first pane and Shift+F6 to the last. Hidden or disabled
// panes are passed over. Tab moves through the panes in the same order.
//
// The shortcuts belong to `window` and live as long as it does; the panes must be its
// descendants.
void InstallPaneCycling(QWidget* window, const QList<QWidget*>& panes);
