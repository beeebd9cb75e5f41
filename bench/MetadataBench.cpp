// Synchronising the metadata of a folder of 10,000 containers: the first synchronisation, which
// reads every header; one with nothing changed, which should cost one listing and one decipher;
// and one after a single file was touched.
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "util/FileChanges.h"

#include <QCoreApplication>
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

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "metadata benchmark set-up failed: %s\n", what);
    std::exit(1);
}

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
            fail("engine or registration");
        }
        fillFolder();
    }

    // One small file encrypted once, renamed into a few distinct original names, and copied under
    // generated container names up to the count.
    void fillFolder()
    {
        const QString plain = dir.filePath(QStringLiteral("document.txt"));
        QFile source(plain);
        if (!source.open(QIODevice::WriteOnly) ||
            source.write("a small document to be kept encrypted\n") <= 0) {
            fail("plain file");
        }
        source.close();
        const QString original = dir.filePath(QStringLiteral("original.kbxf"));
        if (crypt.EncryptIntoFolder(plain, original, root) != 0) {
            fail("encryption");
        }
        QList<QByteArray> images;
        for (int i = 0; i < DistinctNames; ++i) {
            const QString renamed = dir.filePath(QStringLiteral("renamed.kbxf"));
            const QString name = QStringLiteral("document %1.txt").arg(i);
            if (crypt.RenameContainer(original, renamed, name, root, true) != 0) {
                fail("rename");
            }
            QFile file(renamed);
            if (!file.open(QIODevice::ReadOnly)) {
                fail("renamed container");
            }
            images.append(file.readAll());
            file.close();
            QFile::remove(renamed);
        }
        for (int i = 0; i < ContainerCount; ++i) {
            QFile file(root + QLatin1Char('/') + ContainerFormat::ContainerFileName(QUuid::createUuid()));
            const QByteArray& image = images.at(i % DistinctNames);
            if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
                fail("container copy");
            }
        }
        touched =
            root + QLatin1Char('/') + QDir(root).entryList(QDir::Files, QDir::Name).value(ContainerCount / 2);
    }

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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
