#include "store/metadata/MetadataFixture.h"
#include "support/SmallDisk.h"
#include "support/UnprivilegedScope.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include <functional>

namespace {

using FolderMetadataSyncTest = MetadataTest;

const QRegularExpression StoredTime(QStringLiteral("^\\d{14}$"));

QString localDigits(const QString& file)
{
    return QFileInfo(file).lastModified().toString(QStringLiteral("yyyyMMddHHmmss"));
}

} // namespace

TEST_F(FolderMetadataSyncTest, FirstSyncWritesOneRecordPerEntryAndAnUnchangedFolderIsNotRewritten)
{
    const QString source = path(QStringLiteral("plain/報告書.txt"));
    put(source, "contents of the report");
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(1700000000);
    ASSERT_EQ(SetModifiedTime(source, modified), 0);
    const QString container =
        root + QStringLiteral("/") + ContainerFormat::ContainerFileName(QUuid::createUuid());
    ASSERT_EQ(crypt.EncryptIntoFolder(source, container, root), 0);
    put(root + QStringLiteral("/notes.txt"));
    put(root + QStringLiteral("/.hidden"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/docs")));
    // A container being written (or left by a crash) is no entry of the folder.
    put(ContainerCrypt::PartialPathFor(root + QStringLiteral("/next.kbxf")));
    ASSERT_EQ(FileExists(metadataFile()), -1);

    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();

    const QList<EntryRecord> first = records(metadataFile());
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(storedNames(first), QStringList({QStringLiteral(".hidden"), FileNamePart(container),
                                               QStringLiteral("docs"), QStringLiteral("notes.txt")}));
    ContainerInfo info;
    ASSERT_EQ(crypt.ReadContainerInfo(container, &info, root, true), 0);
    const EntryRecord& encrypted = first.at(1);
    EXPECT_EQ(encrypted.WriteTime, localDigits(container));
    EXPECT_EQ(encrypted.DisplayName, QStringLiteral("報告書.txt"));
    EXPECT_EQ(encrypted.EntryKind, EntryRecord::EncryptedFile);
    EXPECT_EQ(encrypted.OriginalSize, 22);
    EXPECT_EQ(encrypted.EncryptedAt, info.encryptedAt);
    EXPECT_EQ(encrypted.ModifiedAt, modified.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    const EntryRecord& folder = first.at(2);
    EXPECT_EQ(folder.DisplayName, QStringLiteral("docs"));
    EXPECT_EQ(folder.EntryKind, EntryRecord::Subfolder);
    EXPECT_TRUE(folder.WriteTime.contains(StoredTime)) << folder.WriteTime.toStdString();
    EXPECT_EQ(first.at(3).EntryKind, EntryRecord::PlainFile);
    EXPECT_EQ(first.at(3).OriginalSize, 0);
    EXPECT_EQ(first.at(3).EncryptedAt, QStringLiteral("0"));
    EXPECT_EQ(first.at(3).ModifiedAt, QStringLiteral("0"));
    EXPECT_TRUE(isReadOnly(metadataFile()));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();

    // Nothing changed: nothing is written.
    const QString written = identity(metadataFile());
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    EXPECT_EQ(identity(metadataFile()), written);
    EXPECT_EQ(records(metadataFile()), first);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(metadataArea()).entryList(QDir::Files | QDir::Hidden), QStringList({"_snf.kbxn"}));
}

TEST_F(FolderMetadataSyncTest, ChangedEntriesAreRecordedAgainAtTheEndAndVanishedOnesDropped)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        put(root + QLatin1Char('/') + QLatin1String(name));
    }
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);

    touch(root + QStringLiteral("/a.txt"));
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("/b.txt")));
    put(root + QStringLiteral("/0-new.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);

    const QList<EntryRecord> after = records(metadataFile());
    EXPECT_EQ(storedNames(after), QStringList({"c.txt", "0-new.txt", "a.txt"}));
    EXPECT_EQ(after.last().WriteTime, localDigits(root + QStringLiteral("/a.txt")));

    // A caller that listed the folder itself gets the lines as written, changed or not.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            touch(root + QStringLiteral("/c.txt"));
        }
        QList<MetadataListing::Entry> listing;
        ASSERT_EQ(MetadataListing::ListEntries(root, &listing), 0);
        QStringList lines;
        ASSERT_EQ(metadata.SyncFolderMetadata(root, root, &listing, &lines), 0);
        QStringList stored;
        ASSERT_EQ(metadata.LoadEntryRecords(root, root, 1, &stored), 0);
        EXPECT_EQ(lines, stored) << round;
    }
}

TEST_F(FolderMetadataSyncTest, OnlyContainersThisKeyOpensAreEncryptedFiles)
{
    // A container written by a newer program: its header says version "002".
    const QString newer = encrypt(root, QStringLiteral("newer.txt"));
    QByteArray bytes = readFile(newer);
    QByteArray header = bytes.left(ContainerFormat::HeaderSize);
    ASSERT_EQ(engine.DecipherWithIntrinsicKey(header.data(), header.size()), 0);
    header.replace(ContainerFormat::Offset::Version, 6,
                   QByteArray("0\0"
                              "0\0"
                              "2\0",
                              6));
    ASSERT_EQ(engine.EncipherWithIntrinsicKey(header.data(), header.size()), 0);
    writeFile(newer, bytes.replace(0, header.size(), header));

    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Other-pass1")),
                                QStringLiteral("/elsewhere"), QString()),
              0);
    const QString otherKey = encrypt(root, QStringLiteral("other.txt"), QStringLiteral("/elsewhere"));
    QString lookalike;
    ASSERT_EQ(ContainerName(root, &lookalike), 0);
    put(root + QLatin1Char('/') + lookalike, "not a container at all, though named like one");
    put(root + QStringLiteral("/short.kbxf"), "tiny");
    const QString readable = encrypt(root, QStringLiteral("mine.txt"));
    messages.clear();

    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();

    const QList<EntryRecord> all = records(metadataFile());
    ASSERT_EQ(all.size(), 5);
    for (const EntryRecord& record : all) {
        SCOPED_TRACE(record.StoredName.toStdString());
        if (record.StoredName == FileNamePart(readable)) {
            EXPECT_EQ(record.EntryKind, EntryRecord::EncryptedFile);
            EXPECT_EQ(record.DisplayName, QStringLiteral("mine.txt"));
            continue;
        }
        EXPECT_EQ(record.EntryKind, EntryRecord::PlainFile);
        EXPECT_EQ(record.DisplayName, record.StoredName);
        EXPECT_EQ(record.OriginalSize, 0);
        EXPECT_EQ(record.EncryptedAt, QStringLiteral("0"));
        EXPECT_EQ(record.ModifiedAt, QStringLiteral("0"));
    }
    EXPECT_TRUE(storedNames(all).contains(FileNamePart(otherKey)));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(FolderMetadataSyncTest, FileThatCannotBeOpenedGetsNoRecordAndKeepsTheFolderOutOfDate)
{
    const QString readable = encrypt(root, QStringLiteral("mine.txt"));
    const QString locked = root + QStringLiteral("/locked.txt");
    put(locked);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    WithoutRootPowers asUser(path(QString()));
    // Sets up the metadata folder as that user.
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    EXPECT_EQ(storedNames(records(metadataFile())), QStringList({FileNamePart(readable)}));

    const QString written = identity(metadataFile());
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    EXPECT_NE(identity(metadataFile()), written);
    EXPECT_EQ(storedNames(records(metadataFile())), QStringList({FileNamePart(readable)}));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(FolderMetadataSyncTest, NamesThatLookLikeMarkersOrBreakLinesKeepTheirRecordsWhole)
{
    // Legal file names here, though they hold a marker, a line break and the escape character.
    const QString tricky = QStringLiteral("a:*3*:2:*4*:b");
    const QString container = encrypt(root, tricky);
    const QStringList plainNames = {QStringLiteral("line\nbreak"), QStringLiteral("star*.txt"),
                                    QStringLiteral("esc\uE000e.txt")};
    for (const QString& name : plainNames) {
        put(root + QLatin1Char('/') + name);
    }

    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    const QString written = identity(metadataFile());
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    EXPECT_EQ(identity(metadataFile()), written);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();

    const QList<EntryRecord> all = records(metadataFile());
    ASSERT_EQ(all.size(), 4);
    QStringList names = storedNames(all);
    names.removeOne(FileNamePart(container));
    EXPECT_EQ(names.size(), 3);
    for (const QString& name : plainNames) {
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(metadata.HasSubfolderRecords(root, root), -1);
    QString found;
    int kind = -1;
    ASSERT_EQ(metadata.ResolveDisplayName(root, tricky, root, &found, &kind), 0);
    EXPECT_EQ(found, container);
    EXPECT_EQ(kind, EntryRecord::EncryptedFile);
}

TEST_F(FolderMetadataSyncTest, UnusableMetadataFilesAreStartedAfreshOrRefused)
{
    put(root + QStringLiteral("/a.txt"));
    ASSERT_TRUE(QDir().mkpath(metadataArea()));
    const QString file = metadataFile();
    auto enciphered = [this](const QString& text) {
        QByteArray image = MetadataImage(text);
        EXPECT_EQ(engine.EncipherBuffer(image.data(), image.size(), root), 0);
        return image;
    };
    const QString header = MsgB(2) + QStringLiteral("\r\n");

    // An empty file is deleted and made again.
    writeFile(file, QByteArray());
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    EXPECT_EQ(storedNames(records(file)), QStringList({"a.txt"}));

    // Records of the older layout, without the last field, are thrown away.
    QFile::remove(file);
    writeFile(file, enciphered(header + QStringLiteral(":*0*:gone.txt:*1*:20200101000000:*2*:gone.txt\r\n")));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    EXPECT_EQ(storedNames(records(file)), QStringList({"a.txt"}));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();

    // A file with another header line is refused and left as it is, by both readers.
    QFile::remove(file);
    const QByteArray foreign = enciphered(QStringLiteral("some other file\r\n"));
    writeFile(file, foreign);
    EXPECT_EQ(metadata.SyncFolderMetadata(root, root), -1);
    QStringList lines;
    EXPECT_EQ(metadata.LoadEntryRecords(root, root, 1, &lines), -1);
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_TRUE(messages.texts().at(0).startsWith(MsgA(282)));
    EXPECT_TRUE(messages.texts().at(0).endsWith(file));
    EXPECT_TRUE(messages.texts().at(1).startsWith(MsgA(288)));
    EXPECT_EQ(readFile(file), foreign);
}

// The metadata file is a cache: one cut short of a whole cipher block or a link in its place is
// rebuilt from the containers without a message, never writing through the link; a folder in
// its place is set aside with one message that names it, and the records are made anew.
TEST_F(FolderMetadataSyncTest, CutOrLinkedMetadataFileIsRebuiltAndAFolderInItsPlaceSetAside)
{
    const QString container = encrypt(root, QStringLiteral("memo.txt"));
    const QString stored = QFileInfo(container).fileName();
    const QString file = metadataFile();
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    const QByteArray whole = readFile(file);
    const QString outside = path(QStringLiteral("outside.txt"));

    const struct
    {
        const char* name;
        std::function<void()> damage;
    } cases[] = {
        {"cut short", [&] { writeFile(file, whole.left(whole.size() - 5)); }},
        {"a link to a file elsewhere",
         [&] {
             writeFile(outside, "not ours");
             QFile::remove(file);
             ASSERT_TRUE(QFile::link(outside, file));
         }},
        {"a dangling link",
         [&] {
             QFile::remove(file);
             ASSERT_TRUE(QFile::link(path(QStringLiteral("nowhere")), file));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetAttributeBits(file, FileAttribute::ReadOnly, true);
        c.damage();
        messages.clear();
        ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
        QStringList lines;
        ASSERT_EQ(metadata.LoadEntryRecords(root, root, 1, &lines), 0) << shownMessages();
        EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
        EXPECT_FALSE(QFileInfo(file).isSymLink());
        EXPECT_EQ(storedNames(records(file)), QStringList{stored});
    }
    EXPECT_EQ(readFile(outside), QByteArray("not ours"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("nowhere"))));

    SetAttributeBits(file, FileAttribute::ReadOnly, true);
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file + QStringLiteral("/inside")));
    messages.clear();
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    QStringList lines;
    ASSERT_EQ(metadata.LoadEntryRecords(root, root, 1, &lines), 0) << shownMessages();
    ASSERT_EQ(messages.shown().size(), 1) << shownMessages();
    EXPECT_TRUE(messages.texts().first().contains(file)) << shownMessages();
    EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("フォルダーが置かれています")))
        << shownMessages();
    EXPECT_EQ(storedNames(records(file)), QStringList{stored});
    const QStringList aside =
        QDir(metadataArea()).entryList({QStringLiteral("_snf.kbxn.damaged-*")}, QDir::Dirs);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(
        QFileInfo::exists(metadataArea() + QLatin1Char('/') + aside.first() + QStringLiteral("/inside")));
}

// A metadata file the user may read but not replace (its folder is read-only to them): the
// records still come from it, a change that needs a write gives one message naming the file, and
// the file stays as it was.
TEST_F(FolderMetadataSyncTest, MetadataFileThatCannotBeReplacedGivesOneMessage)
{
    encrypt(root, QStringLiteral("memo.txt"));
    const QString file = metadataFile();
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    const QByteArray before = readFile(file);
    encrypt(root, QStringLiteral("second.txt")); // the next sync has a record to add
    UnprivilegedScope user(path(QString()));
    if (!user.binds()) {
        GTEST_SKIP() << "permissions cannot be made to bind here";
    }
    ASSERT_EQ(::chmod(QFile::encodeName(metadataArea()).constData(), 0500), 0);
    messages.clear();
    EXPECT_EQ(metadata.SyncFolderMetadata(root, root), -1);
    QStringList lines;
    EXPECT_EQ(metadata.LoadEntryRecords(root, root, 1, &lines), 0) << shownMessages();
    EXPECT_EQ(lines.size(), 1);
    ASSERT_EQ(messages.shown().size(), 1) << shownMessages();
    EXPECT_TRUE(messages.texts().first().contains(file)) << shownMessages();
    ::chmod(QFile::encodeName(metadataArea()).constData(), 0700);
    EXPECT_EQ(readFile(file), before);
}

TEST_F(FolderMetadataSyncTest, LoggedOutFolderWritesNothing)
{
    put(root + QStringLiteral("/a.txt"));
    engine.ClearKeySlot(root);
    EXPECT_EQ(metadata.SyncFolderMetadata(root, root), -1);
    EXPECT_EQ(FileExists(metadataFile()), -1);
    EXPECT_FALSE(messages.shown().isEmpty());
}

TEST_F(FolderMetadataSyncTest, FailedWriteKeepsThePreviousFile)
{
    put(root + QStringLiteral("/a.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    const QByteArray before = readFile(metadataFile());
    put(root + QStringLiteral("/b.txt"));
    {
        WithoutRootPowers asUser(path(QString()));
        ASSERT_EQ(::chmod(QFile::encodeName(metadataArea()).constData(), 0555), 0);
        EXPECT_EQ(metadata.SyncFolderMetadata(root, root), -1);
        ::chmod(QFile::encodeName(metadataArea()).constData(), 0700);
    }
    EXPECT_EQ(readFile(metadataFile()), before);
    EXPECT_TRUE(isReadOnly(metadataFile()));
    ASSERT_EQ(messages.shown().size(), 1) << shownMessages();
    EXPECT_TRUE(messages.texts().at(0).startsWith(MsgA(286)));
    EXPECT_TRUE(messages.texts().at(0).endsWith(metadataFile()));
}

// The same on a working folder whose disk is really full: the previous file stays byte for byte,
// nothing is left beside it, and the failure is shown and returned.
TEST_F(FolderMetadataSyncTest, FullDiskKeepsThePreviousFile)
{
    SmallDisk disk;
    QString reason;
    if (!disk.mount(workingFolder(), 1 << 20, &reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    put(root + QStringLiteral("/a.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    const QByteArray before = readFile(metadataFile());
    const QStringList entries =
        QDir(metadataArea()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    put(root + QStringLiteral("/b.txt"));

    disk.fill();
    EXPECT_EQ(metadata.SyncFolderMetadata(root, root), -1);
    EXPECT_EQ(readFile(metadataFile()), before);
    EXPECT_EQ(QDir(metadataArea()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entries);
    EXPECT_TRUE(isReadOnly(metadataFile()));
    ASSERT_EQ(messages.shown().size(), 1) << shownMessages();
    EXPECT_TRUE(messages.texts().at(0).startsWith(MsgA(286)));
    EXPECT_TRUE(messages.texts().at(0).endsWith(metadataFile()));

    disk.release();
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0) << shownMessages();
    EXPECT_EQ(storedNames(records(metadataFile())), QStringList({"a.txt", "b.txt"}));
}

TEST_F(FolderMetadataSyncTest, TextsArePaddedToWholeBlocksAndReadBackUnchanged)
{
    ASSERT_TRUE(QDir().mkpath(metadataArea()));
    const QString file = metadataFile();
    struct Case
    {
        QString text;
        qsizetype fileSize;
    };
    const QList<Case> cases = {
        {QStringLiteral("1234567"), 16},  // 14 bytes: two zero bytes
        {QStringLiteral("12345678"), 32}, // 16 bytes: a whole block of zeros
        {QStringLiteral("コピー\r\n"), 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        ASSERT_EQ(WriteEncipheredText(engine, file, c.text, root), 0);
        EXPECT_EQ(readFile(file).size(), c.fileSize);
        EXPECT_TRUE(isReadOnly(file));
        QString back;
        ASSERT_EQ(ReadEncipheredText(engine, file, root, &back), 0);
        EXPECT_EQ(back, c.text);
    }
    // Trailing spaces do not survive a read.
    ASSERT_EQ(WriteEncipheredText(engine, file, QStringLiteral("text   "), root), 0);
    QString back;
    ASSERT_EQ(ReadEncipheredText(engine, file, root, &back), 0);
    EXPECT_EQ(back, QStringLiteral("text"));
}

TEST_F(FolderMetadataSyncTest, WriterWaitsForAReadInProgress)
{
    ASSERT_TRUE(QDir().mkpath(metadataArea()));
    MetadataFlags& flags = MetadataFlags::instance();
    flags.reading = true;
    QTimer::singleShot(300, [&flags] { flags.reading = false; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(WriteEncipheredText(engine, metadataFile(), QStringLiteral("text"), root), 0);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_FALSE(flags.writing);
    EXPECT_EQ(FileExists(metadataFile()), 0);
}

TEST_F(FolderMetadataSyncTest, LoadDoesNotWaitForeverOnASynchronisationItInterrupted)
{
    put(root + QStringLiteral("/a.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    // Seen from a call made while a synchronisation waits: its flag stays set until that call ends.
    MetadataFlags::instance().syncBusy = true;
    QStringList lines;
    EXPECT_EQ(metadata.LoadEntryRecords(root, root, 0, &lines), 0);
    EXPECT_EQ(lines.size(), 1);
    EXPECT_TRUE(MetadataFlags::instance().syncBusy);
    MetadataFlags::instance().syncBusy = false;
}
