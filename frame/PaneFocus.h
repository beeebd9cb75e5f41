#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// The pane the window's menus and toolbar act on. It is the pane that holds the focus; while the
// focus is elsewhere in the window (the menu bar keeps it after a menu is closed with Escape, for
// example) or in no window of ours, it is the pane that held the focus last. With the focus
// inside a pane's own child, an editor of a name say, no pane counts.
class PaneFocus : public QObject
{
public:
    PaneFocus(const QList<QWidget*>& panes, QObject* parent);

    // The pane concerned, nullptr when none is.
    QWidget* pane() const;
    bool is(const QWidget* pane) const { return pane != nullptr && this->pane() == pane; }

private:
    void focusChanged(QWidget* now);

    QList<QWidget*> m_panes;
    QPointer<QWidget> m_last;
};
