#include "platform/AppAssociations.h"

#include "support/TestFiles.h"
#include "util/FileQueries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A desktop entry and a default-application choice of the user's own, read through the real
// desktop database. Each test runs in a process of its own, so the folders are set before the
// desktop database is first read.
TEST(AppAssociationsTest, UsersDefaultProgram)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    WriteTestFile(
        home.filePath(QStringLiteral("data/applications/kbx-test-viewer.desktop")),
        "[Desktop Entry]\nType=Application\nName=Kbx Test Viewer\nExec=/bin/cat %f\nMimeType=text/plain;\n");
    WriteTestFile(home.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\ntext/plain=kbx-test-viewer.desktop\n");

    QString program;
    ASSERT_EQ(AssociatedProgram(QStringLiteral("txt"), &program), 0);
    EXPECT_EQ(program, QStringLiteral("/bin/cat"));
    ASSERT_EQ(AssociatedProgram(QStringLiteral(".txt"), &program), 0);
    EXPECT_EQ(ProgramDescription(QStringLiteral("/bin/cat")), QStringLiteral("Kbx Test Viewer"));

    EXPECT_EQ(AssociatedProgram(QStringLiteral("kbx-no-such-type-9"), &program), -1);
    EXPECT_EQ(ProgramDescription(QStringLiteral("/opt/none/tool-without-entry")),
              QStringLiteral("tool-without-entry"));
}
