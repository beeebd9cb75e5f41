// Bringing many small files (4 KiB each) into one folder, 1,000 and 10,000 of them: the cost per
// file should stay flat. And one large file, to set beside `kbx encrypt` of the same file.
#include "bench/BenchFolder.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "operations/encrypt/EncryptFilesIn.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture
{
    Fixture()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        if (store.Start() != 0 || !QDir().mkpath(root) ||
            store.folders().AddRegisteredFolder(root, QString(), QStringLiteral("Bench-pass1"),
                                                QStringLiteral("0"), QStringLiteral("B00001"),
                                                QStringLiteral("0"), 3) != 0 ||
            engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Bench-pass1")), root, QString()) !=
                0) {
            BenchSetupFailed("store or registration");
        }
    }

    // count files of `size` bytes of text-like data in a fresh source folder.
    QString makeSources(int count, qint64 size)
    {
        const QString folder = dir.filePath(QStringLiteral("source-%1").arg(++made));
        QDir().mkpath(folder);
        QByteArray block(size, 'a');
        for (qint64 i = 0; i < size; ++i) {
            block[i] = char('a' + QRandomGenerator::global()->bounded(16));
        }
        for (int i = 0; i < count; ++i) {
            QFile file(folder + QStringLiteral("/file %1.txt").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size()) {
                BenchSetupFailed("source file");
            }
        }
        return folder;
    }

    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("vault/secret"));
    CryptEngine engine;
    ContainerCrypt crypt{engine};
    StoreContext store{dir.filePath(QStringLiteral("config/kurasoft/KBXcl1")), engine, crypt};
    int made = 0;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BringIn(benchmark::State& state, int count, qint64 size)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QString sources = f.makeSources(count, size);
        const QString destination = f.root + QStringLiteral("/in-%1").arg(f.made);
        QDir().mkpath(destination);
        QStringList files;
        for (const QString& name : QDir(sources).entryList(QDir::Files)) {
            files.append(sources + QLatin1Char('/') + name);
        }
        state.ResumeTiming();
        EncryptFilesIn encryptIn(f.store);
        if (encryptIn.Run(EncryptFilesIn::Copy, destination, files) != 0 || encryptIn.written() != count) {
            state.SkipWithError("encrypting in failed");
        }
        state.PauseTiming();
        QDir(sources).removeRecursively();
        QDir(destination).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["files"] = count;
    state.counters["per_file_us"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SmallFiles(benchmark::State& state)
{
    BringIn(state, int(state.range(0)), 4096);
}

void BM_LargeFile(benchmark::State& state)
{
    BringIn(state, 1, state.range(0) << 20);
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}

} // namespace

BENCHMARK(BM_SmallFiles)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LargeFile)->Arg(256)->Unit(benchmark::kMillisecond)->Iterations(1);
