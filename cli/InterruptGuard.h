#pragma once

#include <QString>

#include <termios.h>

// What a terminating signal (any that can be caught: SIGINT, SIGTERM, SIGPIPE, SIGXFSZ...) must undo before
// the tool dies of it: a terminal left without echo while a password was typed, and the temporary output file
// that the running operation writes beside its target. Both are undone in the signal handler with
// async-signal-safe calls only; then the signal is raised again with its default action, so
// the exit status tells the caller what happened.
namespace InterruptGuard {

void Install();

// The terminal settings to put back on standard input; nullptr when none need restoring.
void SetTerminalToRestore(const termios* saved);

// The temporary file to remove; an empty path when there is none.
void SetPartialOutput(const QString& path);

// While deferred, an interrupt, hang-up or termination signal is only noted: work that can stop
// between its steps asks StopRequested(), ends on its own and then calls RaiseDeferred(). A
// second such signal acts at once. Any thread may ask.
void DeferStops(bool defer);
bool StopRequested();
// Ends the program with the noted signal's default action; returns when none was noted.
void RaiseDeferred();

} // namespace InterruptGuard
