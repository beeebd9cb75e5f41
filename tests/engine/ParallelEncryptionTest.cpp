// Containers of large files, whose bodies are deflated on several threads.
#include "engine/BodyVerifier.h"
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/ParallelDeflate.h"
#include "engine/PosixFile.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"
#include "support/ThreadCount.h"
#include "util/MainWindowServices.h"
#include "util/ResultCodes.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Folder = QStringLiteral("/home/u/large");
constexpr qint64 Block = ParallelDeflate::BlockSize;
constexpr qint64 Chunk = ContainerCrypt::ChunkSize;

QByteArray sample(qint64 size, bool random)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (qint64 i = 0; i < size; ++i) {
        data[i] = random ? char(generator.generate()) : "abcdefgh ,.\n"[generator.bounded(12)];
    }
    return data;
}

class ParallelEncryptionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindowServices::instance().reset();
        ASSERT_EQ(StartEngine(m_engine, m_catalogue), 0);
        ASSERT_EQ(m_engine.SetKeySlot("large-password", Folder, QString()), 0);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Encrypts the file at `plain` and decrypts the container again; false after a failure.
    bool roundTrip(const QString& plain, const QString& back)
    {
        const QString container = path(QStringLiteral("c.kbxf"));
        const bool ok = m_crypt.EncryptIntoFolder(plain, container, Folder) == Result::Ok &&
                        m_crypt.DecryptToFile(container, back, Folder) == Result::Ok;
        m_bodySize = QFileInfo(container).size() - ContainerFormat::HeaderSize -
                     ContainerFormat::NameBlockLength(QFileInfo(plain).fileName().size());
        QFile::remove(container);
        return ok;
    }

    QTemporaryDir m_dir;
    CryptEngine m_engine;
    MessageCatalogue m_catalogue{m_engine};
    RecordingMessageService m_messages;
    ContainerCrypt m_crypt{m_engine};
    qint64 m_bodySize = 0;
};

} // namespace

// Sizes on both sides of where the work goes to the threads, and around blocks and chunks.
TEST_F(ParallelEncryptionTest, RoundTripsOnAnyNumberOfThreads)
{
    const qint64 sizes[] = {4 * Block - 1, 4 * Block, 4 * Block + 1, 11 * Chunk, 23 * Block + 5};
    const QString plain = path(QStringLiteral("plain.bin"));
    const QString back = path(QStringLiteral("back.bin"));
    for (qint64 size : sizes) {
        for (bool random : {false, true}) {
            const QByteArray data = sample(size, random);
            WriteTestFile(plain, data);
            for (int threads : {1, 2, 4}) {
                SCOPED_TRACE(std::to_string(size) + (random ? " random, " : " text, ") +
                             std::to_string(threads) + " threads");
                m_crypt.setCompressionThreads(threads);
                ASSERT_TRUE(roundTrip(plain, back)) << m_messages.texts().join('|').toStdString();
                EXPECT_EQ(m_bodySize % 16, 0);
                EXPECT_EQ(ReadTestFile(back), data);
                EXPECT_EQ(m_crypt.lastChunk().offset, (size - 1) / Chunk * Chunk);
                QFile::remove(back);
            }
        }
    }
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

// A container written by the single-threaded deflate of earlier versions decrypts as before.
TEST_F(ParallelEncryptionTest, ContainersOfEarlierVersionsDecrypt)
{
    const QString slot = m_engine.SetTemporaryKey(QStringLiteral("fixture-password"), QString());
    const QString out = path(QStringLiteral("text.txt"));
    ASSERT_EQ(m_crypt.DecryptToFile(QStringLiteral(KURA_TEST_DATA "/serial-deflate-700000.kbxf"), out, slot),
              Result::Ok);
    // 700,000 bytes of numbered lines "Kurabox keeps every file of the folder in its own container. N".
    EXPECT_EQ(QCryptographicHash::hash(ReadTestFile(out), QCryptographicHash::Sha256).toHex(),
              "0616520bb4d6221955856c488fefebb26601d08ecf59bbb7960532b7060dfe9b");
}

// A file larger than any buffer, mostly holes with data here and there.
TEST_F(ParallelEncryptionTest, ThreeHundredMebibyteFile)
{
    const qint64 size = qint64(300) << 20;
    const QString plain = path(QStringLiteral("large.bin"));
    const QByteArray island = sample(3 * Block + 11, true);
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (qint64 at : {qint64(0), size / 3 + 17, size - island.size()}) {
            ASSERT_TRUE(f.seek(at));
            ASSERT_EQ(f.write(island), island.size());
        }
    }
    ASSERT_EQ(QFileInfo(plain).size(), size);
    m_crypt.setCompressionThreads(2);
    const QString back = path(QStringLiteral("back.bin"));
    ASSERT_TRUE(roundTrip(plain, back)) << m_messages.texts().join('|').toStdString();

    QFile a(plain);
    QFile b(back);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    ASSERT_EQ(b.size(), size);
    while (!a.atEnd()) {
        ASSERT_EQ(a.read(1 << 20), b.read(1 << 20)) << a.pos();
    }
}

// The check that follows the writer passes the body of a good container only against its own
// source and its own fill, and leaves no thread when dropped unfinished.
TEST_F(ParallelEncryptionTest, BodyCheckFindsWhatDiffers)
{
    const QByteArray data = sample(5 * Block + 3, false);
    const QString plain = path(QStringLiteral("p.bin"));
    WriteTestFile(plain, data);
    m_crypt.setCompressionThreads(1); // written and verified the whole-read way
    const QString container = path(QStringLiteral("c.kbxf"));
    ASSERT_EQ(m_crypt.EncryptIntoFolder(plain, container, Folder), Result::Ok);
    ContainerInfo info;
    ASSERT_EQ(m_crypt.ReadContainerInfo(container, &info, Folder, true), Result::Ok);
    const qint64 bodyOffset = ContainerFormat::HeaderSize + info.nameBlockLength;
    const qint64 bodySize = QFileInfo(container).size() - bodyOffset;
    const KeySlot& key = m_engine.slot(m_engine.findSlot(Folder));

    QByteArray changed = data;
    changed[4 * Block] = char(changed[4 * Block] ^ 1);
    WriteTestFile(path(QStringLiteral("changed.bin")), changed);
    struct Case
    {
        const char* name;
        const char* source;
        int fill;
        qint64 plainSize;
        bool matches;
    };
    const Case cases[] = {{"the source", "p.bin", info.fillCount, data.size(), true},
                          {"a changed byte", "changed.bin", info.fillCount, data.size(), false},
                          {"another fill", "p.bin", (info.fillCount + 1) % 16, data.size(), false},
                          {"another size", "p.bin", info.fillCount, data.size() - 1, false}};
    PosixFile in;
    ASSERT_TRUE(in.openForReading(container));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PosixFile source;
        ASSERT_TRUE(source.openForReading(path(QString::fromLatin1(c.source))));
        BodyVerifier verifier(in.fd(), bodyOffset, key.key, key.iv, source.fd());
        verifier.written(bodySize / 2 / 16 * 16);
        EXPECT_EQ(verifier.finish(bodySize, c.fill, c.plainSize), c.matches);
    }
    {
        BodyVerifier dropped(in.fd(), bodyOffset, key.key, key.iv, in.fd());
        dropped.written(bodySize);
    }
    EXPECT_EQ(EngineThreadCount(), 0);
}
