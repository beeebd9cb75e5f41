#include "util/EventPump.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

void PumpMessages()
{
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void WaitPumping(int milliseconds)
{
    // max(ms, 10) / 10 steps: 5 ms waits one step, 20 ms two, 100 ms ten.
    const int steps = std::max(milliseconds, 10) / 10;
    for (int i = 0; i < steps; ++i) {
        QThread::msleep(10);
        PumpMessages();
    }
}
