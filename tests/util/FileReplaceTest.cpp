#include "util/FileReplace.h"

#include "support/FileModes.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"
#include "util/FileChanges.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

// A replaced file is private to the user: a new one 0600 less the umask, an existing one cut back
// to its owner's bits (noted once in the log), a stricter one left alone.
TEST(FileReplaceTest, PermissionsAreTheOwnersAloneAndNeverLooserThanTheUmaskAllows)
{
    const struct
    {
        const char* name;
        mode_t umask;
        int existing; // -1: no file yet
        const char* expected;
        bool noted;
    } cases[] = {
        {"new file, umask 000", 000, -1, "0600", false},
        {"new file, umask 022", 022, -1, "0600", false},
        {"new file, umask 077", 077, -1, "0600", false},
        {"new file, umask 277 takes the owner's write too", 0277, -1, "0400", false},
        {"world-writable file", 000, 0666, "0600", true},
        {"world-readable file", 022, 0644, "0600", true},
        {"group-readable file", 077, 0640, "0600", true},
        {"read-only file others may read stays read-only", 022, 0444, "0400", true},
        {"read-only private file", 022, 0400, "0400", false},
        {"private file under umask 077", 077, 0600, "0600", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("KBXcl.ini"));
        if (c.existing >= 0) {
            WriteTestFile(file, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode_t(c.existing)), 0);
        }
        LogCapture log;
        {
            ScopedUmask umask(c.umask);
            int error = 0;
            ASSERT_EQ(ReplaceWholeFile(file, "new", &error), 0) << error;
            ASSERT_EQ(ReplaceWholeFile(file, "newer", &error), 0) << error; // says it only once
        }
        EXPECT_EQ(OctalMode(file), c.expected);
        EXPECT_EQ(ReadTestFile(file), "newer");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("KBXcl.ini")});
        ASSERT_EQ(log.lines().size(), c.noted ? 1 : 0) << log.lines().join(QLatin1Char('\n')).toStdString();
        if (c.noted) {
            EXPECT_TRUE(log.lines().first().contains(file)) << log.lines().first().toStdString();
        }
    }
}

// A file reached through a link is replaced where it lies, and the link stays a link; a link
// that leads nowhere is refused rather than replaced by a plain file.
TEST(FileReplaceTest, LinksStayLinks)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.ini"));
    const QString link = dir.filePath(QStringLiteral("KBXcl.ini"));
    WriteTestFile(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    int error = 0;
    ASSERT_EQ(ReplaceWholeFile(link, "new", &error), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadTestFile(real), QByteArray("new"));

    const QString dangling = dir.filePath(QStringLiteral("dangling.ini"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("missing/none.ini")), dangling));
    EXPECT_NE(ReplaceWholeFile(dangling, "new", &error), 0);
    EXPECT_EQ(error, ELOOP);
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
}

// Without leave to replace, a rename never replaces what is at its target.
TEST(FileReplaceTest, RenameIntoKeepsAnExistingTarget)
{
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("from"));
    const QString to = dir.filePath(QStringLiteral("to"));
    WriteTestFile(from, "new");
    WriteTestFile(to, "theirs");
    EXPECT_EQ(RenameInto(from, to, false), EEXIST);
    EXPECT_EQ(ReadTestFile(to), QByteArray("theirs"));
    EXPECT_EQ(RenameInto(from, to, true), 0);
    EXPECT_EQ(ReadTestFile(to), QByteArray("new"));
}

// A save killed before its rename leaves its new file behind; the next save removes it, but never
// the new file of a save that may be running now.
TEST(FileReplaceTest, NewFilesOfKilledSavesAreRemovedByTheNextSave)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("KBXcl.ini"));
    const QString stale = dir.filePath(QStringLiteral(".KBXcl.ini.0123456789ab.new"));
    const QString fresh = dir.filePath(QStringLiteral(".KBXcl.ini.ba9876543210.new"));
    const QString other = dir.filePath(QStringLiteral(".other.ini.0123456789ab.new"));
    for (const QString& file : {stale, fresh, other}) {
        WriteTestFile(file, "half written");
    }
    SetModifiedTime(stale, QDateTime::currentDateTime().addSecs(-3600));
    SetModifiedTime(other, QDateTime::currentDateTime().addSecs(-3600));
    int error = 0;

    ASSERT_EQ(ReplaceWholeFile(target, "whole", &error), 0);

    EXPECT_EQ(ReadTestFile(target), QByteArray("whole"));
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(fresh)) << "a save that may be running now";
    EXPECT_TRUE(QFileInfo::exists(other)) << "another file's";
}
