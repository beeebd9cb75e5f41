#include "util/ShellOperations.h"

#include "support/FileModes.h"
#include "support/TestFiles.h"
#include "util/FileQueries.h"
#include "util/TimeText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Points the user's Trash into a temporary folder for the test's lifetime.
class TrashHome
{
public:
    TrashHome() : m_previous(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    }
    ~TrashHome() { m_previous.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace

TEST(ShellOperationsTest, CopyKeepsTimesAndReplaces)
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src"));
    ASSERT_TRUE(QDir().mkpath(src + QStringLiteral("/folder/inner")));
    WriteTestFile(src + QStringLiteral("/a.txt"), "new a");
    WriteTestFile(src + QStringLiteral("/folder/inner/b.txt"), "b");
    const QDateTime old(QDate(2020, 1, 2), QTime(3, 4, 5));
    QFile a(src + QStringLiteral("/a.txt"));
    ASSERT_TRUE(a.open(QIODevice::ReadWrite));
    ASSERT_TRUE(a.setFileTime(old, QFileDevice::FileModificationTime));
    a.close();

    const QString dst = dir.filePath(QStringLiteral("dst"));
    ASSERT_TRUE(QDir().mkpath(dst));
    WriteTestFile(dst + QStringLiteral("/a.txt"), "old a");

    ASSERT_EQ(ShellCopy({src + QStringLiteral("/a.txt"), src + QStringLiteral("/folder")}, dst), 0);
    EXPECT_EQ(ReadTestFile(dst + QStringLiteral("/a.txt")), QByteArray("new a"));
    EXPECT_EQ(QFileInfo(dst + QStringLiteral("/a.txt")).lastModified(), old);
    EXPECT_EQ(ReadTestFile(dst + QStringLiteral("/folder/inner/b.txt")), QByteArray("b"));
    EXPECT_EQ(ReadTestFile(src + QStringLiteral("/a.txt")), QByteArray("new a"));
    // Nothing of the copy's own is left behind.
    EXPECT_EQ(QDir(dst).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);

    EXPECT_NE(ShellCopy({src + QStringLiteral("/missing")}, dst), 0);
}

// A copied file keeps its source's permissions; a private copy keeps only the owner's read and
// write bits of them, and the folders made for it are 0700. The umask is open so that it hides
// nothing.
TEST(ShellOperationsTest, CopiesKeepPermissionsOrOnlyTheOwnersBits)
{
    const ScopedUmask umask(0);
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src"));
    const QStringList sources = {src + QStringLiteral("/shared.txt"), src + QStringLiteral("/read-only.txt"),
                                 src + QStringLiteral("/folder")};
    WriteTestFile(sources[0], "a");
    WriteTestFile(sources[1], "b");
    WriteTestFile(src + QStringLiteral("/folder/open.txt"), "c");
    const auto setMode = [](const QString& item, mode_t mode) {
        ASSERT_EQ(::chmod(QFile::encodeName(item).constData(), mode), 0);
    };
    setMode(sources[0], 0644);
    setMode(sources[1], 0444);
    setMode(sources[2], 0755);
    setMode(src + QStringLiteral("/folder/open.txt"), 0666);

    const struct
    {
        const char* name;
        std::function<int(const QString& to)> copy;
        const char* expected[5]; // new folder, shared.txt, read-only.txt, folder, folder/open.txt
    } cases[] = {
        {"as the source",
         [&](const QString& to) { return ShellCopy(sources, to); },
         {"0777", "0644", "0444", "0777", "0666"}},
        {"private",
         [&](const QString& to) { return ShellCopyPrivate(sources, to); },
         {"0700", "0600", "0400", "0700", "0600"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString to = dir.filePath(QLatin1String(c.name) + QStringLiteral("/copies"));
        ASSERT_EQ(c.copy(to), 0);
        const QString items[] = {to, to + QStringLiteral("/shared.txt"),
                                 to + QStringLiteral("/read-only.txt"), to + QStringLiteral("/folder"),
                                 to + QStringLiteral("/folder/open.txt")};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(OctalMode(items[i]), c.expected[i]) << items[i].toStdString();
        }
    }
}

TEST(ShellOperationsTest, MoveAndDelete)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("f/g"))));
    WriteTestFile(dir.filePath(QStringLiteral("f/g/x")), "x");
    WriteTestFile(dir.filePath(QStringLiteral("y")), "y");
    ASSERT_EQ(ShellMove({dir.filePath(QStringLiteral("f")), dir.filePath(QStringLiteral("y"))},
                        dir.filePath(QStringLiteral("to"))),
              0);
    EXPECT_EQ(ReadTestFile(dir.filePath(QStringLiteral("to/f/g/x"))), QByteArray("x"));
    EXPECT_EQ(ReadTestFile(dir.filePath(QStringLiteral("to/y"))), QByteArray("y"));
    EXPECT_EQ(DirectoryExists(dir.filePath(QStringLiteral("f"))), -1);

    ASSERT_EQ(ShellDelete({dir.filePath(QStringLiteral("to"))}), 0);
    EXPECT_EQ(DirectoryExists(dir.filePath(QStringLiteral("to"))), -1);
}

TEST(ShellOperationsTest, TrashRoundTrip)
{
    TrashHome home;
    // The item lives on the same volume as the Trash, as a file in the user's folders does.
    const QString folder = home.path() + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/report.txt");
    WriteTestFile(file, "report");
    QString timeText;
    ASSERT_EQ(FileTimeText(file, FileTimeKind::LastWrite, &timeText), 0);

    ASSERT_EQ(ShellDeleteToRecycleBin({file}), 0);
    EXPECT_EQ(FileExists(file), -1);
    EXPECT_TRUE(QDir(home.path() + QStringLiteral("/Trash/info")).entryList(QDir::Files).size() == 1);

    QString trashed;
    EXPECT_EQ(
        FindInRecycleBin(QStringLiteral("report.txt"), QStringLiteral("1999年01月01日00:00:00"), &trashed),
        -1);
    ASSERT_EQ(FindInRecycleBin(QStringLiteral("report"), timeText, &trashed), 0); // name without extension
    ASSERT_EQ(RestoreFromRecycleBin(trashed), 0);
    EXPECT_EQ(ReadTestFile(file), QByteArray("report"));
    EXPECT_TRUE(QDir(home.path() + QStringLiteral("/Trash/info")).entryList(QDir::Files).isEmpty());

    // Something new in the old place is never overwritten by a restore.
    ASSERT_EQ(ShellDeleteToRecycleBin({file}), 0);
    WriteTestFile(file, "newer");
    ASSERT_EQ(FindInRecycleBin(QStringLiteral("report.txt"), timeText, &trashed), 0);
    QString error;
    EXPECT_EQ(RestoreFromRecycleBin(trashed, &error), -1);
    EXPECT_EQ(ReadTestFile(file), QByteArray("newer"));
}
