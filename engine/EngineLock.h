#pragma once

class CryptEngine;

// Holds the engine's busy flag for the lifetime of an outer engine operation.
//
// While another operation holds the flag, the constructor waits 20 ms at a time with events
// dispatched and checks again. Just before the 100th wait it shows the given busy message
// (warning); after the 100th wait it gives up and acquired() is false.
class EngineLock
{
public:
    static constexpr int MaxWaits = 100;
    static constexpr int WaitMilliseconds = 20;

    EngineLock(CryptEngine& engine, int busyMessage);
    ~EngineLock();
    EngineLock(const EngineLock&) = delete;
    EngineLock& operator=(const EngineLock&) = delete;

    bool acquired() const { return m_acquired; }

private:
    CryptEngine& m_engine;
    bool m_acquired = false;
};
