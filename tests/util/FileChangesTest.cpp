#include "util/FileChanges.h"

#include "support/TestFiles.h"
#include "util/ErrorText.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class FileChangesTest : public ::testing::Test
{
protected:
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FileChangesTest, ExistenceAndCounts)
{
    ASSERT_EQ(CreateDirectoryTree(path(QStringLiteral("a/b/c"))), 0);
    WriteTestFile(path(QStringLiteral("a/one.txt")), "12345");
    WriteTestFile(path(QStringLiteral("a/b/.hidden")), "xy");

    EXPECT_EQ(DirectoryExists(path(QStringLiteral("a/b/c"))), 0);
    EXPECT_EQ(DirectoryExists(path(QStringLiteral("a/b/c/"))), 0);
    EXPECT_EQ(FileExists(path(QStringLiteral("a/b"))), -1); // a folder is no file
    EXPECT_EQ(FileExists(path(QStringLiteral("a/one.txt"))), 0);
    EXPECT_EQ(DirectoryExists(path(QStringLiteral("a/one.txt"))), -1);
    EXPECT_EQ(HasSubfolder(path(QStringLiteral("a"))), 0);
    EXPECT_EQ(HasSubfolder(path(QStringLiteral("a/b/c"))), -1);

    qint64 count = -1;
    ASSERT_EQ(CountEntries(path(QStringLiteral("a")), &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(CountEntries(path(QStringLiteral("missing")), &count), -1);

    const FolderTotals totals = FolderStatistics(path(QStringLiteral("a")));
    EXPECT_EQ(totals.files, 2);
    EXPECT_EQ(totals.bytes, 7);
    EXPECT_EQ(totals.folders, 2);
    EXPECT_EQ(FolderStatistics(path(QStringLiteral("a/one.txt"))).bytes, 5);

    qint64 size = 0;
    ASSERT_EQ(FileSize(path(QStringLiteral("a/one.txt")), &size), 0);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(ClassifyPath(path(QStringLiteral("a/one.txt"))), 3);
    EXPECT_EQ(ClassifyPath(QStringLiteral("/")), 1);
    EXPECT_EQ(ClassifyPath(path(QStringLiteral("a"))), 2);
}

TEST_F(FileChangesTest, PathLengthLimits)
{
    QString text;
    EXPECT_EQ(CheckFolderPathLength(QString(217, QLatin1Char('a'))), 0);
    EXPECT_EQ(CheckFolderPathLength(QString(218, QLatin1Char('a')), &text), -1);
    EXPECT_EQ(text, MsgA(466) + QStringLiteral("217") + MsgA(467));
    EXPECT_EQ(CheckFilePathLength(QString(256, QLatin1Char('a'))), 0);
    EXPECT_EQ(CheckFilePathLength(QString(257, QLatin1Char('a')), &text), -1);
    EXPECT_EQ(text, MsgA(468) + QStringLiteral("256") + MsgA(469));

    // A folder path beyond the limit is not created.
    const QString deep = path(QString(220, QLatin1Char('d')));
    EXPECT_EQ(CreateDirectoryTree(deep, &text), -1);
    EXPECT_EQ(DirectoryExists(deep), -1);
}

TEST_F(FileChangesTest, WholeFilesAndAttributes)
{
    const QString file = path(QStringLiteral("data.bin"));
    ASSERT_EQ(WriteWholeFile(file, QByteArray("contents")), 0);
    QByteArray read;
    EXPECT_EQ(ReadWholeFile(file, 7, &read), -1); // another size is not read
    EXPECT_TRUE(read.isEmpty());
    ASSERT_EQ(ReadWholeFile(file, 8, &read), 0);
    EXPECT_EQ(read, QByteArray("contents"));

    ASSERT_EQ(SetAttributeBits(file, FileAttribute::ReadOnly, false), 0);
    quint32 bits = 0;
    ASSERT_EQ(FileAttributeBits(file, &bits), 0);
    EXPECT_TRUE(bits & FileAttribute::ReadOnly);
    EXPECT_FALSE(QFileInfo(file).permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));

    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
    ASSERT_EQ(SetModifiedTime(file, when), 0);
    EXPECT_EQ(QFileInfo(file).lastModified(), when);
    ASSERT_EQ(FileAttributeBits(file, &bits), 0);
    EXPECT_TRUE(bits & FileAttribute::ReadOnly); // other attributes stay

    // RemoveFile clears the read-only attribute first.
    ASSERT_EQ(RemoveFile(file), 0);
    EXPECT_EQ(FileExists(file), -1);

    QString text;
    EXPECT_EQ(SetAttributeBits(file, FileAttribute::ReadOnly, true, &text), -1);
    EXPECT_EQ(text, MsgA(450));
    EXPECT_EQ(SetModifiedTime(file, when, &text), -1);
    EXPECT_EQ(text, MsgA(628));
    EXPECT_EQ(RemoveFile(file, &text), -1);
}

TEST_F(FileChangesTest, MovesAndFolderRemoval)
{
    ASSERT_EQ(CreateDirectoryTree(path(QStringLiteral("t/x/y"))), 0);
    WriteTestFile(path(QStringLiteral("f.txt")), "f");
    ASSERT_EQ(MovePath(path(QStringLiteral("f.txt")), path(QStringLiteral("t/g.txt"))), 0);
    EXPECT_EQ(FileExists(path(QStringLiteral("t/g.txt"))), 0);

    QString text;
    EXPECT_EQ(MovePath(path(QStringLiteral("nothing")), path(QStringLiteral("t/n")), &text), -1);
    EXPECT_FALSE(text.isEmpty());

    // Only empty folders go: the file stops RemoveFolderTree and DeleteFolderIfEmpty.
    EXPECT_EQ(RemoveFolderTree(path(QStringLiteral("t")), &text), -1);
    EXPECT_EQ(DeleteFolderIfEmpty(path(QStringLiteral("t")), &text), -1);
    EXPECT_EQ(text, MsgA(453));
    EXPECT_EQ(FileExists(path(QStringLiteral("t/g.txt"))), 0);

    ASSERT_EQ(RemoveFile(path(QStringLiteral("t/g.txt"))), 0);
    ASSERT_EQ(DeleteFolderIfEmpty(path(QStringLiteral("t"))), 0);
    EXPECT_EQ(DirectoryExists(path(QStringLiteral("t"))), -1);

    ASSERT_EQ(CreateDirectoryTree(path(QStringLiteral("u/v/w"))), 0);
    ASSERT_EQ(RemoveFolderTree(path(QStringLiteral("u"))), 0);
    EXPECT_EQ(DirectoryExists(path(QStringLiteral("u"))), -1);
}

TEST_F(FileChangesTest, TestOpenExplainsFailures)
{
    QString text;
    EXPECT_EQ(TestOpen(path(QStringLiteral("missing")), &text), -1);
    EXPECT_EQ(text, FileExceptionText(FileErrorCause::FileNotFound));
    EXPECT_EQ(TestOpenSystemText(path(QStringLiteral("missing")), &text), -1);
    EXPECT_EQ(text, SystemErrorText(ENOENT));
    WriteTestFile(path(QStringLiteral("ok")), "1");
    EXPECT_EQ(TestOpen(path(QStringLiteral("ok"))), 0);
}

// Removing a link removes the link alone: the mode of the file it points to stays.
TEST_F(FileChangesTest, RemovingALinkLeavesItsTargetsModeAlone)
{
    const QString target = path(QStringLiteral("target.txt"));
    WriteTestFile(target, "kept");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0444), 0);
    const QString link = path(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(RemoveFile(link), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

// A link that leads nowhere is not followed when an empty file is created at its path.
TEST_F(FileChangesTest, CreatingAFileDoesNotFollowADanglingLink)
{
    const QString elsewhere = path(QStringLiteral("elsewhere.dat"));
    const QString link = path(QStringLiteral("data.dat"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    EXPECT_NE(CreateEmptyFile(link), 0);
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
    ASSERT_EQ(CreateEmptyFile(path(QStringLiteral("new.dat"))), 0);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("new.dat"))).size(), 0);
}
