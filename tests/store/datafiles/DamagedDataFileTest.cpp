#include "store/StoreTestFixture.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "support/UnprivilegedScope.h"

#include <QDirIterator>
#include <QRandomGenerator>

#include <functional>
#include <sys/stat.h>

namespace {

constexpr qsizetype Record = RegisteredFolderTable::RecordSize;

QByteArray garbage(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char& byte : bytes) {
        byte = char(generator.generate());
    }
    return bytes;
}

class DamagedDataFileTest : public StoreTest
{
protected:
    RegisteredFolderTable makeTable()
    {
        return RegisteredFolderTable(engine, dataFolder(), [this] { return path(QStringLiteral("work")); });
    }
    QString filePath() const { return dataFolder() + QStringLiteral("/kbxcl_folder.dat"); }

    // A sound file of two registrations, /srv/a and /srv/b; its deciphered records.
    QByteArray writeTwo()
    {
        RegisteredFolderTable table = makeTable();
        EXPECT_EQ(table.LoadRegisteredFolders(), 0);
        for (const char* name : {"a", "b"}) {
            const QString n = QLatin1String(name);
            EXPECT_EQ(table.AddRegisteredFolder(QStringLiteral("/srv/") + n, QStringLiteral("hint"),
                                                QStringLiteral("pass-") + n, QStringLiteral("0"),
                                                QStringLiteral("S0000") + n, QStringLiteral("0"), DriveFixed),
                      0);
        }
        return plainFile(filePath());
    }

    // The files set aside in the data folder.
    QStringList setAside() const
    {
        return QDir(dataFolder())
            .entryList({QStringLiteral("kbxcl_folder.dat.damaged-*")},
                       QDir::AllEntries | QDir::System | QDir::Hidden);
    }

    QStringList roots(const RegisteredFolderTable& table) const
    {
        QStringList found;
        for (int i = 0; i < table.count(); ++i) {
            found.append(table.slot(i).rootPath);
        }
        return found;
    }
};

} // namespace

// Each way a table file is damaged: one message naming the file and what was wrong, the file set
// aside as it was (0600), the sound records kept and saved in its place, nothing followed through
// a link.
TEST_F(DamagedDataFileTest, DamagedFileIsSetAsideAndTheSoundRecordsKept)
{
    const QString outside = path(QStringLiteral("outside.dat"));
    struct Case
    {
        const char* name;
        std::function<void(const QByteArray& sound)> damage;
        QStringList kept;
        const char* problem; // a part of what the message says was wrong
    };
    const QStringList both = {QStringLiteral("/srv/a"), QStringLiteral("/srv/b")};
    const QStringList first = {QStringLiteral("/srv/a")};
    const Case cases[] = {
        {"garbage of whole records",
         [this](const QByteArray&) { writeFile(filePath(), garbage(3 * Record, 1)); },
         {},
         "3 件の記録"},
        {"another key",
         [this](const QByteArray& sound) {
             QByteArray bytes = sound;
             engine.SetTemporaryKey(QStringLiteral("another key"), QString());
             ASSERT_EQ(engine.EncipherBuffer(bytes.data(), bytes.size(), CryptEngine::TemporarySlotName), 0);
             writeFile(filePath(), bytes);
         },
         {},
         "2 件の記録"},
        {"one record garbage",
         [this](const QByteArray& sound) {
             writePlainFile(filePath(), sound.left(Record) + garbage(Record, 2));
         },
         first, "1 件の記録"},
        {"cut inside a record",
         [this](const QByteArray& sound) {
             QByteArray bytes = sound;
             ASSERT_EQ(engine.EncipherWithIntrinsicKey(bytes.data(), bytes.size()), 0);
             writeFile(filePath(), bytes.left(Record + 100));
         },
         first, "長さ"},
        {"swollen past a hundred records",
         [this](const QByteArray& sound) { writePlainFile(filePath(), sound + garbage(110 * Record, 3)); },
         both, "大きすぎます"},
        {"a link in its place",
         [this, outside](const QByteArray& sound) {
             writePlainFile(outside, sound);
             QFile::remove(filePath());
             ASSERT_TRUE(QFile::link(outside, filePath()));
         },
         {},
         "シンボリックリンク"},
        {"a folder in its place",
         [this](const QByteArray&) {
             QFile::remove(filePath());
             ASSERT_TRUE(QDir().mkpath(filePath() + QStringLiteral("/inside")));
         },
         {},
         "フォルダー"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dataFolder()).removeRecursively();
        QFile::remove(outside);
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
        const QByteArray sound = writeTwo();
        c.damage(sound);
        if (HasFatalFailure()) {
            return;
        }
        const QByteArray outsideBefore = readFile(outside);
        QFileInfo damaged(filePath());
        const QByteArray damagedBytes =
            damaged.isFile() && !damaged.isSymLink() ? readFile(filePath()) : QByteArray();
        messages.clear();

        RegisteredFolderTable table = makeTable();
        ASSERT_EQ(table.LoadRegisteredFolders(), 0);
        EXPECT_TRUE(table.isLoaded());
        EXPECT_EQ(roots(table), c.kept);

        ASSERT_EQ(messages.texts().size(), 1) << messages.texts().join('|').toStdString();
        const QString message = messages.texts().first();
        EXPECT_TRUE(message.contains(filePath())) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.problem))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("もう一度登録"))) << message.toStdString();

        const QStringList aside = setAside();
        ASSERT_EQ(aside.size(), 1);
        const QString asidePath = dataFolder() + QLatin1Char('/') + aside.first();
        EXPECT_TRUE(message.contains(asidePath)) << message.toStdString();
        const QFileInfo asideInfo(asidePath);
        if (!damagedBytes.isEmpty()) {
            EXPECT_EQ(readFile(asidePath), damagedBytes) << "kept as it was";
            EXPECT_EQ(asideInfo.permissions() & 0x7777,
                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        }
        EXPECT_EQ(readFile(outside), outsideBefore) << "nothing written through the link";

        // The sound records now stand in the file, and the next start is quiet.
        messages.clear();
        RegisteredFolderTable again = makeTable();
        ASSERT_EQ(again.LoadRegisteredFolders(), 0);
        EXPECT_EQ(roots(again), c.kept);
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
        EXPECT_EQ(setAside().size(), 1);
        if (!c.kept.isEmpty()) {
            int match = 0;
            ASSERT_EQ(again.VerifyFolderPassword(QStringLiteral("/srv/a"), QStringLiteral("pass-a"), &match),
                      0);
            EXPECT_EQ(match, 1) << "the kept registration opens with its password";
        }
    }
}

// A file this user cannot read is set aside as well, when the data folder lets it be moved; one
// that can be neither read nor moved is left alone and never written over.
TEST_F(DamagedDataFileTest, UnreadableFileIsSetAsideOrLeftAlone)
{
    writeTwo();
    ASSERT_EQ(::chmod(QFile::encodeName(filePath()).constData(), 0), 0);
    {
        UnprivilegedScope unprivileged(path(QString()));
        if (!unprivileged.binds()) {
            GTEST_SKIP() << "permissions cannot be made to bind here";
        }
        RegisteredFolderTable table = makeTable();
        EXPECT_EQ(table.LoadRegisteredFolders(), 0);
        EXPECT_EQ(table.count(), 0);
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("読み取れません")));
        EXPECT_EQ(setAside().size(), 1);

        // Now neither readable nor movable.
        messages.clear();
        ASSERT_EQ(::chmod(QFile::encodeName(filePath()).constData(), 0), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dataFolder()).constData(), 0500), 0);
        RegisteredFolderTable stuck = makeTable();
        EXPECT_EQ(stuck.LoadRegisteredFolders(), -1);
        EXPECT_FALSE(stuck.isLoaded());
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts().first().contains(filePath()));
        EXPECT_EQ(stuck.SaveRegisteredFolders(), -1);
        ::chmod(QFile::encodeName(dataFolder()).constData(), 0700);
    }
}

// The working-folder data the same way: one message, the file aside, the sound values kept (a
// damaged choice falls back to the default folder), and the next load quiet.
TEST_F(DamagedDataFileTest, DamagedWorkingFolderDataIsSetAsideAndTheDefaultTaken)
{
    const QString file = dataFolder() + QStringLiteral("/kbxcl_common2.dat");
    const QString chosen = path(QStringLiteral("elsewhere"));
    const struct
    {
        const char* name;
        std::function<void()> damage;
        QString folder;
    } cases[] = {
        {"garbage", [&] { writeFile(file, garbage(4 * CommonData2::RecordSize, 4)); },
         QStringLiteral("/default")},
        {"cut", [&] { writeFile(file, readFile(file).left(1000)); }, QStringLiteral("/default")},
        {"a folder in its place",
         [&] {
             QFile::remove(file);
             ASSERT_TRUE(QDir().mkpath(file));
         },
         QStringLiteral("/default")},
        {"one garbage record after the sound ones",
         [&] {
             QByteArray plain = plainFile(file);
             writePlainFile(file, plain + garbage(CommonData2::RecordSize, 5));
         },
         chosen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dataFolder()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
        {
            CommonData2 data(engine, dataFolder(), QStringLiteral("/default"));
            ASSERT_EQ(data.LoadCommon2(), 0);
            data.AngoTempFolderFlg = QStringLiteral("1");
            data.AngoTempFolder = chosen;
            ASSERT_EQ(data.SaveCommon2(), 0);
        }
        c.damage();
        messages.clear();
        CommonData2 data(engine, dataFolder(), QStringLiteral("/default"));
        ASSERT_EQ(data.LoadCommon2(), 0);
        EXPECT_EQ(data.AngoTempFolder, c.folder);
        ASSERT_EQ(messages.texts().size(), 1) << messages.texts().join('|').toStdString();
        EXPECT_TRUE(messages.texts().first().contains(file));
        EXPECT_EQ(
            QDir(dataFolder())
                .entryList({QStringLiteral("kbxcl_common2.dat.damaged-*")}, QDir::AllEntries | QDir::Hidden)
                .size(),
            1);

        messages.clear();
        CommonData2 again(engine, dataFolder(), QStringLiteral("/default"));
        ASSERT_EQ(again.LoadCommon2(), 0);
        EXPECT_EQ(again.AngoTempFolder, c.folder);
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    }
}
