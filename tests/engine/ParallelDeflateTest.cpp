#include "engine/ParallelDeflate.h"

#include "support/TestFiles.h"
#include "support/ThreadCount.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype Block = ParallelDeflate::BlockSize;

QByteArray textData(qsizetype size)
{
    QByteArray data;
    data.reserve(size + 64);
    for (int i = 0; data.size() < size; ++i) {
        data +=
            "entry " + QByteArray::number(i * 7919 % 100003) + " of a list that compresses as text does\n";
    }
    data.truncate(size);
    return data;
}

QByteArray randomData(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (qsizetype i = 0; i < size; ++i) {
        data[i] = char(generator.generate());
    }
    return data;
}

// Keeps the stream; stops the run with `stopWith` once `stopAfter` input bytes are done.
class CollectingSink : public DeflateSink
{
public:
    int put(const unsigned char* data, std::size_t length) override
    {
        stream.append(reinterpret_cast<const char*>(data), qsizetype(length));
        return Result::Ok;
    }
    int blockDone(qint64 consumed) override
    {
        EXPECT_GE(consumed, lastConsumed);
        lastConsumed = consumed;
        threadsWhileRunning = EngineThreadCount();
        return stopAfter >= 0 && consumed > stopAfter ? stopWith : Result::Ok;
    }

    QByteArray stream;
    qint64 lastConsumed = 0;
    int threadsWhileRunning = -1;
    qint64 stopAfter = -1;
    int stopWith = Result::Ok;
};

QByteArray inflateAll(const QByteArray& stream, qsizetype expectedSize)
{
    QByteArray plain(expectedSize + 1, '\0'); // one byte more: a longer result shows
    uLongf length = uLongf(plain.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(plain.data()), &length,
                              reinterpret_cast<const Bytef*>(stream.constData()), uLong(stream.size()));
    EXPECT_EQ(rc, Z_OK);
    plain.truncate(qsizetype(length));
    return plain;
}

class ParallelDeflateTest : public ::testing::Test
{
protected:
    // Runs the deflate over `data` read from a real file.
    int deflateFile(const QByteArray& data, int workers, CollectingSink& sink, qint64* consumed)
    {
        const QString path = m_dir.filePath(QStringLiteral("input.bin"));
        WriteTestFile(path, data);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        EXPECT_GE(fd, 0);
        const int rc = ParallelDeflate(workers).run(fd, sink, consumed);
        ::close(fd);
        return rc;
    }

    QTemporaryDir m_dir;
};

} // namespace

// Every size around the block boundaries, on one and on several workers: one zlib stream at the
// default level that plain inflate gives back whole, with the whole input's checksum.
TEST_F(ParallelDeflateTest, OneStreamThatInflatesToTheInput)
{
    struct Case
    {
        const char* name;
        qsizetype size;
    };
    const Case cases[] = {{"empty", 0},
                          {"one byte", 1},
                          {"block less one", Block - 1},
                          {"one block", Block},
                          {"block and one", Block + 1},
                          {"one chunk", 128000},
                          {"many blocks", 9 * Block + 7},
                          {"whole blocks", 6 * Block}};
    for (const Case& c : cases) {
        for (bool random : {false, true}) {
            const QByteArray data = random ? randomData(c.size) : textData(c.size);
            for (int workers : {1, 2, 4}) {
                SCOPED_TRACE(std::string(c.name) + (random ? " random, " : " text, ") +
                             std::to_string(workers) + " workers");
                CollectingSink sink;
                qint64 consumed = -1;
                ASSERT_EQ(deflateFile(data, workers, sink, &consumed), Result::Ok);
                EXPECT_EQ(consumed, c.size);
                EXPECT_EQ(sink.lastConsumed, c.size);
                ASSERT_GE(sink.stream.size(), 6);
                EXPECT_EQ(sink.stream.left(2), QByteArray("\x78\x9c"));
                EXPECT_EQ(inflateAll(sink.stream, c.size), data);
            }
        }
    }
}

// The dictionaries keep the ratio of single-threaded deflate at the same level.
TEST_F(ParallelDeflateTest, SizeStaysWithinAPercentOfSerialDeflate)
{
    const QByteArray data = textData(40 * Block);
    CollectingSink sink;
    qint64 consumed = 0;
    ASSERT_EQ(deflateFile(data, 2, sink, &consumed), Result::Ok);
    uLongf serialSize = compressBound(uLong(data.size()));
    QByteArray serial(qsizetype(serialSize), Qt::Uninitialized);
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(serial.data()), &serialSize,
                        reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                        Z_DEFAULT_COMPRESSION),
              Z_OK);
    EXPECT_LE(double(sink.stream.size()), double(serialSize) * 1.01);
}

// A stop from the sink or a failed read ends the run with that result, and no worker is left.
TEST_F(ParallelDeflateTest, StopsEarlyWithoutLeavingWorkers)
{
    const QByteArray data = randomData(30 * Block);
    for (int workers : {1, 2, 4}) {
        SCOPED_TRACE(std::to_string(workers) + " workers");
        CollectingSink sink;
        sink.stopAfter = 2 * Block;
        sink.stopWith = Result::Cancelled;
        qint64 consumed = 0;
        EXPECT_EQ(deflateFile(data, workers, sink, &consumed), Result::Cancelled);
        EXPECT_LT(consumed, 4 * Block);
        EXPECT_EQ(sink.threadsWhileRunning, workers);
        EXPECT_EQ(EngineThreadCount(), 0);
    }

    const int directory = ::open(QFile::encodeName(m_dir.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(directory, 0);
    CollectingSink sink;
    qint64 consumed = 0;
    EXPECT_EQ(ParallelDeflate(2).run(directory, sink, &consumed), Result::ReadError);
    ::close(directory);
    EXPECT_EQ(EngineThreadCount(), 0);
}
