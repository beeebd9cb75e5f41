// How often the window wakes up at rest: no folder registered, nothing decrypted, nothing
// running, the window shown and idle. Counts, over ten seconds, the timer events our objects
// receive (by class) and the process's voluntary context switches (each a sleep that ended).
// A window at rest should receive no timer events at all. Run offscreen unless QT_QPA_PLATFORM
// says otherwise:
//   ./build/test/bench/kura_bench_idle [seconds]
#include "frame/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>

#include <cstdio>
#include <sys/resource.h>

namespace {

// Counts the timer events delivered to each class of receiver.
class TimerCounter : public QObject
{
public:
    QMap<QString, int> counts;
    bool counting = false;
    const QObject* ignored = nullptr; // the measurement's own timer

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (counting && event->type() == QEvent::Timer && watched != ignored) {
            ++counts[QString::fromLatin1(watched->metaObject()->className())];
        }
        return false;
    }
};

long VoluntarySwitches()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));

    MainWindow window(home.filePath(QStringLiteral("config/kurasoft/KBXcl1")));
    if (!window.isCreated()) {
        std::fprintf(stderr, "the window could not start\n");
        return 1;
    }
    window.show();
    window.StartUpWork(); // with nothing registered the guidance is asked for and cancelled

    // Let the start settle before counting.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }

    QTimer end;
    end.setSingleShot(true);
    TimerCounter counter;
    counter.ignored = &end;
    app.installEventFilter(&counter);
    counter.counting = true;
    const long switchesBefore = VoluntarySwitches();
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&end, &QTimer::timeout, &app, &QCoreApplication::quit);
    end.start(seconds * 1000);
    app.exec();
    counter.counting = false;
    const double elapsed = double(clock.elapsed()) / 1000.0;
    const long switches = VoluntarySwitches() - switchesBefore;

    int total = 0;
    for (auto it = counter.counts.cbegin(); it != counter.counts.cend(); ++it) {
        total += it.value();
    }
    std::printf("idle window over %.1f s:\n", elapsed);
    for (auto it = counter.counts.cbegin(); it != counter.counts.cend(); ++it) {
        std::printf("  timer events to %-28s %d\n", qPrintable(it.key()), it.value());
    }
    std::printf("  timer events of the window:       %d (%.2f a second)\n", total, total / elapsed);
    std::printf("  voluntary context switches:       %ld (%.2f a second)\n", switches, switches / elapsed);
    return 0;
}
