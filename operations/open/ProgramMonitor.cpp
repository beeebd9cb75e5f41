#include "operations/open/ProgramMonitor.h"

#include "platform/Platform.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QFileInfo>

#include <unistd.h>

ProgramMonitor::ProgramMonitor(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(PassMs);
    connect(&m_timer, &QTimer::timeout, this, &ProgramMonitor::pass);
}

int ProgramMonitor::watchedCount() const
{
    int count = 0;
    for (const Slot& slot : m_slots) {
        count += slot.process.isValid() ? 1 : 0;
    }
    return count;
}

void ProgramMonitor::RegisterLaunchedProgram(const QString& copy, qint64 pid, const QString& program)
{
    if (m_stopped) {
        return;
    }
    Slot* free = nullptr;
    for (Slot& slot : m_slots) {
        if (!slot.process.isValid()) {
            free = &slot;
            break;
        }
    }
    if (!free) {
        ShowMessage(MsgA(8), MessageStyle::warning());
        return;
    }
    ProcessHandle started = ProcessHandle::Open(pid);
    if (started.isValid()) {
        WaitPumping(100); // a program that hands the file on ends within this
    }
    if (started.isValid() && !started.hasEnded(10)) {
        free->process = std::move(started);
        free->copy = copy;
    } else {
        // The started process is gone: the file went to a running instance of the program.
        Platform& platform = Platform::instance();
        qint64 found = 0;
        const QString exe = QFileInfo(program).fileName();
        if (!exe.isEmpty()) {
            found = platform.FindProcessByExeName(exe);
        }
        if (found == 0 || found == ::getpid()) {
            found = platform.FindProcessHoldingFile(copy);
        }
        ProcessHandle instance = ProcessHandle::Open(found);
        if (instance.isValid()) {
            free->process = std::move(instance);
            free->copy = copy;
        }
    }
    m_timer.start();
}

void ProgramMonitor::pass()
{
    m_timer.stop();
    MainWindowServices& services = MainWindowServices::instance();
    int used = 0;
    for (Slot& slot : m_slots) {
        if (m_stopped || services.ShutdownRequested()) {
            return;
        }
        if (!slot.process.isValid()) {
            continue;
        }
        ++used;
        if (!slot.process.hasEnded(10) || services.IsBusy()) {
            continue;
        }
        const QString copy = slot.copy;
        slot.process.close();
        slot.copy.clear();
        BusyScope busy;
        if (programEnded) {
            programEnded(copy);
        }
    }
    if (used > 0 && !services.ShutdownRequested() && !m_stopped) {
        m_timer.start();
    }
}

void ProgramMonitor::stop()
{
    m_stopped = true;
    m_timer.stop();
}
