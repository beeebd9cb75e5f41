// Synchronising the metadata of a folder of 10,000 containers: the first synchronisation, which
// reads every header; one with nothing changed, which should cost one listing and one decipher;
// and one after a single file was touched.
#include "bench/BenchFolder.h"
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "util/FileChanges.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ContainerCount = 10000;
constexpr int DistinctNames = 100; // renamed containers; the others are copies of them

struct Fixture
{
    Fixture()
    {
        if (StartEngine(engine, catalogue) != 0 || !QDir().mkpath(dir.filePath(QStringLiteral("data"))) ||
            table.LoadRegisteredFolders() != 0 || !QDir().mkpath(root) ||
            table.AddRegisteredFolder(root, QString(), QStringLiteral("Bench-pass1"), QStringLiteral("0"),
                                      QStringLiteral("B00001"), QStringLiteral("0"), 3) != 0 ||
            engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Bench-pass1")), root, QString()) !=
                0) {
            BenchSetupFailed("engine or registration");
        }
        fillFolder();
    }

    void fillFolder() { touched = FillBenchFolder(crypt, dir.path(), root, ContainerCount, DistinctNames); }

    QString metadataFile() const { return metadata.location().MetadataFileOf(root); }

    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("vault/secret"));
    CryptEngine engine;
    MessageCatalogue catalogue{engine};
    RegisteredFolderTable table{engine, dir.filePath(QStringLiteral("data")),
                                [this] { return dir.filePath(QStringLiteral("work")); }};
    ContainerCrypt crypt{engine};
    FolderMetadata metadata{table, [this] { return dir.filePath(QStringLiteral("work")); }, crypt};
    QString touched;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void sync(benchmark::State& state, Fixture& f)
{
    if (f.metadata.SyncFolderMetadata(f.root, f.root) != 0) {
        state.SkipWithError("synchronisation failed");
    }
}

void BM_FirstSync(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        RemoveFile(f.metadataFile());
        state.ResumeTiming();
        sync(state, f);
    }
    state.counters["entries"] = ContainerCount;
}

void BM_UnchangedSync(benchmark::State& state)
{
    Fixture& f = fixture();
    sync(state, f);
    for (auto _ : state) {
        sync(state, f);
    }
    state.counters["entries"] = ContainerCount;
}

void BM_SyncAfterTouchingOneFile(benchmark::State& state)
{
    Fixture& f = fixture();
    sync(state, f);
    QDateTime time = QFileInfo(f.touched).lastModified();
    for (auto _ : state) {
        state.PauseTiming();
        time = time.addSecs(1);
        SetModifiedTime(f.touched, time);
        state.ResumeTiming();
        sync(state, f);
    }
    state.counters["entries"] = ContainerCount;
}

} // namespace

BENCHMARK(BM_FirstSync)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UnchangedSync)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SyncAfterTouchingOneFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
