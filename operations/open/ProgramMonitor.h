#pragma once

#include "platform/ProgramLaunch.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

// Watches the programs started on decrypted copies: 200 slots, each a process handle and the
// copy it was started on. A pass every 300 ms (on the window's thread, while something is
// watched) finds the programs that have ended and hands their copies to `programEnded` — unless
// the window is busy, in which case the slot waits for a later pass. A program that ended at once
// handed the file to a running instance: that instance is watched instead, found by the
// program's executable name or, failing that, as the process that holds the copy open.
class ProgramMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 200;
    static constexpr int PassMs = 300;

    explicit ProgramMonitor(QObject* parent = nullptr);
    ~ProgramMonitor() override;

    // The program still running on the copy, as the monitor of the window watches it (its
    // executable's name), or an empty text. Most programs read a file and close it, so a program
    // that holds no descriptor on its copy may still save into it: such a copy is in use.
    static QString ProgramRunningOn(const QString& copy);

    // Called with the copy of every program that has ended.
    std::function<int(const QString& copy)> programEnded;

    // Watches the program started on the copy (pid 0: none was seen). A-8 when every slot is used.
    void RegisterLaunchedProgram(const QString& copy, qint64 pid, const QString& program);
    int watchedCount() const;
    // One pass now (the timer's work).
    void pass();
    // Stops for good (the window closes): no copy is handed over any more.
    void stop();

private:
    struct Slot
    {
        ProcessHandle process;
        QString copy;
        QString program; // the executable's name
    };
    std::array<Slot, SlotCount> m_slots;
    QTimer m_timer;
    bool m_stopped = false;
};
