#pragma once

#include <QObject>
#include <QString>

#include <atomic>

// The services every operation leans on: the busy state that keeps commands and input away
// while an operation runs, the busy text, the stop request of an abortable operation and the
// flag that tells background work the program is closing. The window draws them (greyed
// menus, animation, status text, stop button) from the signals; the engine and the store use
// them without knowing about the window.
class MainWindowServices : public QObject
{
    Q_OBJECT

public:
    static MainWindowServices& instance();

    // Busy state; nests. The counter must be back at 0 after every operation.
    void BeginBusy();
    void EndBusy();
    bool IsBusy() const { return m_busy.load(); } // also read by the list watchers' threads
    int busyLevel() const { return m_busyLevel; }

    // With fileNameOnly set only the last path component is kept.
    void SetBusyText(const QString& text, bool fileNameOnly = false);
    void ClearBusyText();
    QString busyText() const { return m_busyText; }

    // On: the operation may be stopped; clears an earlier stop request. Off: the reverse.
    void SetAbortable(bool on);
    bool isAbortable() const { return m_abortable; }
    // The stop command; only honoured while an abortable operation runs.
    void RequestCancel();
    bool CancelRequested() const { return m_cancelRequested; }

    // Set once when the program begins to close; never cleared.
    void RequestShutdown() { m_shutdownRequested.store(true); }
    bool ShutdownRequested() const { return m_shutdownRequested.load(); }

    // Count of the main window's timer handlers that are running.
    void enterTimerHandler() { ++m_timerHandlers; }
    void leaveTimerHandler() { --m_timerHandlers; }
    int runningTimerHandlers() const { return m_timerHandlers.load(); }

    // Restores the first state; for tests and for a fresh main window.
    void reset();

signals:
    void busyChanged(bool busy);
    void busyTextChanged(const QString& text);
    void abortableChanged(bool abortable);

private:
    int m_busyLevel = 0;
    std::atomic<bool> m_busy{false};
    QString m_busyText;
    bool m_abortable = false;
    bool m_cancelRequested = false;
    std::atomic<bool> m_shutdownRequested{false};
    std::atomic<int> m_timerHandlers{0};
};

// Keeps the busy state for one scope; with abortable set, also the stop button.
class BusyScope
{
public:
    explicit BusyScope(bool abortable = false, MainWindowServices& services = MainWindowServices::instance());
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    MainWindowServices& m_services;
    bool m_abortable;
};
