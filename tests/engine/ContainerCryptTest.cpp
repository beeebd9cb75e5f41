#include "engine/ContainerCrypt.h"

#include "engine/ContainerFormat.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/RecordingMessageService.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"
#include "support/ThreadCount.h"
#include "util/MainWindowServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Folder = QStringLiteral("/home/u/secret");

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (qsizetype i = 0; i < size; ++i) {
        data[i] = char(generator.generate() & 0xff);
    }
    return data;
}

QByteArray textBytes(qsizetype size)
{
    QByteArray line = "Kurabox keeps every file of the folder in its own container. ";
    QByteArray data;
    data.reserve(size + line.size());
    while (data.size() < size) {
        data += line + QByteArray::number(data.size()) + '\n';
    }
    data.truncate(size);
    return data;
}

class ContainerCryptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindowServices::instance().reset();
        ASSERT_EQ(StartEngine(m_engine, m_catalogue), 0);
        ASSERT_EQ(m_engine.SetKeySlot("folder-password", Folder, QStringLiteral("いつもの")), 0);
        ASSERT_EQ(m_engine.SetKeySlot("other-password", QStringLiteral("/other"), QStringLiteral("別")), 0);
        m_messages.clear();
    }

    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // A container of `data` named `name` in the plain folder, written to container.kbxf.
    QString encrypt(const QByteArray& data, const QString& name = QStringLiteral("plain.txt"))
    {
        QDir().mkpath(path(QStringLiteral("in")));
        const QString plain = path(QStringLiteral("in/") + name);
        WriteTestFile(plain, data);
        const QString container = path(QStringLiteral("container.kbxf"));
        EXPECT_EQ(m_crypt.EncryptIntoFolder(plain, container, Folder), 0)
            << m_messages.texts().join('|').toStdString();
        return container;
    }

    // Rewrites the enciphered header of `container` after `edit` has changed its plain image.
    template <typename Edit>
    void editHeader(const QString& container, Edit edit)
    {
        QByteArray bytes = ReadTestFile(container);
        QByteArray image = bytes.left(ContainerFormat::HeaderSize);
        ASSERT_EQ(m_engine.DecipherWithIntrinsicKey(image.data(), image.size()), 0);
        edit(image);
        ASSERT_EQ(m_engine.EncipherWithIntrinsicKey(image.data(), image.size()), 0);
        bytes.replace(0, image.size(), image);
        WriteTestFile(container, bytes);
    }

    QTemporaryDir m_dir;
    CryptEngine m_engine;
    MessageCatalogue m_catalogue{m_engine};
    RecordingMessageService m_messages;
    ContainerCrypt m_crypt{m_engine};
};

class CancelAfterFirstChunk : public ProgressObserver
{
public:
    void progress(qint64 done, qint64) override
    {
        if (done > 0) {
            MainWindowServices::instance().RequestCancel();
        }
    }
};

class GrowSource : public ProgressObserver
{
public:
    explicit GrowSource(QString path) : m_path(std::move(path)) {}
    void progress(qint64 done, qint64) override
    {
        if (done > 0 && !m_grown) {
            QFile f(m_path);
            f.open(QIODevice::Append);
            f.write("more");
            m_grown = true;
        }
    }

private:
    QString m_path;
    bool m_grown = false;
};

// Puts a file of its own at a path the moment the first chunk is done.
class CreateFileMeanwhile : public ProgressObserver
{
public:
    explicit CreateFileMeanwhile(QString path) : m_path(std::move(path)) {}
    void progress(qint64 done, qint64) override
    {
        if (done > 0 && !QFileInfo::exists(m_path)) {
            WriteTestFile(m_path, "theirs");
        }
    }

private:
    QString m_path;
};

// Takes the last free byte of a disk once the first chunk is done.
class FillDiskMeanwhile : public ProgressObserver
{
public:
    explicit FillDiskMeanwhile(SmallDisk& disk) : m_disk(disk) {}
    void progress(qint64 done, qint64) override
    {
        if (done > 0 && !m_filled) {
            m_disk.fill();
            m_filled = true;
        }
    }

private:
    SmallDisk& m_disk;
    bool m_filled = false;
};

} // namespace

TEST_F(ContainerCryptTest, RoundTripsAtChunkBoundaries)
{
    const qsizetype sizes[] = {0, 1, 15, 16, 17, 127999, 128000, 128001, 3 * 128000 + 5};
    for (qsizetype size : sizes) {
        for (bool random : {false, true}) {
            const QByteArray data = random ? randomBytes(size, quint32(size)) : textBytes(size);
            const QString container = encrypt(data);
            const QDateTime written = QFileInfo(path(QStringLiteral("in/plain.txt"))).lastModified();

            const qint64 containerSize = QFileInfo(container).size();
            const int nameBlock = ContainerFormat::NameBlockLength(9);
            EXPECT_EQ((containerSize - 384 - nameBlock) % 16, 0) << size;

            const QString out = path(QStringLiteral("out.txt"));
            ASSERT_EQ(m_crypt.DecryptToFile(container, out, Folder), 0) << size;
            EXPECT_EQ(ReadTestFile(out), data) << size << (random ? " random" : " text");
            EXPECT_EQ(QFileInfo(out).lastModified().toSecsSinceEpoch(), written.toSecsSinceEpoch()) << size;
            EXPECT_EQ(QFileInfo(out).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0) << size;
            // The last plain chunk is where the data's last full chunk ends.
            EXPECT_EQ(m_crypt.lastChunk().offset, size == 0 ? 0 : (size - 1) / 128000 * 128000) << size;
            QFile::remove(out);
        }
    }
    EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join('|').toStdString();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")}); // nothing half-written left
}

TEST_F(ContainerCryptTest, DamagedOrForeignFilesLeaveNoOutput)
{
    const QByteArray data = randomBytes(300000, 7);
    const QString good = encrypt(data);
    const QByteArray bytes = ReadTestFile(good);

    struct Case
    {
        const char* what;
        QByteArray file;
        QString slot;
        int message;
    };
    QByteArray flipped = bytes;
    flipped[bytes.size() / 2] = char(flipped[bytes.size() / 2] ^ 0x10);
    const Case cases[] = {
        {"wrong key", bytes, QStringLiteral("/other"), 375},
        {"not a container", randomBytes(1000, 3), Folder, 375},
        {"shorter than a header", randomBytes(100, 4), Folder, 373},
        {"body cut by a block", bytes.left(bytes.size() - 16), Folder, 0},
        {"body cut by a few bytes", bytes.left(bytes.size() - 5), Folder, 382},
        {"a flipped bit", flipped, Folder, 0},
        {"empty file", QByteArray(), Folder, 371},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        m_messages.clear();
        const QString damaged = path(QStringLiteral("damaged.kbxf"));
        WriteTestFile(damaged, c.file);
        const QString out = path(QStringLiteral("out.bin"));
        EXPECT_NE(m_crypt.DecryptToFile(damaged, out, c.slot), 0) << c.what;
        EXPECT_FALSE(QFileInfo::exists(out)) << c.what;
        const QStringList texts = m_messages.texts();
        ASSERT_FALSE(texts.isEmpty()) << c.what;
        if (c.message) {
            EXPECT_EQ(texts.first(), MsgA(c.message)) << c.what;
        }
        EXPECT_EQ(texts.last(), MsgA(336) + damaged) << c.what;
        // No system error caused these: none may be named.
        EXPECT_FALSE(texts.join('|').contains(QLatin1String("ErrNo="))) << c.what;
        EXPECT_EQ(entries(), (QStringList{QStringLiteral("container.kbxf"), QStringLiteral("damaged.kbxf")}))
            << c.what;
    }
}

TEST_F(ContainerCryptTest, HeaderInformationAndStatus)
{
    const QString container = encrypt(textBytes(5000), QStringLiteral("報告書.txt"));
    ContainerInfo info;
    int status = -1;
    QString text;
    ASSERT_EQ(m_crypt.GetContainerStatus(container, Folder, &info, true, &status, &text), 0);
    EXPECT_EQ(status, ContainerReadable);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(info.plainName, QString::fromUtf8("報告書.txt"));
    EXPECT_EQ(info.plainSize, 5000);
    EXPECT_EQ(info.nameBlockLength, 16);
    EXPECT_EQ(info.hint.trimmed(), QString::fromUtf8("いつもの"));
    EXPECT_EQ(info.hint.size(), 48);
    EXPECT_EQ(info.encryptedAt.size(), 19);
    const QString modified = QFileInfo(path(QStringLiteral("in/報告書.txt")))
                                 .lastModified()
                                 .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    EXPECT_EQ(info.modifiedAt, modified);

    // Another key: size and hint stay readable, name and times do not.
    ASSERT_EQ(m_crypt.GetContainerStatus(container, QStringLiteral("/other"), &info, true, &status, &text),
              0);
    EXPECT_EQ(status, OtherKey);
    EXPECT_EQ(info.plainSize, 5000);
    EXPECT_TRUE(info.plainName.isEmpty());
    EXPECT_EQ(text, MsgA(421) + container + MsgA(422) + QString::fromUtf8("いつもの 」です。　"));

    // A newer format.
    QByteArray bytes = ReadTestFile(container);
    QByteArray header = bytes.left(384);
    ASSERT_EQ(m_engine.DecipherWithIntrinsicKey(header.data(), header.size()), 0);
    header[28] = '2';
    ASSERT_EQ(m_engine.EncipherWithIntrinsicKey(header.data(), header.size()), 0);
    const QString newer = path(QStringLiteral("newer.kbxf"));
    WriteTestFile(newer, header + bytes.mid(384));
    ASSERT_EQ(m_crypt.GetContainerStatus(newer, Folder, &info, true, &status, &text), 0);
    EXPECT_EQ(status, NewerFormat);
    EXPECT_EQ(text, MsgA(424) + QStringLiteral("\n\n") + newer);

    // Not containers: zeros, and a file too short for a header.
    for (const QByteArray& content : {QByteArray(384, '\0'), QByteArray(100, 'x')}) {
        const QString other = path(QStringLiteral("other.kbxf"));
        WriteTestFile(other, content);
        ASSERT_EQ(m_crypt.GetContainerStatus(other, Folder, &info, true, &status, &text), 0);
        EXPECT_EQ(status, NotAContainer);
        EXPECT_TRUE(info.plainName.isEmpty());
    }
    EXPECT_EQ(info.header, QByteArray(384, '0'));
    EXPECT_EQ(
        m_crypt.GetContainerStatus(path(QStringLiteral("missing")), Folder, &info, false, &status, &text),
        -1);
    EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join('|').toStdString();
}

TEST_F(ContainerCryptTest, RenameGrowsTheNameBlockAndKeepsTheBody)
{
    const QString container = encrypt(randomBytes(200000, 11), QStringLiteral("1234567")); // 7 units: K = 16
    const QString renamed = path(QStringLiteral("renamed.kbxf"));
    ASSERT_EQ(m_crypt.RenameContainer(container, renamed, QStringLiteral("12345678"), Folder, true), 0);
    const QByteArray before = ReadTestFile(container);
    const QByteArray after = ReadTestFile(renamed);
    EXPECT_EQ(after.size(), before.size() + 16);
    EXPECT_EQ(after.mid(384 + 32), before.mid(384 + 16)); // the body byte for byte

    ContainerInfo info;
    ASSERT_EQ(m_crypt.ReadContainerInfo(renamed, &info, Folder, true), 0);
    EXPECT_EQ(info.plainName, QStringLiteral("12345678"));
    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(m_crypt.DecryptToFile(renamed, out, Folder), 0);
    EXPECT_EQ(ReadTestFile(out), ReadTestFile(path(QStringLiteral("in/1234567"))));

    // A key the container was not written with would make it unreadable: refused.
    m_messages.clear();
    EXPECT_EQ(m_crypt.RenameContainer(container, path(QStringLiteral("r2.kbxf")), QStringLiteral("x"),
                                      QStringLiteral("/other"), true),
              -1);
    EXPECT_EQ(m_messages.texts().first(), MsgA(389));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("r2.kbxf"))));
    EXPECT_FALSE(QFileInfo::exists(ContainerCrypt::PartialPathFor(path(QStringLiteral("r2.kbxf")))));
}

TEST_F(ContainerCryptTest, HintUpdatesOnlyWhenTheTextChanges)
{
    const QString container = encrypt(textBytes(1000));
    const QByteArray original = ReadTestFile(container);

    ASSERT_EQ(m_crypt.UpdateContainerHint(container, QString::fromUtf8("いつもの   ")), 0);
    EXPECT_EQ(ReadTestFile(container), original); // only trailing spaces differ: nothing written

    ASSERT_EQ(m_crypt.UpdateContainerHint(container, QString::fromUtf8("新しいヒント")), 0);
    const QByteArray updated = ReadTestFile(container);
    EXPECT_EQ(updated.size(), original.size());
    EXPECT_EQ(updated.mid(384), original.mid(384));
    ContainerInfo info;
    ASSERT_EQ(m_crypt.ReadContainerInfo(container, &info, Folder, true), 0);
    EXPECT_EQ(info.hint.trimmed(), QString::fromUtf8("新しいヒント"));
    EXPECT_EQ(info.plainName, QStringLiteral("plain.txt"));
    EXPECT_TRUE(m_messages.shown().isEmpty());

    const QString foreign = path(QStringLiteral("foreign.kbxf"));
    WriteTestFile(foreign, randomBytes(500, 9));
    EXPECT_EQ(m_crypt.UpdateContainerHint(foreign, QStringLiteral("x")), -7);
    EXPECT_EQ(ReadTestFile(foreign), randomBytes(500, 9));
}

TEST_F(ContainerCryptTest, TailComparison)
{
    WriteTestFile(path(QStringLiteral("a")), "0123456789abcdefXYZ");
    WriteTestFile(path(QStringLiteral("b")), "--3456789abcdefXYZ");
    WriteTestFile(path(QStringLiteral("c")), "0123456789abcdefXYz");
    EXPECT_EQ(m_crypt.CompareFileTails(path(QStringLiteral("a")), path(QStringLiteral("b")), false), 0);
    EXPECT_EQ(m_crypt.CompareFileTails(path(QStringLiteral("a")), path(QStringLiteral("b")), true), -1);
    EXPECT_EQ(m_crypt.CompareFileTails(path(QStringLiteral("a")), path(QStringLiteral("c")), false), -1);
    EXPECT_EQ(m_messages.texts().last(),
              MsgA(449) + path(QStringLiteral("a")) + QLatin1Char('\n') + path(QStringLiteral("c")));
}

// On one thread and on several: the cancel stops every worker and leaves no file.
TEST_F(ContainerCryptTest, CancelLeavesNothingAndReportsOnlyTheCancel)
{
    const QString container = encrypt(textBytes(100));
    const QByteArray old = ReadTestFile(container);
    WriteTestFile(path(QStringLiteral("in/big.bin")), randomBytes(1200000, 5));
    CancelAfterFirstChunk cancel;
    m_crypt.setProgressObserver(&cancel);
    for (int threads : {1, 2, 4}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        m_crypt.setCompressionThreads(threads);
        m_messages.clear();
        MainWindowServices::instance().SetAbortable(true);
        EXPECT_EQ(m_crypt.EncryptIntoFolder(path(QStringLiteral("in/big.bin")), container, Folder), -9);
        MainWindowServices::instance().SetAbortable(false);
        EXPECT_EQ(m_messages.texts(), QStringList{MsgA(334)});
        EXPECT_EQ(ReadTestFile(container), old); // the container it was to replace is untouched
        EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")});
        EXPECT_EQ(EngineThreadCount(), 0);
    }
    m_crypt.setProgressObserver(nullptr);
}

// A disk that fills up while a container is replaced: the write fails half-way, the old
// container stays readable and nothing half-written is left.
TEST_F(ContainerCryptTest, FailedReplacementKeepsTheOldContainer)
{
    const QByteArray oldData = textBytes(3000);
    const QString container = encrypt(oldData);
    WriteTestFile(path(QStringLiteral("in/new.bin")), randomBytes(1 << 20, 12));

    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    struct rlimit limited = previous;
    limited.rlim_cur = 300000; // files may not grow beyond this
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int rc = m_crypt.EncryptIntoFolder(path(QStringLiteral("in/new.bin")), container, Folder);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_EQ(rc, -8);
    ASSERT_GE(m_messages.texts().size(), 2);
    EXPECT_TRUE(m_messages.texts().at(0).startsWith(MsgA(342)));
    EXPECT_EQ(m_messages.texts().last(), MsgA(335) + path(QStringLiteral("in/new.bin")));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")});
    ASSERT_EQ(m_crypt.DecryptToFile(container, path(QStringLiteral("old.txt")), Folder), 0);
    EXPECT_EQ(ReadTestFile(path(QStringLiteral("old.txt"))), oldData);
}

TEST_F(ContainerCryptTest, SourceThatChangesWhileEncryptedIsRefused)
{
    WriteTestFile(path(QStringLiteral("growing.txt")), textBytes(400000));
    GrowSource grow(path(QStringLiteral("growing.txt")));
    m_crypt.setProgressObserver(&grow);
    const QString container = path(QStringLiteral("c.kbxf"));
    EXPECT_EQ(m_crypt.EncryptIntoFolder(path(QStringLiteral("growing.txt")), container, Folder), -1);
    m_crypt.setProgressObserver(nullptr);
    EXPECT_TRUE(m_messages.texts().first().startsWith(MsgA(366)));
    EXPECT_FALSE(QFileInfo::exists(container));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("growing.txt")});
}

TEST_F(ContainerCryptTest, ToolFormatRoundTrip)
{
    const QByteArray data = textBytes(130001);
    WriteTestFile(path(QStringLiteral("tool.txt")), data);
    const QString slot = m_engine.SetTemporaryKey(QString::fromUtf16(u"Kr7qZUmi3580214"), QString());
    QString written;
    ASSERT_EQ(m_crypt.RawEncryptFile(path(QStringLiteral("tool.txt")), slot, &written), 0);
    EXPECT_EQ(written, path(QStringLiteral("tool.txt.kbxf2")));
    EXPECT_EQ(QFileInfo(written).size(), (data.size() + 15) / 16 * 16);
    ASSERT_EQ(m_crypt.RawDecryptFile(written, path(QStringLiteral("back.txt")), slot), 0);
    const QByteArray back = ReadTestFile(path(QStringLiteral("back.txt")));
    EXPECT_EQ(back.left(data.size()), data);
    EXPECT_EQ(back.mid(data.size()), QByteArray(back.size() - data.size(), '\0')); // the zero fill stays
}

// What a crash in the middle of a write leaves is named so that it is never taken for a
// container or a user's file, and it can be cleared away.
TEST_F(ContainerCryptTest, LeftoversOfACrashAreRecognisedAndRemoved)
{
    const QString container = encrypt(textBytes(100));
    const QString partial = ContainerCrypt::PartialPathFor(container);
    EXPECT_EQ(partial, path(QStringLiteral(".container.kbxf.kbxpart")));
    WriteTestFile(partial, "half a container");
    EXPECT_TRUE(ContainerCrypt::IsPartialFileName(QFileInfo(partial).fileName()));
    EXPECT_FALSE(ContainerCrypt::IsPartialFileName(QStringLiteral("container.kbxf")));
    EXPECT_FALSE(ContainerFormat::IsContainerFileName(QFileInfo(partial).fileName()));

    // A new write over the same target starts afresh, and a clean-up removes what is left.
    ASSERT_EQ(m_crypt.EncryptIntoFolder(path(QStringLiteral("in/plain.txt")), container, Folder), 0);
    EXPECT_FALSE(QFileInfo::exists(partial));
    WriteTestFile(path(QStringLiteral(".other.kbxf.kbxpart")), "x");
    EXPECT_EQ(ContainerCrypt::RemovePartialFiles(m_dir.path()), 1);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")});
}

// A pipe where a container was expected is refused at once instead of waiting for a writer.
TEST_F(ContainerCryptTest, PipesAreNotRead)
{
    const QString pipe = path(QStringLiteral("pipe.kbxf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ContainerInfo info;
    int status = -1;
    QString text;
    EXPECT_EQ(m_crypt.GetContainerStatus(pipe, Folder, &info, false, &status, &text), -1);
    EXPECT_NE(m_crypt.DecryptToFile(pipe, path(QStringLiteral("out")), Folder), 0);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out"))));
}

// A body that inflates to more than its header records is stopped at that size, before the
// excess reaches the disk; a negative size is refused outright.
TEST_F(ContainerCryptTest, OutputNeverGrowsPastTheRecordedSize)
{
    for (const qint64 recorded : {qint64(10), qint64(-1)}) {
        SCOPED_TRACE(recorded);
        const QString container = encrypt(QByteArray(3 * 128000 + 5, '\0'));
        editHeader(container, [recorded](QByteArray& image) {
            qToLittleEndian<qint64>(recorded, image.data() + ContainerFormat::Offset::PlainSize);
        });
        m_messages.clear();
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit previous;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        struct rlimit limited = previous;
        limited.rlim_cur = 64000; // a write of a whole chunk would fail
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const int rc = m_crypt.DecryptToFile(container, path(QStringLiteral("out.bin")), Folder);
        setrlimit(RLIMIT_FSIZE, &previous);
        EXPECT_NE(rc, 0);
        ASSERT_FALSE(m_messages.texts().isEmpty());
        EXPECT_TRUE(m_messages.texts().first().startsWith(MsgA(377)))
            << m_messages.texts().first().toStdString();
        EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")});
    }
}

// A container of a newer format is never read as if it were of this one.
TEST_F(ContainerCryptTest, NewerFormatIsRefusedEverywhere)
{
    const QString container = encrypt(textBytes(1000));
    editHeader(container, [](QByteArray& image) {
        image[ContainerFormat::Offset::Version + 4] = '2'; /* "002" in UTF-16 */
    });
    m_messages.clear();
    EXPECT_NE(m_crypt.DecryptToFile(container, path(QStringLiteral("out.txt")), Folder), 0);
    EXPECT_TRUE(m_messages.texts().value(0).startsWith(MsgA(424)));
    m_messages.clear();
    EXPECT_NE(m_crypt.RenameContainer(container, path(QStringLiteral("renamed.kbxf")),
                                      QStringLiteral("x.txt"), Folder, true),
              0);
    EXPECT_TRUE(m_messages.texts().value(0).startsWith(MsgA(424)));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("container.kbxf")});
}

// Without leave to replace, a file that appears at the target while the output is written is
// kept, not replaced at the last moment.
TEST_F(ContainerCryptTest, FileAppearingAtTheTargetIsNotReplaced)
{
    const QString container = encrypt(randomBytes(400000, 5));
    const QString target = path(QStringLiteral("out.bin"));
    CreateFileMeanwhile appear(target);
    m_crypt.setProgressObserver(&appear);
    m_crypt.setReplaceTargets(false);
    EXPECT_NE(m_crypt.DecryptToFile(container, target, Folder), 0);
    m_crypt.setProgressObserver(nullptr);
    EXPECT_EQ(ReadTestFile(target), QByteArray("theirs"));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("container.kbxf"), QStringLiteral("out.bin")}));
}

// A name that just fits the file system can be written; a longer one is refused with the limit.
TEST_F(ContainerCryptTest, NamesNearTheLengthLimit)
{
    const QString fits = QString(83, QChar(0x3042)) + QStringLiteral(".txt"); // 253 bytes
    const QString container = encrypt(textBytes(1000), fits);
    ASSERT_EQ(m_crypt.DecryptToFile(container, path(fits), Folder), 0)
        << m_messages.texts().join('|').toStdString();
    EXPECT_EQ(ReadTestFile(path(fits)), textBytes(1000));
    const QString longContainer = QString(83, QChar(0x3044)) + QStringLiteral(".kbx");
    ASSERT_EQ(m_crypt.EncryptIntoFolder(path(fits), path(longContainer), Folder), 0);

    m_messages.clear();
    const QString tooLong = QString(86, QChar(0x3042)); // 258 bytes
    EXPECT_NE(m_crypt.DecryptToFile(container, path(tooLong), Folder), 0);
    EXPECT_TRUE(m_messages.texts().join('|').contains(QStringLiteral("255")));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("container.kbxf"), fits, longContainer}));

    // The tool format adds ".kbxf2" to the name: a name without room for it is refused before
    // anything is written.
    const QString noRoom = QString(83, QChar(0x3046)) + QStringLiteral(".t"); // 251 bytes
    WriteTestFile(path(noRoom), "x");
    m_messages.clear();
    EXPECT_NE(m_crypt.RawEncryptFile(path(noRoom), Folder), 0);
    EXPECT_TRUE(m_messages.texts().join('|').contains(QStringLiteral("255")))
        << m_messages.texts().join('|').toStdString();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("container.kbxf"), fits, longContainer, noRoom}));
}

// A partial file whose writer still holds its lock is not taken for a crash leftover.
TEST_F(ContainerCryptTest, PartialFileOfAnotherWriterIsLeftAlone)
{
    const QString container = encrypt(textBytes(1000));
    const QString target = path(QStringLiteral("out.txt"));
    const QString partial = ContainerCrypt::PartialPathFor(target);
    WriteTestFile(partial, "being written");
    const int fd = ::open(QFile::encodeName(partial).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_NE(m_crypt.DecryptToFile(container, target, Folder), 0);
    EXPECT_EQ(ContainerCrypt::RemovePartialFiles(m_dir.path()), 0);
    EXPECT_EQ(ReadTestFile(partial), QByteArray("being written"));
    EXPECT_FALSE(QFileInfo::exists(target));
    ::close(fd);
    EXPECT_EQ(m_crypt.DecryptToFile(container, target, Folder), 0);
    EXPECT_FALSE(QFileInfo::exists(partial));
}

// A new hint through a link changes the file it points to, and the link stays a link.
TEST_F(ContainerCryptTest, HintThroughALinkKeepsTheLink)
{
    const QString container = encrypt(textBytes(1000));
    const QString link = path(QStringLiteral("link.kbxf"));
    ASSERT_TRUE(QFile::link(container, link));
    ASSERT_EQ(m_crypt.UpdateContainerHint(link, QStringLiteral("new")), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ContainerInfo info;
    ASSERT_EQ(m_crypt.ReadContainerInfo(container, &info, Folder, true), 0);
    EXPECT_EQ(info.hint.trimmed(), QStringLiteral("new"));
}

// Header values outside what a container can hold are shown as they are stored, and a
// modification time no file can have leaves the output with the time it was written.
TEST_F(ContainerCryptTest, HeaderValuesOutOfRangeAreShownAsStored)
{
    const QString container = encrypt(textBytes(100));
    CryptEngine& engine = m_engine;
    quint16 fill = 0;
    editHeader(container, [&engine, &fill](QByteArray& image) {
        fill = qFromLittleEndian<quint16>(image.constData() + ContainerFormat::Offset::FillCount);
        qToLittleEndian<quint16>(0xFFFF, image.data() + ContainerFormat::Offset::FillCount);
        QByteArray times = ContainerFormat::TimesPlain(123, -5);
        ASSERT_EQ(engine.EncipherBuffer(times.data(), times.size(), Folder), 0);
        image.replace(ContainerFormat::Offset::Times, times.size(), times);
    });
    ContainerInfo info;
    ASSERT_EQ(m_crypt.ReadContainerInfo(container, &info, Folder, true), 0);
    EXPECT_EQ(info.fillCount, 65535);
    EXPECT_EQ(info.encryptedAt, QStringLiteral("invalid (123)"));
    EXPECT_EQ(info.modifiedAt, QStringLiteral("invalid (-5)"));

    editHeader(container, [fill](QByteArray& image) {
        qToLittleEndian<quint16>(fill, image.data() + ContainerFormat::Offset::FillCount);
    });
    const QString out = path(QStringLiteral("out.txt"));
    ASSERT_EQ(m_crypt.DecryptToFile(container, out, Folder), 0) << m_messages.texts().join('|').toStdString();
    EXPECT_GT(QFileInfo(out).lastModified(), QDateTime::currentDateTime().addSecs(-600));

    // Renaming what is no container says so.
    m_messages.clear();
    WriteTestFile(out, randomBytes(1000, 2));
    EXPECT_NE(m_crypt.RenameContainer(out, path(QStringLiteral("r.kbxf")), QStringLiteral("x"), Folder, true),
              0);
    EXPECT_TRUE(m_messages.texts().value(0).startsWith(MsgA(423)))
        << m_messages.texts().join('|').toStdString();
}

// A disk that fills up while a container or a plain file is written over an older one: the
// older file stays byte for byte and no partial file is left.
TEST_F(ContainerCryptTest, FullDiskDuringAWriteKeepsTheOldFile)
{
    SmallDisk disk;
    QString reason;
    const QString mounted = path(QStringLiteral("disk"));
    if (!disk.mount(mounted, 2 << 20, &reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    m_crypt.setCompressionThreads(1);
    const QString container = mounted + QStringLiteral("/report.kbxf");
    const QString plain = mounted + QStringLiteral("/report.txt");
    WriteTestFile(path(QStringLiteral("old.bin")), randomBytes(200000, 1));
    ASSERT_EQ(m_crypt.EncryptIntoFolder(path(QStringLiteral("old.bin")), container, Folder), 0);
    WriteTestFile(plain, "the old plain file");
    const QString source = path(QStringLiteral("new.bin"));
    WriteTestFile(source, randomBytes(600000, 2));
    const QString bigContainer = encrypt(randomBytes(600000, 3));

    struct Case
    {
        const char* what;
        std::function<int()> write;
        QString kept;
    };
    const Case cases[] = {
        {"encrypt over a container", [&] { return m_crypt.EncryptIntoFolder(source, container, Folder); },
         container},
        {"decrypt over a plain file", [&] { return m_crypt.DecryptToFile(bigContainer, plain, Folder); },
         plain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = ReadTestFile(c.kept);
        const QStringList names = QDir(mounted).entryList(QDir::Files | QDir::Hidden);
        FillDiskMeanwhile fill(disk);
        m_crypt.setProgressObserver(&fill);
        m_messages.clear();
        EXPECT_NE(c.write(), 0);
        EXPECT_TRUE(m_messages.texts().join('|').contains(QStringLiteral("ErrNo=%1").arg(ENOSPC)))
            << m_messages.texts().join('|').toStdString();
        m_crypt.setProgressObserver(nullptr);
        disk.release();
        EXPECT_EQ(ReadTestFile(c.kept), before);
        EXPECT_EQ(QDir(mounted).entryList(QDir::Files | QDir::Hidden), names);
    }
}
