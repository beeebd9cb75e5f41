#include "store/datafiles/RegisteredFolderTable.h"

#include "store/StoreTestFixture.h"
#include "store/datafiles/RecordFields.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"

namespace {

using Layout = RegisteredFolderTable::Layout;

class RegisteredFolderTableTest : public StoreTest
{
protected:
    RegisteredFolderTable makeTable()
    {
        return RegisteredFolderTable(engine, dataFolder(), [this] { return workingFolder(); });
    }
    QString workingFolder() const { return path(QStringLiteral("work")); }
    QString filePath() const { return dataFolder() + QStringLiteral("/kbxcl_folder.dat"); }

    // Registers the folders a, b and c below /srv with passwords "pass-" + name.
    void registerThree(RegisteredFolderTable& table)
    {
        ASSERT_EQ(table.LoadRegisteredFolders(), 0);
        for (const char* name : {"a", "b", "c"}) {
            const QString n = QLatin1String(name);
            ASSERT_EQ(table.AddRegisteredFolder(QStringLiteral("/srv/") + n, QStringLiteral("hint ") + n,
                                                QStringLiteral("pass-") + n, QStringLiteral("0"),
                                                QStringLiteral("S0000") + n, QStringLiteral("0"), DriveFixed),
                      0);
        }
    }
};

} // namespace

TEST_F(RegisteredFolderTableTest, MissingFileIsCreatedEmpty)
{
    RegisteredFolderTable table = makeTable();
    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    EXPECT_TRUE(table.isLoaded());
    int count = -1;
    EXPECT_EQ(table.CountRegisteredFolders(&count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(FileExists(filePath()), 0);
    EXPECT_TRUE(readFile(filePath()).isEmpty());
}

TEST_F(RegisteredFolderTableTest, RegistrationSurvivesSaveAndLoadInItsRecordLayout)
{
    const QString inDocuments = path(QStringLiteral("home/Documents/tax/2024"));
    const QString onStick = path(QStringLiteral("stick/secret"));
    platform.addVolume(path(QStringLiteral("stick")), QStringLiteral("vfat"), DriveRemovable);
    int stickType = 0;
    ASSERT_EQ(DriveType(onStick, &stickType), 0);

    RegisteredFolderTable table = makeTable();
    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    ASSERT_EQ(table.AddRegisteredFolder(inDocuments, QStringLiteral("いつもの"),
                                        QStringLiteral("Secret#2024"), QStringLiteral("1"),
                                        QStringLiteral("A1B2C3"), QStringLiteral("0"), DriveFixed),
              0);
    const QString longHint(48, QLatin1Char('h'));
    ASSERT_EQ(table.AddRegisteredFolder(onStick, longHint + QStringLiteral("cut"),
                                        QStringLiteral("Other-pass1"), QStringLiteral("0"),
                                        QStringLiteral("D4E5F6"), QStringLiteral("1"), stickType),
              0);

    // On disk: two records, the documents folder by its token, the fields at their places.
    const QByteArray plain = plainFile(filePath());
    ASSERT_EQ(plain.size(), 2 * RegisteredFolderTable::RecordSize);
    const QByteArray first = plain.left(RegisteredFolderTable::RecordSize);
    EXPECT_EQ(RecordField::GetText(first, Layout::RootPath, Layout::PathChars),
              QStringLiteral("[CSIDL_PERSONAL]/tax/2024"));
    EXPECT_EQ(RecordField::GetText(first, Layout::Hint, Layout::HintChars),
              QStringLiteral("いつもの") + QString(44, QLatin1Char(' ')));
    EXPECT_EQ(first.at(Layout::ReadOnly), 1);
    EXPECT_EQ(RecordField::GetText(first, Layout::StoreName, Layout::PathChars), QStringLiteral("A1B2C3"));
    EXPECT_EQ(first.at(Layout::AutoRelease), 0);
    EXPECT_EQ(first.mid(Layout::AutoRelease + 1, 10), QByteArray(10, 0));
    EXPECT_EQ(first.at(Layout::DriveType), DriveFixed);
    EXPECT_EQ(first.mid(Layout::DriveType + 1, 9), QByteArray(9, 0));
    EXPECT_EQ(first.mid(Layout::Reserved),
              QByteArray(RegisteredFolderTable::RecordSize - Layout::Reserved, ' '));
    EXPECT_NE(first.mid(Layout::CheckBlock, 16), QByteArray(16, 0)); // enciphered
    const QByteArray second = plain.mid(RegisteredFolderTable::RecordSize);
    EXPECT_EQ(RecordField::GetText(second, Layout::RootPath, Layout::PathChars), onStick);
    EXPECT_EQ(RecordField::GetText(second, Layout::Hint, Layout::HintChars), longHint);
    EXPECT_EQ(second.at(Layout::AutoRelease), 1);
    EXPECT_EQ(second.at(Layout::DriveType), DriveRemovable);

    // A fresh load sees both folders, the token expanded to the documents folder of today.
    platform.setSpecialFolder(SpecialFolder::Documents, path(QStringLiteral("moved/Documents")));
    RegisteredFolderTable loaded = makeTable();
    ASSERT_EQ(loaded.LoadRegisteredFolders(), 0);
    ASSERT_EQ(loaded.count(), 2);
    const QString movedRoot = path(QStringLiteral("moved/Documents/tax/2024"));
    EXPECT_EQ(loaded.slot(0).rootPath, movedRoot);
    EXPECT_EQ(loaded.slot(0).readOnlyText, QStringLiteral("1"));
    EXPECT_EQ(loaded.slot(0).storeName, QStringLiteral("A1B2C3"));
    EXPECT_EQ(loaded.slot(0).autoReleaseText, QStringLiteral("0"));
    EXPECT_EQ(loaded.slot(1).autoReleaseText, QStringLiteral("1"));
    EXPECT_EQ(loaded.IsRegistered(movedRoot), 0);
    EXPECT_EQ(loaded.IsRegistered(inDocuments), -1);

    QString hint;
    ASSERT_EQ(loaded.GetFolderHint(movedRoot, &hint), 0);
    EXPECT_EQ(hint, QStringLiteral("いつもの"));
    ASSERT_EQ(loaded.GetFolderHint(onStick, &hint), 0);
    EXPECT_EQ(hint, longHint);

    int match = -1;
    ASSERT_EQ(loaded.VerifyFolderPassword(movedRoot, QStringLiteral("Secret#2024"), &match), 0);
    EXPECT_EQ(match, 1);
    ASSERT_EQ(loaded.VerifyFolderPassword(movedRoot, QStringLiteral("Other-pass1"), &match), 0);
    EXPECT_EQ(match, 0);
    ASSERT_EQ(loaded.PasswordMatchesAnyFolder(QStringLiteral("Other-pass1"), &match), 0);
    EXPECT_EQ(match, 1);
    ASSERT_EQ(loaded.PasswordMatchesAnyFolder(QStringLiteral("nobody-knows"), &match), 0);
    EXPECT_EQ(match, 0);

    int type = 0;
    EXPECT_EQ(loaded.RegisteredDriveTypeOf(onStick + QStringLiteral("/x.kbxf"), &type), 0);
    EXPECT_EQ(type, DriveRemovable);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(RegisteredFolderTableTest, UnregisteringOneOfThreeKeepsTheOthersInOrder)
{
    RegisteredFolderTable table = makeTable();
    registerThree(table);
    ASSERT_EQ(table.UnregisterFolder(QStringLiteral("/srv/b")), 0);
    EXPECT_EQ(plainFile(filePath()).size(), 2 * RegisteredFolderTable::RecordSize);

    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.slot(0).rootPath, QStringLiteral("/srv/a"));
    EXPECT_EQ(table.slot(1).rootPath, QStringLiteral("/srv/c"));
    int match = 0;
    ASSERT_EQ(table.VerifyFolderPassword(QStringLiteral("/srv/c"), QStringLiteral("pass-c"), &match), 0);
    EXPECT_EQ(match, 1);

    EXPECT_EQ(table.UnregisterFolder(QStringLiteral("/srv/B")), -1); // exact, case-sensitive
    EXPECT_EQ(messages.texts(), QStringList{MsgA(555) + QStringLiteral("/srv/B")});
}

TEST_F(RegisteredFolderTableTest, TrailingPartialRecordIsIgnored)
{
    RegisteredFolderTable table = makeTable();
    registerThree(table);
    QByteArray plain = plainFile(filePath()).left(RegisteredFolderTable::RecordSize + 2048);
    writePlainFile(filePath(), plain);

    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.slot(0).rootPath, QStringLiteral("/srv/a"));
    EXPECT_EQ(table.IsRegistered(QStringLiteral("/srv/b")), -1);
}

TEST_F(RegisteredFolderTableTest, FullTableRefusesAnotherFolder)
{
    QByteArray plain;
    for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
        QByteArray record(RegisteredFolderTable::RecordSize, 0);
        RecordField::PutText(record, Layout::RootPath, Layout::PathChars, QStringLiteral("/srv/f%1").arg(i));
        RecordField::Fill(record, Layout::CheckBlock, 256, 1);
        plain += record;
    }
    writePlainFile(filePath(), plain);
    RegisteredFolderTable table = makeTable();
    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    EXPECT_EQ(table.count(), RegisteredFolderTable::MaxFolders);
    EXPECT_EQ(table.AddRegisteredFolder(QStringLiteral("/srv/new"), QString(), QStringLiteral("password1"),
                                        QStringLiteral("0"), QStringLiteral("N"), QStringLiteral("0"),
                                        DriveFixed),
              -1);
    EXPECT_EQ(table.count(), RegisteredFolderTable::MaxFolders);
    EXPECT_EQ(table.IsRegistered(QStringLiteral("/srv/new")), -1);
}

// The prefix relation holds both ways round: a path inside a root, and a root inside a path.
TEST_F(RegisteredFolderTableTest, LookupsUseThePrefixRelationBothWays)
{
    RegisteredFolderTable table = makeTable();
    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    ASSERT_EQ(table.AddRegisteredFolder(QStringLiteral("/srv/data/Work"), QString(),
                                        QStringLiteral("password-1"), QStringLiteral("1"),
                                        QStringLiteral("AAAAAA"), QStringLiteral("0"), DriveRemote),
              0);
    ASSERT_EQ(table.AddRegisteredFolder(QStringLiteral("/srv/other"), QString(), QStringLiteral("password-2"),
                                        QStringLiteral("0"), QStringLiteral("BBBBBB"), QStringLiteral("0"),
                                        DriveFixed),
              0);

    const struct
    {
        const char* path;
        const char* root; // nullptr: none
    } cases[] = {
        {"/srv/data/Work", "/srv/data/Work"}, {"/srv/data/Work/a/b.txt", "/srv/data/Work"},
        {"/srv/data", "/srv/data/Work"}, // a parent of a root
        {"/srv", "/srv/data/Work"},      // the first slot wins
        {"/srv/data/WorkFolder", nullptr},    {"/srv/data/work", nullptr},
        {"/srv/other/x", "/srv/other"},       {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        const QString p = QLatin1String(c.path);
        const QString expected = c.root ? QLatin1String(c.root) : QString();
        EXPECT_EQ(table.FindRegisteredRoot(p, 0), expected) << c.path;
        EXPECT_EQ(table.IsReadOnlyFolder(p, 0),
                  c.root && expected == QLatin1String("/srv/data/Work") ? -1 : 0)
            << c.path;
    }
    EXPECT_TRUE(messages.shown().isEmpty());

    EXPECT_EQ(table.StoreFolderOf(QStringLiteral("/srv/other/deep")),
              workingFolder() + QStringLiteral("/BBBBBB"));
    EXPECT_EQ(table.RootOfStorePath(workingFolder() + QStringLiteral("/BBBBBB/Ac/x.txt"), 1),
              QStringLiteral("/srv/other"));
    EXPECT_EQ(table.SameRegisteredFolder(QStringLiteral("/srv/other/a"), QStringLiteral("/srv/other/b/c")),
              0);
    EXPECT_EQ(table.SameRegisteredFolder(QStringLiteral("/srv/other/a"), QStringLiteral("/srv/data/Work/c")),
              -1);
    int type = 0;
    EXPECT_EQ(table.RegisteredDriveTypeOf(QStringLiteral("/srv/data/Work/x"), &type), 0);
    EXPECT_EQ(type, DriveRemote);
    EXPECT_EQ(table.RegisteredDriveTypeOf(QStringLiteral("/elsewhere"), &type), -1);
    EXPECT_TRUE(messages.shown().isEmpty());

    // Nothing found: the marker, and the message the caller asked for.
    const QString marker = MsgB(4);
    EXPECT_EQ(table.FindRegisteredRoot(QStringLiteral("/elsewhere"), 1), QString());
    EXPECT_EQ(table.StoreFolderOf(QStringLiteral("/elsewhere")), marker);
    EXPECT_EQ(table.StoreFolderOf(QStringLiteral("/elsewhere"), 0), marker);
    EXPECT_EQ(table.StoreFolderOf(QStringLiteral("/elsewhere"), 1), marker);
    EXPECT_EQ(table.RootOfStorePath(QStringLiteral("/elsewhere"), 1), marker);
    EXPECT_EQ(table.IsReadOnlyFolder(QStringLiteral("/srv/data/Work/x"), 1), -1);
    EXPECT_EQ(messages.texts(),
              (QStringList{MsgA(300) + QStringLiteral("/elsewhere"), MsgA(303) + QStringLiteral("/elsewhere"),
                           MsgA(301) + QStringLiteral("/elsewhere"), MsgA(302) + QStringLiteral("/elsewhere"),
                           MsgA(316)}));
    EXPECT_EQ(messages.shown().at(0).style.icon, MsgIcon::Warning);
    EXPECT_EQ(messages.shown().at(4).style.icon, MsgIcon::Warning);
}

TEST_F(RegisteredFolderTableTest, SpecialFolderPrefixes)
{
    const QString documents = path(QStringLiteral("home/Documents"));
    const QString desktop = path(QStringLiteral("home/Desktop"));
    const struct
    {
        QString path;
        QString stored;
    } cases[] = {
        {documents + QStringLiteral("/a"), QStringLiteral("[CSIDL_PERSONAL]/a")},
        {desktop + QStringLiteral("/b/c"), QStringLiteral("[CSIDL_DESKTOPDIRECTORY]/b/c")},
        {documents + QStringLiteral("Old/a"), documents + QStringLiteral("Old/a")},
        {QStringLiteral("/srv/a"), QStringLiteral("/srv/a")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        EXPECT_EQ(RegisteredFolderTable::ToStoredPath(c.path), c.stored);
        EXPECT_EQ(RegisteredFolderTable::FromStoredPath(c.stored), c.path);
    }
}
