#include "frame/PaneCycling.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

#include <utility>

namespace {

// The index of the pane that holds the focus, -1 when none does.
qsizetype focusedPane(const QList<QWidget*>& panes)
{
    QWidget* focus = QApplication::focusWidget();
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (focus && (panes.at(i) == focus || panes.at(i)->isAncestorOf(focus))) {
            return i;
        }
    }
    return -1;
}

void moveFocus(const QList<QWidget*>& panes, int step)
{
    const qsizetype count = panes.size();
    qsizetype at = focusedPane(panes);
    if (at < 0) {
        at = step > 0 ? count - 1 : 0;
    }
    for (qsizetype tried = 0; tried < count; ++tried) {
        at = (at + step + count) % count;
        QWidget* pane = panes.at(at);
        if (pane->isVisible() && pane->isEnabled()) {
            pane->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

} // namespace

void InstallPaneCycling(QWidget* window, const QList<QWidget*>& panes)
{
    for (qsizetype i = 1; i < panes.size(); ++i) {
        QWidget::setTabOrder(panes.at(i - 1), panes.at(i));
    }
    const std::pair<QKeySequence, int> keys[] = {{QKeySequence(Qt::Key_F6), 1},
                                                 {QKeySequence(Qt::SHIFT | Qt::Key_F6), -1}};
    for (const auto& [key, step] : keys) {
        auto* shortcut = new QShortcut(key, window);
        QObject::connect(shortcut, &QShortcut::activated, window, [panes, step] { moveFocus(panes, step); });
    }
}
