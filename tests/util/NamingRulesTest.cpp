#include "util/NamingRules.h"

#include "support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(NamingRulesTest, FolderNamesSkipFoldersInUse)
{
    QTemporaryDir dir;
    const QString base = QStringLiteral("新しいフォルダー");
    EXPECT_EQ(NewFolderName(dir.path()), base);
    // A file of that name does not block the folder name.
    QFile file(dir.filePath(base));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(NewFolderName(dir.path()), base);
    ASSERT_TRUE(file.remove());
    QDir(dir.path()).mkdir(base);
    QDir(dir.path()).mkdir(base + QStringLiteral(" (2)"));
    EXPECT_EQ(NewFolderName(dir.path()), base + QStringLiteral(" (3)"));

    EXPECT_EQ(CopyName(dir.path(), QStringLiteral("写真")), QStringLiteral("写真 - コピー"));
    QDir(dir.path()).mkdir(QStringLiteral("写真 - コピー"));
    EXPECT_EQ(CopyName(dir.path(), QStringLiteral("写真")), QStringLiteral("写真 - コピー (2)"));

    const QStringList taken = {QStringLiteral("a - コピー.txt"), QStringLiteral("a - コピー (2).txt")};
    EXPECT_EQ(CopyFileName(QStringLiteral("a.txt"), [&](const QString& n) { return taken.contains(n); }),
              QStringLiteral("a - コピー (3).txt"));
    EXPECT_EQ(CopyFileName(QStringLiteral("README"), [](const QString&) { return false; }),
              QStringLiteral("README - コピー"));
}

TEST(NamingRulesTest, GeneratedNames)
{
    QTemporaryDir dir;
    QString name;
    ASSERT_EQ(ShortFolderName(dir.path(), &name), 0);
    EXPECT_EQ(name.size(), 6);
    EXPECT_FALSE(name.contains(QLatin1Char('-')));
}

TEST(NamingRulesTest, SpecialFolderTokens)
{
    FakePlatform platform;
    platform.setSpecialFolder(SpecialFolder::Documents, QStringLiteral("/home/u/Documents"));
    platform.setSpecialFolder(SpecialFolder::Desktop, QStringLiteral("/home/u/Desktop"));

    struct Case
    {
        const char* path;
        const char* encoded;
    };
    const Case cases[] = {
        {"/home/u/Documents/secret", "[CSIDL_PERSONAL]/secret"},
        {"/home/u/Desktop/a/b", "[CSIDL_DESKTOPDIRECTORY]/a/b"},
        {"/home/u/DocumentsOld/x", "/home/u/DocumentsOld/x"}, // a name that only starts alike
        {"/home/u/Documents", "/home/u/Documents"},
        {"/srv/data", "/srv/data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        const QString encoded = EncodeSpecialFolderPath(QString::fromUtf8(c.path));
        EXPECT_EQ(encoded, QString::fromUtf8(c.encoded)) << c.path;
        EXPECT_EQ(DecodeSpecialFolderPath(encoded), QString::fromUtf8(c.path)) << c.path;
    }
    // Stored paths follow the user's folders when they move.
    platform.setSpecialFolder(SpecialFolder::Documents, QStringLiteral("/home/v/文書"));
    EXPECT_EQ(DecodeSpecialFolderPath(QStringLiteral("[CSIDL_PERSONAL]/secret")),
              QStringLiteral("/home/v/文書/secret"));
}
