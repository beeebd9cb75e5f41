#include "util/WipeDelete.h"

#include "support/TestFiles.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(WipeDeleteTest, ReadOnlyFileIsZeroedAndRemoved)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("secret.txt"));
    WriteTestFile(file, QByteArray(300000, 's'));
    ASSERT_EQ(SetAttributeBits(file, FileAttribute::ReadOnly, false), 0);
    // A descriptor kept open on the same data shows what the wipe left in it.
    QFile open(file);
    ASSERT_TRUE(open.open(QIODevice::ReadOnly));

    ASSERT_EQ(WipeDelete(file, false), 0);
    EXPECT_EQ(FileExists(file), -1);
    struct stat st;
    ASSERT_EQ(::fstat(open.handle(), &st), 0);
    EXPECT_EQ(st.st_size, 0); // zeroed, then truncated
}

// Data that has another name is not ours alone: only our name goes.
TEST(WipeDeleteTest, FileWithAnotherNameIsOnlyUnlinked)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("copy.txt"));
    const QString other = dir.filePath(QStringLiteral("the user's file.txt"));
    WriteTestFile(file, QByteArray(300000, 's'));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);

    ASSERT_EQ(WipeDelete(file, false), 0);
    EXPECT_EQ(FileExists(file), -1);
    EXPECT_EQ(ReadTestFile(other), QByteArray(300000, 's'));
}

// A link put in the file's place while it is being zeroed is not followed when the wipe ends:
// the file it points to keeps its bytes, and the zeroed data is still cut to nothing.
TEST(WipeDeleteTest, LinkSwappedInWhileZeroingLeadsNowhere)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("secret.txt"));
    const QString moved = dir.filePath(QStringLiteral("moved.txt"));
    const QString victim = dir.filePath(QStringLiteral("the user's file.txt"));
    WriteTestFile(file, QByteArray(300000, 's'));
    WriteTestFile(victim, "keep me");
    // The wipe handles events while it zeroes: the swap happens then.
    bool swapped = false;
    QTimer::singleShot(0, [&] { swapped = QFile::rename(file, moved) && QFile::link(victim, file); });

    ASSERT_EQ(WipeDelete(file, false), 0);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(ReadTestFile(victim), QByteArray("keep me"));
    EXPECT_EQ(ReadTestFile(moved), QByteArray());
}

TEST(WipeDeleteTest, FolderTreeAndLinksOutside)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString keep = outside.filePath(QStringLiteral("keep.txt"));
    WriteTestFile(keep, "precious");
    const QString tree = dir.filePath(QStringLiteral("area"));
    ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/sub/deeper")));
    WriteTestFile(tree + QStringLiteral("/a.txt"), "a");
    WriteTestFile(tree + QStringLiteral("/sub/deeper/.b"), "b");
    ASSERT_TRUE(QFile::link(keep, tree + QStringLiteral("/sub/link-to-keep")));

    ASSERT_EQ(WipeDelete(tree, false), 0);
    EXPECT_EQ(DirectoryExists(tree + QStringLiteral("/sub/deeper")), 0); // folders stay
    EXPECT_EQ(FileExists(tree + QStringLiteral("/a.txt")), -1);

    ASSERT_EQ(WipeDelete(tree, true), 0);
    EXPECT_EQ(DirectoryExists(tree), -1);

    // The link was removed, its target left as it was.
    QFile kept(keep);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("precious"));
}

// A name that is no valid UTF-8 cannot be reached through text: the file stays, and the wipe says
// so instead of reporting the tree as gone.
TEST(WipeDeleteTest, NameThatIsNoTextIsReportedNotPassedBy)
{
    QTemporaryDir dir;
    const QString tree = dir.filePath(QStringLiteral("area"));
    WriteTestFile(tree + QStringLiteral("/sub/a.txt"), "a");
    const QByteArray odd = QFile::encodeName(tree) + "/sub/\xff.txt";
    const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);

    for (const bool removeFolders : {false, true}) {
        QString error;
        EXPECT_EQ(WipeDelete(tree, removeFolders, &error), -1);
        EXPECT_TRUE(error.endsWith(tree + QStringLiteral("/sub/\uFFFD.txt"))) << error.toStdString();
        EXPECT_EQ(FileExists(tree + QStringLiteral("/sub/a.txt")), -1);
        EXPECT_EQ(::access(odd.constData(), F_OK), 0);
    }
    ::unlink(odd.constData()); // the temporary folder's own removal walks by text too
}

// Links to folders and special files: the walk never leaves the tree and never blocks.
TEST(WipeDeleteTest, LinksToFoldersAndPipes)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    WriteTestFile(outside.filePath(QStringLiteral("keep.txt")), "precious");

    // The path itself is a link to a folder: only the link goes.
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(outside.path(), link));
    ASSERT_EQ(WipeDelete(link, true), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    const QString tree = dir.filePath(QStringLiteral("area"));
    ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/sub")));
    ASSERT_TRUE(QFile::link(outside.path(), tree + QStringLiteral("/sub/folder-link")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree + QStringLiteral("/pipe")).constData(), 0600), 0);
    WriteTestFile(tree + QStringLiteral("/sub/a.txt"), "a");
    ASSERT_EQ(WipeDelete(tree, true), 0);
    EXPECT_EQ(DirectoryExists(tree), -1);

    QFile kept(outside.filePath(QStringLiteral("keep.txt")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("precious"));
}
