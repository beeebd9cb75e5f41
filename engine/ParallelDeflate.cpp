// Parallel deflate into one zlib stream: the calling thread reads blocks and hands the output
// on in order; a pool of workers deflates the blocks in between.

#include "engine/ParallelDeflate.h"

#include "engine/EngineMessages.h"
#include "engine/NamedThread.h"
#include "util/DescriptorIo.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int BlockSize = ParallelDeflate::BlockSize;
constexpr int DictionarySize = ParallelDeflate::DictionarySize;
// A deflated block is never larger than this: stored blocks cost 5 bytes per 16 KiB, the sync
// marker 5 more.
constexpr int OutputCapacity = BlockSize + BlockSize / 1024 + 256;
constexpr int InputCapacity = DictionarySize + BlockSize;
// The zlib header of a stream at the default level with a 32 KiB window.
constexpr unsigned char ZlibHeader[2] = {0x78, 0x9c};

// One block in flight: the dictionary and the block's bytes, and what its worker made of them.
struct Block
{
    Block() : input(new unsigned char[InputCapacity]), output(new unsigned char[OutputCapacity]) {}
    ~Block()
    {
        SecureWipe(input.get(), InputCapacity);
        SecureWipe(output.get(), OutputCapacity);
    }

    unsigned char* data() const { return input.get() + DictionarySize; }

    std::unique_ptr<unsigned char[]> input; // the dictionary in its last bytes of the first 32 KiB
    std::unique_ptr<unsigned char[]> output;
    int dictionaryLength = 0;
    int inputLength = 0;
    int outputLength = 0;
    bool last = false;
    bool done = false;
    uLong adler = 1;
    const char* error = nullptr; // zlib's text when the block failed
    bool failed = false;
};

// The blocks waiting for a worker, and the signals between the reader and the workers. Every
// field of a queued block belongs to its worker until `done` is set under the lock.
class WorkQueue
{
public:
    void push(Block* block)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_waiting.push_back(block);
        }
        m_work.notify_one();
    }

    // The next block to deflate, or nullptr once stopped.
    Block* take()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_work.wait(lock, [this] { return m_stopped || !m_waiting.empty(); });
        if (m_stopped) {
            return nullptr;
        }
        Block* block = m_waiting.front();
        m_waiting.pop_front();
        return block;
    }

    void finish(Block* block)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            block->done = true;
        }
        m_done.notify_all();
    }

    void waitFor(const Block& block)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [&block] { return block.done; });
    }

    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_work.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::deque<Block*> m_waiting;
    bool m_stopped = false;
};

// Deflates one block as raw deflate data that ends on a byte boundary (sync flush), or with the
// final block of the stream.
void deflateBlock(z_stream& z, Block& block)
{
    block.adler = adler32(1, block.data(), uInt(block.inputLength));
    if (deflateReset(&z) != Z_OK ||
        (block.dictionaryLength > 0 && deflateSetDictionary(&z, block.data() - block.dictionaryLength,
                                                            uInt(block.dictionaryLength)) != Z_OK)) {
        block.failed = true;
        block.error = z.msg;
        return;
    }
    z.next_in = block.data();
    z.avail_in = uInt(block.inputLength);
    z.next_out = block.output.get();
    z.avail_out = OutputCapacity;
    const int rc = deflate(&z, block.last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool complete = block.last ? rc == Z_STREAM_END : rc == Z_OK && z.avail_in == 0 && z.avail_out > 0;
    block.failed = !complete;
    block.error = z.msg;
    block.outputLength = OutputCapacity - int(z.avail_out);
}

void workerLoop(WorkQueue& queue)
{
    z_stream z{};
    const bool ready =
        deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    while (Block* block = queue.take()) {
        if (ready) {
            deflateBlock(z, *block);
        } else {
            block->failed = true;
        }
        queue.finish(block);
    }
    if (ready) {
        deflateEnd(&z);
    }
}

// The workers of one run; stopped and joined when it ends, whichever way it ends.
class WorkerPool
{
public:
    explicit WorkerPool(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_threads.push_back(StartNamedThread("kbx-deflate", [this] { workerLoop(m_queue); }));
        }
    }
    ~WorkerPool()
    {
        m_queue.stop();
        for (std::thread& thread : m_threads) {
            thread.join();
        }
    }

    WorkQueue& queue() { return m_queue; }

private:
    WorkQueue m_queue;
    std::vector<std::thread> m_threads;
};

void putBigEndian32(unsigned char* out, uLong value)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
    }
}

} // namespace

ParallelDeflate::ParallelDeflate(int workers) : m_workers(std::max(1, workers)) {}

int ParallelDeflate::run(int source, DeflateSink& sink, qint64* consumed)
{
    *consumed = 0;
    if (const int rc = sink.put(ZlibHeader, sizeof ZlibHeader)) {
        return rc;
    }
    // Two blocks a worker keep every worker busy while the calling thread writes.
    std::vector<std::unique_ptr<Block>> blocks(size_t(2 * m_workers));
    for (auto& block : blocks) {
        block = std::make_unique<Block>();
    }
    const qint64 inFlight = qint64(blocks.size());
    auto at = [&blocks, inFlight](qint64 sequence) -> Block& { return *blocks[size_t(sequence % inFlight)]; };

    WorkerPool pool(m_workers);
    qint64 queued = 0;
    qint64 written = 0;
    bool endRead = false;
    uLong adler = 1;
    for (;;) {
        while (!endRead && queued - written < inFlight) {
            Block& block = at(queued);
            const qint64 n = ReadUpTo(source, block.data(), BlockSize);
            if (n < 0) {
                return Result::ReadError;
            }
            block.dictionaryLength = 0;
            if (queued > 0) {
                // The block before is full (it was not the last) and unchanged until refilled.
                std::memcpy(block.data() - DictionarySize, at(queued - 1).data() + BlockSize - DictionarySize,
                            DictionarySize);
                block.dictionaryLength = DictionarySize;
            }
            block.inputLength = int(n);
            block.last = endRead = n < BlockSize;
            block.done = false;
            pool.queue().push(&block);
            ++queued;
        }
        Block& block = at(written);
        pool.queue().waitFor(block);
        if (block.failed) {
            ShowEngineError(MsgA(364) + ZlibText(block.error));
            return Result::Failed;
        }
        adler = adler32_combine(adler, block.adler, block.inputLength);
        *consumed += block.inputLength;
        ++written;
        if (const int rc = sink.put(block.output.get(), size_t(block.outputLength))) {
            return rc;
        }
        if (block.last) {
            break;
        }
        if (const int rc = sink.blockDone(*consumed)) {
            return rc;
        }
    }
    unsigned char trailer[4];
    putBigEndian32(trailer, adler);
    if (const int rc = sink.put(trailer, sizeof trailer)) {
        return rc;
    }
    return sink.blockDone(*consumed);
}
