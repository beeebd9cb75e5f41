#include "frame/ManualLocation.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ManualLocationTest, BuildFolderFirstThenInstalledPrefix)
{
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(ManualPath(bin), QString()); // none: Help says it is missing

    const QString installed = prefix.filePath(QStringLiteral("share/doc/kurabox/manual/index.html"));
    WriteTestFile(installed, "<html></html>");
    EXPECT_EQ(ManualPath(bin), QDir::cleanPath(installed));

    const QString beside = bin + QStringLiteral("/manual/index.html");
    WriteTestFile(beside, "<html></html>");
    EXPECT_EQ(ManualPath(bin), beside);
}
