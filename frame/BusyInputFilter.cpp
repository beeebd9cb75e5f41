#include "frame/BusyInputFilter.h"

#include "util/MainWindowServices.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
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
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        services.isAbortable()) {
        if (auto* stop = qobject_cast<QAbstractButton*>(m_stopButton.data())) {
            stop->click();
        }
        return true;
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
