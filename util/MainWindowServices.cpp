#include "util/MainWindowServices.h"

MainWindowServices& MainWindowServices::instance()
{
    static MainWindowServices services;
    return services;
}

void MainWindowServices::BeginBusy()
{
    if (m_busyLevel++ == 0) {
        m_busy.store(true);
        emit busyChanged(true);
    }
}

void MainWindowServices::EndBusy()
{
    if (m_busyLevel == 0) {
        return; // an unmatched end leaves the idle state as it is
    }
    if (--m_busyLevel == 0) {
        m_busy.store(false);
        ClearBusyText();
        emit busyChanged(false);
    }
}

void MainWindowServices::SetBusyText(const QString& text, bool fileNameOnly)
{
    m_busyText = fileNameOnly ? text.section(QLatin1Char('/'), -1) : text;
    emit busyTextChanged(m_busyText);
}

void MainWindowServices::ClearBusyText()
{
    SetBusyText(QString());
}

void MainWindowServices::SetAbortable(bool on)
{
    m_abortable = on;
    if (on) {
        m_cancelRequested = false;
    }
    emit abortableChanged(on);
}

void MainWindowServices::RequestCancel()
{
    if (m_abortable) {
        m_cancelRequested = true;
    }
}

void MainWindowServices::reset()
{
    m_busyLevel = 0;
    m_busy.store(false);
    m_busyText.clear();
    m_abortable = false;
    m_cancelRequested = false;
    m_shutdownRequested.store(false);
    m_timerHandlers.store(0);
}

BusyScope::BusyScope(bool abortable, MainWindowServices& services)
    : m_services(services), m_abortable(abortable)
{
    if (m_abortable) {
        m_services.SetAbortable(true);
    }
    m_services.BeginBusy();
}

BusyScope::~BusyScope()
{
    m_services.EndBusy();
    if (m_abortable) {
        m_services.SetAbortable(false);
    }
}
