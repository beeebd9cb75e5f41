#include "frame/PaneFocus.h"

#include <QApplication>
#include <QWidget>

PaneFocus::PaneFocus(const QList<QWidget*>& panes, QObject* parent) : QObject(parent), m_panes(panes)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusChanged(now); });
    focusChanged(QApplication::focusWidget());
}

void PaneFocus::focusChanged(QWidget* now)
{
    if (m_panes.contains(now)) {
        m_last = now;
    }
}

QWidget* PaneFocus::pane() const
{
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* pane : m_panes) {
        if (focus == pane) {
            return pane;
        }
        if (focus && pane->isAncestorOf(focus)) {
            return nullptr;
        }
    }
    if (m_last && m_last->isVisible() && m_last->isEnabled()) {
        return m_last;
    }
    return nullptr;
}
