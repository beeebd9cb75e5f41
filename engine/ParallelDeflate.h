#pragma once

#include <QtGlobal>

#include <cstddef>

// Where ParallelDeflate hands its output, on the calling thread and in stream order.
class DeflateSink
{
public:
    virtual ~DeflateSink() = default;
    // The next bytes of the zlib stream. Returns Result::Ok, or a result code that stops the run
    // and is returned by it.
    virtual int put(const unsigned char* data, std::size_t length) = 0;
    // Called after each block's output was put, with the input bytes consumed so far; the place
    // to pump events, report progress and look for a cancel. Returns Result::Ok to go on, or a
    // result code that stops the run and is returned by it.
    virtual int blockDone(qint64 consumed) = 0;
};

// Compresses a file into one ordinary zlib stream at the default level on several threads.
//
// The input is cut into blocks of BlockSize bytes. Each block is deflated on a worker with the
// last DictionarySize bytes of the block before it as its preset dictionary and ends with a
// sync flush (the last one with the final block), so the blocks join into a single deflate
// stream; the zlib header comes first and the Adler-32 of the whole input, combined from the
// blocks' checksums, last. Any inflate reads the result; it is within a fraction of a percent
// of the size single-threaded deflate gives.
//
// The file is read and the output handed on by the calling thread only; the workers see
// nothing but their own block. At most a fixed number of blocks are in flight, whatever the
// file size. The workers are started by run() and have all ended when it returns, also after an
// error or a cancel.
class ParallelDeflate
{
public:
    static constexpr int BlockSize = 128 * 1024;
    static constexpr int DictionarySize = 32 * 1024;

    // `workers` threads compress (at least 1).
    explicit ParallelDeflate(int workers);

    // Reads `source` from its current position until a read comes back short, and hands the
    // compressed stream to `sink`. Returns Result::Ok with *consumed the bytes read,
    // Result::ReadError when a read failed (errno tells why), Result::Failed when zlib failed
    // (after showing the engine's message), or what the sink returned to stop it.
    int run(int source, DeflateSink& sink, qint64* consumed);

    int workers() const { return m_workers; }

private:
    int m_workers;
};
