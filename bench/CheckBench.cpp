// `kbx check` over a folder of 10,000 small containers and over 1 GiB in four large ones, with
// 1 and 2 jobs, against `kbx decrypt` of the same large containers one after the other (written
// to a RAM folder when there is one), and the window's check (暗号ファイルの検査) of the same
// folders on every core. The kbx binary runs as a child process, as a user runs it; the window's
// check runs its real dialog offscreen. Times are wall-clock times. Counters: files and bytes per
// second; for the window, the longest the window's event loop waited meanwhile ("stall ms").
#include "BenchFolder.h"
#include "dialogs/tools/ContainerCheckDialog.h"
#include "engine/ContainerCrypt.h"
#include "operations/check/FolderCheck.h"
#include "operations/check/FolderCheckRun.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

const QByteArray Password = "benchmark-pass1";
constexpr int SmallCount = 10000;
constexpr int LargeCount = 4;
constexpr qint64 LargeSize = 256 << 20;

qint64 folderBytes(const QString& folder)
{
    qint64 total = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        total += info.size();
    }
    return total;
}

struct Fixture
{
    Fixture()
    {
        if (!dir.isValid() || StartEngine(engine, catalogue) != 0) {
            BenchSetupFailed("engine");
        }
        QDir().mkpath(small());
        QDir().mkpath(large());
        QDir().mkpath(dir.filePath(QStringLiteral("scratch")));
        engine.SetKeySlot(Password, small(), QString());
        FillBenchFolder(crypt, dir.filePath(QStringLiteral("scratch")), small(), SmallCount, 100);

        // Half text, half noise: a body that deflate neither skips nor shrinks to nothing.
        const QString plain = dir.filePath(QStringLiteral("scratch/large.bin"));
        QFile file(plain);
        if (!file.open(QIODevice::WriteOnly)) {
            BenchSetupFailed("large file");
        }
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (qint64 written = 0; written < LargeSize; written += block.size()) {
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 8);
            std::fill(block.begin() + block.size() / 2, block.end(), 'x');
            file.write(block);
        }
        file.close();
        const QString first = large() + QStringLiteral("/0000000000000000-0000000000000000.kbxf");
        if (crypt.EncryptIntoFolder(plain, first, small()) != 0) {
            BenchSetupFailed("large container");
        }
        QFile::remove(plain);
        for (int i = 1; i < LargeCount; ++i) {
            QFile::copy(first, large() + QStringLiteral("/000000000000000%1-0000000000000000.kbxf").arg(i));
        }
    }

    QString small() const { return dir.filePath(QStringLiteral("small")); }
    QString large() const { return dir.filePath(QStringLiteral("large")); }

    QTemporaryDir dir;
    CryptEngine engine;
    MessageCatalogue catalogue{engine};
    ContainerCrypt crypt{engine};
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void runKbx(benchmark::State& state, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KBX_BINARY), arguments);
    process.write(Password + '\n');
    process.waitForBytesWritten();
    process.closeWriteChannel();
    // The folders repeat original names on purpose (check then reports them and exits with 1);
    // any damage found is an error of the benchmark.
    const bool finished = process.waitForFinished(-1);
    const QByteArray report = process.readAllStandardOutput();
    if (!finished || process.exitCode() > 1 ||
        (arguments.first() == QLatin1String("check") && !report.contains(" 0 damaged"))) {
        state.SkipWithError(process.readAllStandardError().constData());
    }
}

void BM_Check(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString folder = state.range(0) == 0 ? f.small() : f.large();
    const qint64 files = state.range(0) == 0 ? SmallCount : LargeCount;
    const qint64 bytes = folderBytes(folder);
    for (auto _ : state) {
        runKbx(state,
               {QStringLiteral("check"), QStringLiteral("--jobs"), QString::number(state.range(1)), folder});
    }
    state.counters["files/s"] =
        benchmark::Counter(double(files), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.SetLabel(std::string(state.range(0) == 0 ? "10,000 small" : "1 GiB in 4") + ", " +
                   std::to_string(state.range(1)) + (state.range(1) == 1 ? " job" : " jobs"));
}

void BM_DecryptEach(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString out = QDir(QStringLiteral("/dev/shm")).exists()
                            ? QStringLiteral("/dev/shm/kura-bench-decrypt.out")
                            : f.dir.filePath(QStringLiteral("decrypt.out"));
    const QStringList containers = QDir(f.large()).entryList(QDir::Files);
    for (auto _ : state) {
        for (const QString& name : containers) {
            runKbx(state, {QStringLiteral("decrypt"), QStringLiteral("--force"),
                           f.large() + QLatin1Char('/') + name, out});
        }
    }
    QFile::remove(out);
    state.counters["files/s"] =
        benchmark::Counter(double(containers.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * folderBytes(f.large()));
    state.SetLabel("kbx decrypt of the 4 large containers, one by one");
}

void BM_CheckWindow(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString folder = state.range(0) == 0 ? f.small() : f.large();
    const qint64 files = state.range(0) == 0 ? SmallCount : LargeCount;
    const KeySlot& key = f.engine.slot(f.engine.findSlot(f.small()));
    qint64 stall = 0;
    for (auto _ : state) {
        ContainerCheckDialog check(folder, key, AvailableCores());
        QEventLoop loop;
        QObject::connect(&check, &ContainerCheckDialog::checkFinished, &loop, &QEventLoop::quit);
        // A timer of the window's thread: how late it fires is how long the window would not answer.
        QElapsedTimer since;
        QTimer beat;
        beat.setInterval(10);
        QObject::connect(&beat, &QTimer::timeout, [&] { stall = std::max(stall, since.restart() - 10); });
        since.start();
        beat.start();
        check.show();
        loop.exec();
        beat.stop();
        if (check.run().summary().damaged != 0 || check.run().summary().checked != files) {
            state.SkipWithError("the window's check did not check every file whole");
        }
    }
    state.counters["files/s"] =
        benchmark::Counter(double(files), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stall ms"] = double(stall);
    state.SetBytesProcessed(int64_t(state.iterations()) * folderBytes(folder));
    state.SetLabel(std::string(state.range(0) == 0 ? "10,000 small" : "1 GiB in 4") + ", window, " +
                   std::to_string(AvailableCores()) + " jobs");
}

} // namespace

BENCHMARK(BM_Check)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_CheckWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DecryptEach)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
