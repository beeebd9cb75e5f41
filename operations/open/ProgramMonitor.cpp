#include "operations/open/ProgramMonitor.h"

#include "platform/Platform.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

// The monitor of the window; the last one made while others live (tests make several).
ProgramMonitor* g_active = nullptr;

// The name a running process goes by, for a program found rather than started.
QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString name =
        comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("PID %1").arg(pid) : name;
}

} // namespace

ProgramMonitor::ProgramMonitor(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(PassMs);
    connect(&m_timer, &QTimer::timeout, this, &ProgramMonitor::pass);
    g_active = this;
}

ProgramMonitor::~ProgramMonitor()
{
    if (g_active == this) {
        g_active = nullptr;
    }
}

QString ProgramMonitor::ProgramRunningOn(const QString& copy)
{
    if (!g_active) {
        return QString();
    }
    for (Slot& slot : g_active->m_slots) {
        if (slot.process.isValid() && slot.copy == copy && !slot.process.hasEnded(0)) {
            return slot.program;
        }
    }
    return QString();
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
    const QString exe = QFileInfo(program).fileName();
    if (started.isValid() && !started.hasEnded(10)) {
        free->program = exe.isEmpty() ? processName(started.pid()) : exe;
        free->process = std::move(started);
        free->copy = copy;
    } else {
        // The started process is gone: the file went to a running instance of the program.
        Platform& platform = Platform::instance();
        qint64 found = 0;
        if (!exe.isEmpty()) {
            found = platform.FindProcessByExeName(exe);
        }
        if (found == 0 || found == ::getpid()) {
            found = platform.FindProcessHoldingFile(copy);
        }
        ProcessHandle instance = ProcessHandle::Open(found);
        if (instance.isValid()) {
            free->program = processName(found);
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
        slot.program.clear();
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
