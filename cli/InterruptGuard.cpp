#include "cli/InterruptGuard.h"

#include <QFile>

#include <atomic>
#include <csignal>
#include <cstring>
#include <limits.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_restoreTerminal = 0;
termios g_savedTerminal{};

volatile sig_atomic_t g_removePartial = 0;
char g_partialPath[PATH_MAX];

// Atomics, as worker threads ask them; lock-free ones are safe in a signal handler.
std::atomic<int> g_deferStops{0};
std::atomic<int> g_deferredSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

bool isStopSignal(int signalNumber)
{
    return signalNumber == SIGINT || signalNumber == SIGTERM || signalNumber == SIGHUP;
}

void onInterrupt(int signalNumber)
{
    int none = 0;
    if (g_deferStops.load() && isStopSignal(signalNumber) &&
        g_deferredSignal.compare_exchange_strong(none, signalNumber)) {
        return;
    }
    if (g_restoreTerminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
        const char newline = '\n';
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &newline, 1);
    }
    if (g_removePartial) {
        unlink(g_partialPath);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

} // namespace

namespace InterruptGuard {

void Install()
{
    struct sigaction action
    {
    };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Every signal whose default ends the program and that can be caught.
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM,
                                   SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

void SetTerminalToRestore(const termios* saved)
{
    g_restoreTerminal = 0;
    if (saved) {
        g_savedTerminal = *saved;
        g_restoreTerminal = 1;
    }
}

void SetPartialOutput(const QString& path)
{
    g_removePartial = 0;
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty() || encoded.size() >= PATH_MAX) {
        return;
    }
    std::memcpy(g_partialPath, encoded.constData(), static_cast<size_t>(encoded.size()) + 1);
    g_removePartial = 1;
}

void DeferStops(bool defer)
{
    g_deferStops.store(defer ? 1 : 0);
}

bool StopRequested()
{
    return g_deferredSignal.load() != 0;
}

void RaiseDeferred()
{
    const int signalNumber = g_deferredSignal.load();
    if (signalNumber != 0) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
}

} // namespace InterruptGuard
