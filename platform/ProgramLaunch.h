#pragma once

#include <QString>
#include <QStringList>

// Starting a program on a file so that the new process can be watched.

// What a start produced: the process started (0 when the desktop started none that we can see,
// for example a program activated over D-Bus) and the program file that runs.
struct LaunchedProgram
{
    qint64 pid = 0;
    QString program;
};

// Starts the desktop's default program for the file's type (by its name). -1 when there is none
// or it could not be started; errorText tells why.
int LaunchWithDefaultProgram(const QString& file, LaunchedProgram* launched, QString* errorText);
// Starts the program file with these arguments (the file last, typically).
int LaunchWithProgram(const QString& program, const QStringList& arguments, LaunchedProgram* launched,
                      QString* errorText);

// A handle of a running process that tells when it has ended without waiting for it (a pidfd).
// The child is reaped when it is ours.
class ProcessHandle
{
public:
    ProcessHandle() = default;
    // -1 fd when the process cannot be opened (it has ended already, or is not visible).
    static ProcessHandle Open(qint64 pid);
    ~ProcessHandle();
    ProcessHandle(ProcessHandle&& other) noexcept;
    ProcessHandle& operator=(ProcessHandle&& other) noexcept;
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    bool isValid() const { return m_fd >= 0; }
    qint64 pid() const { return m_pid; }
    // True once the process has ended; waits at most `milliseconds` (0: only looks).
    bool hasEnded(int milliseconds = 0);
    void close();

private:
    int m_fd = -1;
    qint64 m_pid = 0;
};
