#include "store/checks/StoreChecksFixture.h"
#include "store/metadata/FolderEntries.h"
#include "util/ErrorText.h"
#include "util/MessageText.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

class TreeCopiesTest : public StoreChecksTest
{
};

TEST_F(TreeCopiesTest, CopiesCreateMissingFoldersPrivatelyInTheWorkingFolder)
{
    const QString source = path(QStringLiteral("src"));
    put(source + QStringLiteral("/a.txt"), "a");
    put(source + QStringLiteral("/sub/deeper/b.txt"), "b");

    const QString scratch = store() + QStringLiteral("/Ce/x/y");
    EXPECT_EQ(copies.CopyFolderTree(source, scratch), 0);
    EXPECT_EQ(readFile(scratch + QStringLiteral("/sub/deeper/b.txt")), "b");
    EXPECT_EQ(readFile(scratch + QStringLiteral("/a.txt")), "a");
    EXPECT_EQ(permissions(store() + QStringLiteral("/Ce")), 0700);
    EXPECT_EQ(permissions(scratch), 0700);

    const QString single = store() + QStringLiteral("/Ac/new/renamed.txt");
    EXPECT_EQ(copies.CopyFileTo(source + QStringLiteral("/a.txt"), single), 0);
    EXPECT_EQ(readFile(single), "a");
    EXPECT_EQ(permissions(store() + QStringLiteral("/Ac/new")), 0700);

    EXPECT_EQ(copies.CopyFileTo(source + QStringLiteral("/missing.txt"), single), -1);
    EXPECT_EQ(readFile(single), "a");
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    // A file where the target folder should be.
    put(path(QStringLiteral("blocked")));
    EXPECT_EQ(copies.CopyFileTo(source + QStringLiteral("/a.txt"), path(QStringLiteral("blocked/in/a.txt"))),
              -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(294)));
    EXPECT_TRUE(messages.texts().first().endsWith(QStringLiteral("\n") + path(QStringLiteral("blocked/in"))));
}

TEST_F(TreeCopiesTest, TakeOutCopiesAreRenamedToTheirDisplayNames)
{
    const QString area = store() + QStringLiteral("/Re");
    const QString first = encrypt(area, QStringLiteral("plan.txt"));
    encrypt(area + QStringLiteral("/sub"), QStringLiteral("photo.jpg"));
    put(area + QStringLiteral("/sub/plain.txt"), "plain");

    EXPECT_EQ(copies.RenameContainersToDisplayNames(area, root, QStringLiteral(".kbxf")), 0)
        << shownMessages().toStdString();
    const auto names = [](const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); };
    EXPECT_EQ(names(area), QStringList{QStringLiteral("plan.txt.kbxf")});
    EXPECT_EQ(names(area + QStringLiteral("/sub")),
              (QStringList{QStringLiteral("photo.jpg.kbxf"), QStringLiteral("plain.txt.kbxf")}));
    Q_UNUSED(first);
}

TEST_F(TreeCopiesTest, RenamingNeverOverwritesNorLeavesTheFolder)
{
    const QString area = store() + QStringLiteral("/Re");
    const QString a = encrypt(area, QStringLiteral("same.txt"), "first");
    const QString b = encrypt(area, QStringLiteral("same.txt"), "second");
    EXPECT_EQ(copies.RenameContainersToDisplayNames(area, root, QStringLiteral(".kbxf")), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(292) + ErrnoText(EEXIST)));
    EXPECT_EQ(messages.shown().first().style, MessageStyle::error());
    EXPECT_EQ(QDir(area).entryList(QDir::Files).size(), 2) << "both copies are still there";

    const QString other = store() + QStringLiteral("/To");
    QDir().mkpath(other + QStringLiteral("/inner"));
    craftedContainer(other + QStringLiteral("/inner"), QStringLiteral("../../escape"));
    messages.clear();
    EXPECT_EQ(copies.RenameContainersToDisplayNames(other, root, QStringLiteral(".kbxf")), -1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(292) + ErrnoText(EINVAL)));
    EXPECT_FALSE(QFileInfo::exists(store() + QStringLiteral("/escape.kbxf")));
    EXPECT_EQ(QDir(other + QStringLiteral("/inner")).entryList(QDir::Files).size(), 1);
    Q_UNUSED(a);
    Q_UNUSED(b);
}

// A file whose name on disk is no valid UTF-8 is listed with a replacement mark, and a copy of
// its folder is refused with the reason instead of leaving it out.
TEST_F(TreeCopiesTest, NameThatIsNoUtf8IsShownAndRefusedNeverLeftOut)
{
    const QString source = path(QStringLiteral("src"));
    put(source + QStringLiteral("/a.txt"), "a");
    const QByteArray badName = QFile::encodeName(source) + "/bad\xff.txt";
    const int fd = ::open(badName.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);

    QList<FolderEntry> entries;
    ASSERT_EQ(ListFolderEntries(source, &entries), 0);
    ASSERT_EQ(entries.size(), 2);
    const auto bad =
        std::find_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.unreadableName; });
    ASSERT_NE(bad, entries.end());
    EXPECT_EQ(bad->name, QStringLiteral("bad\uFFFD.txt"));

    messages.clear();
    EXPECT_EQ(copies.CopyFolderTree(source, path(QStringLiteral("copy"))), -1);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().contains(ErrnoText(EILSEQ)));
    EXPECT_EQ(::access(badName.constData(), F_OK), 0);
}
