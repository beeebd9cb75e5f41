// Partial outputs that a killed write left in an encrypted folder go when the window shows the
// folder; one a writer still holds, or one just begun, stays.

#include "engine/ContainerCrypt.h"
#include "operations/OperationsFixture.h"
#include "operations/contents/ContentsRows.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using LeftoverPartialsTest = OperationsTest;

} // namespace

TEST_F(LeftoverPartialsTest, ShowingAFolderRemovesWhatAKilledWriteLeft)
{
    encrypt(root, QStringLiteral("a.txt"));
    const QString abandoned = root + QStringLiteral("/.1111111111111111-1111111111111111.kbxf.kbxpart");
    const QString held = root + QStringLiteral("/.2222222222222222-2222222222222222.kbxf.kbxpart");
    const QString begun = root + QStringLiteral("/.3333333333333333-3333333333333333.kbxf.kbxpart");
    WriteTestFile(abandoned, "half a container");
    WriteTestFile(held, "being written");
    WriteTestFile(begun, QByteArray());
    const int writer = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);

    FolderScan scan;
    ASSERT_EQ(ContentsRows::ScanFolder(root, &scan), 0);
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(QFileInfo::exists(held));
    EXPECT_TRUE(QFileInfo::exists(begun));
    for (const ContentsEntry& entry : std::as_const(scan.entries)) {
        EXPECT_FALSE(ContainerCrypt::IsPartialFileName(QFileInfo(entry.fullPath).fileName()));
    }
    ::close(writer);

    // Once its writer is gone and the empty one is old, both go too.
    QFile old(begun);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        old.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
    old.close();
    ASSERT_EQ(ContentsRows::ScanFolder(root, &scan), 0);
    EXPECT_FALSE(QFileInfo::exists(held));
    EXPECT_FALSE(QFileInfo::exists(begun));
}
