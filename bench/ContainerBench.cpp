// Throughput of whole-file encryption (with its verification) and decryption, on compressible
// and incompressible data, through the same code the window and kbx use. Encryption runs with
// its body deflated on one thread and on as many as there are cores, side by side; times are
// wall-clock times, as the work is spread over threads.
#include "engine/ContainerCrypt.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 FileSize = 32 << 20;

struct Fixture
{
    Fixture()
    {
        StartEngine(engine, catalogue);
        engine.SetKeySlot("benchmark-password", QStringLiteral("/bench"), QString());
        write(QStringLiteral("text.bin"), text());
        write(QStringLiteral("random.bin"), random());
    }

    static QByteArray text()
    {
        QByteArray data;
        data.reserve(FileSize);
        for (int i = 0; data.size() < FileSize; ++i) {
            data += "line " + QByteArray::number(i) + " of a document that compresses well, as text does.\n";
        }
        data.truncate(FileSize);
        return data;
    }

    static QByteArray random()
    {
        QByteArray data(FileSize, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(data.data()), FileSize / 4);
        return data;
    }

    void write(const QString& name, const QByteArray& data)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }

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

const char* sourceName(int kind)
{
    return kind == 0 ? "text.bin" : "random.bin";
}

void BM_EncryptWithVerification(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString source = f.dir.filePath(QString::fromLatin1(sourceName(int(state.range(0)))));
    const QString container = f.dir.filePath(QStringLiteral("out.kbxf"));
    f.crypt.setCompressionThreads(int(state.range(1)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.crypt.EncryptIntoFolder(source, container, QStringLiteral("/bench")));
    }
    f.crypt.setCompressionThreads(0);
    state.SetBytesProcessed(int64_t(state.iterations()) * FileSize);
    state.SetLabel(std::string(sourceName(int(state.range(0)))) +
                   (state.range(1) == 1 ? ", 1 thread" : ", all cores"));
}

void BM_Decrypt(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString source = f.dir.filePath(QString::fromLatin1(sourceName(int(state.range(0)))));
    const QString container = f.dir.filePath(QStringLiteral("in.kbxf"));
    f.crypt.EncryptIntoFolder(source, container, QStringLiteral("/bench"));
    const QString plain = f.dir.filePath(QStringLiteral("plain.out"));
    for (auto _ : state) {
        QFile::remove(plain);
        benchmark::DoNotOptimize(f.crypt.DecryptToFile(container, plain, QStringLiteral("/bench")));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * FileSize);
    state.SetLabel(sourceName(int(state.range(0))));
}

} // namespace

// Second argument: the compression threads (0 follows the cores).
BENCHMARK(BM_EncryptWithVerification)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_Decrypt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
