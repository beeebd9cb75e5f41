#include "util/EventPump.h"

#include <QCoreApplication>
#include <QThread>

void PumpMessages()
{
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void WaitPumping(int milliseconds)
{
    constexpr int step = 10;
    for (int waited = 0; waited < milliseconds; waited += step) {
        QThread::msleep(step);
        PumpMessages();
    }
}
