#include "store/metadata/MetadataFixture.h"

namespace {

using FolderMetadataQueriesTest = MetadataTest;

} // namespace

TEST_F(FolderMetadataQueriesTest, CopyAndUniqueNamesCountPastTheNamesShown)
{
    QString name;
    ASSERT_EQ(metadata.MakeCopyDisplayName(root, QStringLiteral("report.txt"), root, &name), 0);
    EXPECT_EQ(name, QStringLiteral("report - コピー.txt"));
    for (const QString& expected :
         {QStringLiteral("report - コピー (2).txt"), QStringLiteral("report - コピー (3).txt")}) {
        encrypt(root, name);
        ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
        ASSERT_EQ(metadata.MakeCopyDisplayName(root, QStringLiteral("report.txt"), root, &name), 0);
        EXPECT_EQ(name, expected);
    }
    ASSERT_EQ(metadata.MakeCopyDisplayName(root, QStringLiteral("README"), root, &name), 0);
    EXPECT_EQ(name, QStringLiteral("README - コピー"));

    encrypt(root, QStringLiteral("report.txt"));
    put(root + QStringLiteral("/report (2).txt")); // a plain file shows its name too
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    ASSERT_EQ(
        metadata.MakeUniqueDisplayName(root, QStringLiteral("report"), QStringLiteral(".txt"), root, &name),
        0);
    EXPECT_EQ(name, QStringLiteral("report (3).txt"));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(FolderMetadataQueriesTest, NameGenerationFailsWhenTheFolderCannotBeRead)
{
    encrypt(root, QStringLiteral("report.txt"));
    engine.ClearKeySlot(root);
    QString name = QStringLiteral("unchanged");
    EXPECT_EQ(metadata.MakeCopyDisplayName(root, QStringLiteral("report.txt"), root, &name), -1);
    EXPECT_EQ(
        metadata.MakeUniqueDisplayName(root, QStringLiteral("report"), QStringLiteral(".txt"), root, &name),
        -1);
    EXPECT_EQ(name, QStringLiteral("unchanged"));
}

TEST_F(FolderMetadataQueriesTest, DisplayNamesResolveToTheFirstEncryptedFileThenToPlainFiles)
{
    // Records in this order: the plain file, then the two containers.
    put(root + QStringLiteral("/same.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    const QString first = encrypt(root, QStringLiteral("same.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    const QString second = encrypt(root, QStringLiteral("same.txt"));
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    put(root + QStringLiteral("/only-plain.txt"));

    QString found;
    int kind = -1;
    ASSERT_EQ(metadata.ResolveDisplayName(root, QStringLiteral("same.txt"), root, &found, &kind), 0);
    EXPECT_EQ(found, first);
    EXPECT_EQ(kind, EntryRecord::EncryptedFile);
    ASSERT_EQ(metadata.ResolveDisplayName(root, QStringLiteral("only-plain.txt"), root, &found, &kind), 0);
    EXPECT_EQ(found, root + QStringLiteral("/only-plain.txt"));
    EXPECT_EQ(kind, EntryRecord::PlainFile);
    EXPECT_EQ(metadata.ResolveDisplayName(root, QStringLiteral("SAME.txt"), root, &found, &kind), -1);

    // The folder was resolved just now, so a change made without synchronising stays unseen
    // until the caller synchronises, as callers do after every change.
    encrypt(root, QStringLiteral("later.txt"));
    EXPECT_EQ(metadata.ResolveDisplayName(root, QStringLiteral("later.txt"), root, &found, &kind), -1);
    ASSERT_EQ(metadata.SyncFolderMetadata(root, root), 0);
    EXPECT_EQ(metadata.ResolveDisplayName(root, QStringLiteral("later.txt"), root, &found, &kind), 0);
    Q_UNUSED(second);
}

TEST_F(FolderMetadataQueriesTest, NamesInUseDependOnTheMode)
{
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/docs")));
    put(root + QStringLiteral("/notes.txt"));
    encrypt(root, QStringLiteral("secret.doc"));
    struct Case
    {
        const char* name;
        int mode;
        int inUse;
    };
    const Case cases[] = {
        {"docs", 0, 1},       {"docs", 2, 1},       // a subfolder on disk, whatever the mode
        {"notes.txt", 2, 1},  {"notes.txt", 0, 0},  // a plain file by its stored name in mode 2
        {"secret.doc", 0, 1}, {"secret.doc", 2, 0}, // an encrypted file by the name it shows
        {"Docs", 0, 0},       {"free.txt", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " mode " + std::to_string(c.mode));
        int inUse = -1;
        EXPECT_EQ(metadata.IsNameInUse(root, QString::fromUtf8(c.name), c.mode, root, &inUse),
                  c.inUse ? -1 : 0);
        EXPECT_EQ(inUse, c.inUse);
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(FolderMetadataQueriesTest, SubfoldersAreToldByTheRecordsOnceTheyExist)
{
    const QString sub = root + QStringLiteral("/sub");
    ASSERT_TRUE(QDir().mkpath(sub + QStringLiteral("/inner")));
    EXPECT_EQ(metadata.MetadataExists(sub), -1);
    EXPECT_EQ(metadata.HasSubfolderRecords(sub, root), 0); // from the disk

    ASSERT_EQ(metadata.SyncFolderMetadata(sub, root), 0);
    EXPECT_EQ(metadata.MetadataExists(sub), 0);
    EXPECT_EQ(metadata.HasSubfolderRecords(sub, root), 0);
    QStringList lines;
    ASSERT_EQ(metadata.LoadEntryRecords(sub, root, 0, &lines), 0);
    EXPECT_TRUE(lines.isEmpty());

    // The records speak until the next synchronisation.
    ASSERT_TRUE(QDir(sub).rmdir(QStringLiteral("inner")));
    EXPECT_EQ(metadata.HasSubfolderRecords(sub, root), 0);
    ASSERT_EQ(metadata.SyncFolderMetadata(sub, root), 0);
    EXPECT_EQ(metadata.HasSubfolderRecords(sub, root), -1);
}

TEST_F(FolderMetadataQueriesTest, PlainFilesAndDuplicatesAreCountedAndTheFirstTenListed)
{
    for (int i = 1; i <= 12; ++i) {
        put(root + QStringLiteral("/plain%1.txt").arg(i, 2, 10, QLatin1Char('0')));
    }
    for (int i = 0; i < 3; ++i) {
        encrypt(root, QStringLiteral("dup.txt"));
    }
    encrypt(root, QStringLiteral("unique.txt"));
    const QString sub = root + QStringLiteral("/sub");
    put(sub + QStringLiteral("/left-over.txt"));
    // A link back up would make a walk that follows links endless.
    ASSERT_EQ(::symlink(QFile::encodeName(root).constData(), QFile::encodeName(sub + "/loop").constData()),
              0);

    FolderMetadata::PlainScan scan;
    ASSERT_EQ(metadata.ScanPlainAndDuplicates(root, false, root, &scan), 0) << shownMessages();
    EXPECT_EQ(scan.plainCount, 12);
    QString expected;
    for (int i = 1; i <= 10; ++i) {
        expected += root + QStringLiteral("/plain%1.txt\n").arg(i, 2, 10, QLatin1Char('0'));
    }
    EXPECT_EQ(scan.plainList, expected + QStringLiteral("　："));
    EXPECT_EQ(scan.duplicateCount, 2); // three equal names are two duplicates
    EXPECT_EQ(scan.duplicateList, root + QStringLiteral("/dup.txt\n") + root + QStringLiteral("/dup.txt\n"));

    ASSERT_EQ(metadata.ScanPlainAndDuplicates(root, true, root, &scan), 0) << shownMessages();
    // The subfolder adds its plain file; its link is a folder entry there, and is not walked.
    EXPECT_EQ(scan.plainCount, 13);
    EXPECT_EQ(scan.duplicateCount, 2);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(FolderMetadataQueriesTest, MetadataFoldersMirrorTheRegisteredFolder)
{
    EXPECT_EQ(metadata.MetadataFolderOf(root), metadataArea());
    EXPECT_EQ(metadata.RealFolderOf(metadataArea()), root);
    const QString deep = root + QStringLiteral("/a/b");
    EXPECT_EQ(metadata.MetadataFolderOf(deep), metadataArea() + QStringLiteral("/a/b"));
    EXPECT_EQ(DirectoryExists(metadataArea() + QStringLiteral("/a/b")), 0);
    EXPECT_EQ(metadata.RealFolderOf(metadataArea() + QStringLiteral("/a/b")), deep);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();

    struct Case
    {
        QString folder;
        int message; // 0: the folder length limit text
    };
    const QString tooDeep = root + QLatin1Char('/') + QString(217 - metadataArea().size(), QLatin1Char('x'));
    const Case refused[] = {
        {path(QStringLiteral("elsewhere")), 306},
        {path(QStringLiteral("vault")), 306}, // holds the registered folder, but is none of it
        {tooDeep, 0},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.folder.toStdString());
        messages.clear();
        EXPECT_TRUE(MetadataLocation::IsNoLocation(metadata.MetadataFolderOf(c.folder)));
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_TRUE(messages.texts().at(0).startsWith(c.message ? MsgA(c.message) : MsgA(466)));
        EXPECT_EQ(metadata.SyncFolderMetadata(c.folder, root), -1);
    }
    EXPECT_EQ(metadata.MetadataFolderOf(tooDeep.chopped(1)),
              metadataArea() + tooDeep.chopped(1).mid(root.size()));

    messages.clear();
    EXPECT_TRUE(
        MetadataLocation::IsNoLocation(metadata.RealFolderOf(path(QStringLiteral("work/S00001/Ac/a")))));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.texts().at(0).startsWith(MsgA(302)));
}

TEST_F(FolderMetadataQueriesTest, PruningRemovesTheMetadataOfVanishedFoldersOnly)
{
    for (const char* folder : {"keep", "keep/gone", "gone", "keep/stays"}) {
        const QString real = root + QLatin1Char('/') + QLatin1String(folder);
        ASSERT_TRUE(QDir().mkpath(real));
        ASSERT_EQ(metadata.SyncFolderMetadata(real, root), 0);
    }
    ASSERT_TRUE(QDir(root + QStringLiteral("/keep/gone")).removeRecursively());
    ASSERT_TRUE(QDir(root + QStringLiteral("/gone")).removeRecursively());

    ASSERT_EQ(metadata.PruneMetadataFolders(root), 0);
    EXPECT_EQ(DirectoryExists(metadataArea() + QStringLiteral("/keep/stays")), 0);
    EXPECT_EQ(FileExists(metadataFile(QStringLiteral("/keep"))), 0);
    EXPECT_EQ(DirectoryExists(metadataArea() + QStringLiteral("/keep/gone")), -1);
    EXPECT_EQ(DirectoryExists(metadataArea() + QStringLiteral("/gone")), -1);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}
