#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QAbstractItemView;

// Brings what the window shows at rest (the status text, the enabled commands) up to date after
// the changes that can alter it, instead of looking on a timer: the focus moving, the rows and
// selections of the item views it follows changing, the clipboard changing. Changes that come
// together lead to one update, once the events at hand have been handled.
class IdleUpdates : public QObject
{
public:
    IdleUpdates(std::function<void()> update, QObject* parent);

    // Follows the rows and the selection of the view's current model.
    void follow(QAbstractItemView* view);
    // Asks for an update.
    void schedule();

private:
    std::function<void()> m_update;
    QTimer m_soon;
};
