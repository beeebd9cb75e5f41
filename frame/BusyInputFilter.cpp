#include "frame/BusyInputFilter.h"

#include "util/MainWindowServices.h"

#include <QEvent>
#include <QWidget>

BusyInputFilter::BusyInputFilter(QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow)
{
}

bool BusyInputFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    const MainWindowServices& services = MainWindowServices::instance();
    if (!services.IsBusy() || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_mainWindow) {
        return false;
    }
    const bool onStop = m_stopButton && (widget == m_stopButton || m_stopButton->isAncestorOf(widget));
    const bool mouse = event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick;
    if (onStop && mouse && services.isAbortable()) {
        return false;
    }
    return true;
}
