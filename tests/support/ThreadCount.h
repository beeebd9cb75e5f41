#pragma once

// The engine's own threads running in the test process, found by their names in /proc: none
// after a piece of work shows that the work left no thread behind. Other threads (Qt's, GLib's)
// come and go on their own and are not counted.

#include <QDir>
#include <QFile>

inline int EngineThreadCount()
{
    int count = 0;
    const QString tasks = QStringLiteral("/proc/self/task/");
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + task + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("kbx-")) {
            ++count;
        }
    }
    return count;
}
