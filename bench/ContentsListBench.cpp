// The contents list over a folder of 10,000 containers whose metadata is already current: the
// first fill of the rows, a refresh that finds nothing changed, and a refresh after one
// container was written again. Runs the real list widget offscreen.
#include "bench/BenchFolder.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "util/FileChanges.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int ContainerCount = 10000;
constexpr int DistinctNames = 100;

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
        touched = FillBenchFolder(crypt, dir.path(), root, ContainerCount, DistinctNames);
        if (store.metadata().SyncFolderMetadata(root, root) != 0) {
            BenchSetupFailed("metadata");
        }
        list.attach(store);
        list.resize(800, 600);
        if (list.ShowFolder(root, root) != 0 || list.contentsModel()->rowCount() != ContainerCount) {
            BenchSetupFailed("first fill");
        }
    }

    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("vault/secret"));
    CryptEngine engine;
    ContainerCrypt crypt{engine};
    StoreContext store{dir.filePath(QStringLiteral("config/kurasoft/KBXcl1")), engine, crypt};
    ContentsView list;
    QString touched;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_FillContents(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        if (f.list.FillContents(f.root) != 0) {
            state.SkipWithError("fill failed");
        }
    }
    state.counters["rows"] = f.list.contentsModel()->rowCount();
}

void BM_UnchangedRefresh(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.list.RefreshContents();
    }
    state.counters["rows"] = f.list.contentsModel()->rowCount();
}

void BM_RefreshAfterOneFileChanged(benchmark::State& state)
{
    Fixture& f = fixture();
    QDateTime time = QFileInfo(f.touched).lastModified();
    for (auto _ : state) {
        state.PauseTiming();
        time = time.addSecs(1);
        SetModifiedTime(f.touched, time);
        state.ResumeTiming();
        f.list.RefreshContents();
    }
    state.counters["rows"] = f.list.contentsModel()->rowCount();
}

} // namespace

BENCHMARK(BM_FillContents)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnchangedRefresh)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RefreshAfterOneFileChanged)->Unit(benchmark::kMillisecond)->MinTime(2.0);
