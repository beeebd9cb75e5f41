#include "util/WipeDelete.h"

#include "util/FileChanges.h"
#include "util/FileQueries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(WipeDeleteTest, ReadOnlyFileIsZeroedAndRemoved)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("secret.txt"));
    writeFile(file, QByteArray(300000, 's'));
    ASSERT_EQ(SetAttributeBits(file, FileAttribute::ReadOnly, false), 0);
    // A second name for the same data shows what the wipe left in it.
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.filePath(QStringLiteral("hard"))).constData()),
              0);

    ASSERT_EQ(WipeDelete(file, false), 0);
    EXPECT_EQ(FileExists(file), -1);
    QFile hard(dir.filePath(QStringLiteral("hard")));
    ASSERT_TRUE(hard.open(QIODevice::ReadOnly));
    EXPECT_EQ(hard.size(), 0); // zeroed, then truncated
}

TEST(WipeDeleteTest, FolderTreeAndLinksOutside)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString keep = outside.filePath(QStringLiteral("keep.txt"));
    writeFile(keep, "precious");
    const QString tree = dir.filePath(QStringLiteral("area"));
    ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/sub/deeper")));
    writeFile(tree + QStringLiteral("/a.txt"), "a");
    writeFile(tree + QStringLiteral("/sub/deeper/.b"), "b");
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
