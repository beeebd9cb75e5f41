// Throughput of the engine's buffer cipher, to set beside `openssl speed -evp aes-256-cbc`.
#include "engine/CryptEngine.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

namespace {

CryptEngine& engineWithKey()
{
    static CryptEngine engine;
    static const bool ready =
        engine.SetKeySlot("benchmark-password", QStringLiteral("/bench"), QString()) == 0;
    (void)ready;
    return engine;
}

void cipher(benchmark::State& state, bool encipher)
{
    CryptEngine& engine = engineWithKey();
    QByteArray buffer(static_cast<qsizetype>(state.range(0)), 'k');
    for (auto _ : state) {
        const int rc = encipher
                           ? engine.EncipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/bench"))
                           : engine.DecipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/bench"));
        benchmark::DoNotOptimize(rc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_EncipherBuffer(benchmark::State& state)
{
    cipher(state, true);
}

void BM_DecipherBuffer(benchmark::State& state)
{
    cipher(state, false);
}

} // namespace

BENCHMARK(BM_EncipherBuffer)->Arg(16)->Arg(1024)->Arg(16384)->Arg(128000)->Arg(8 << 20);
BENCHMARK(BM_DecipherBuffer)->Arg(16)->Arg(1024)->Arg(16384)->Arg(128000)->Arg(8 << 20);

BENCHMARK_MAIN();
