#include "util/PathText.h"

#include <gtest/gtest.h>

TEST(PathTextTest, Parts)
{
    struct Case
    {
        const char* path;
        const char* name;
        const char* directory;
        const char* title;
        const char* extension;
    };
    const Case cases[] = {
        {"/home/u/report.final.txt", "report.final.txt", "/home/u", "report.final", "txt"},
        {"/home/u/Makefile", "Makefile", "/home/u", "Makefile", ""},
        {"name.txt", "name.txt", "name.txt", "name", "txt"},
        {"/home/u/", "", "/home/u", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(FileNamePart(path), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(DirectoryPart(path), QString::fromUtf8(c.directory)) << c.path;
        EXPECT_EQ(FileTitle(path), QString::fromUtf8(c.title)) << c.path;
        EXPECT_EQ(SplitPath(path, int(PathPiece::Extension)), QString::fromUtf8(c.extension)) << c.path;
    }
    EXPECT_EQ(SplitPath(QStringLiteral("/a/b/c.d"), int(PathPiece::Directory)), QStringLiteral("/a/b/"));
    EXPECT_EQ(SplitPath(QStringLiteral("/a/b/c.d"), int(PathPiece::BaseName)), QStringLiteral("c"));
    EXPECT_EQ(SplitPath(QStringLiteral("/a/b/c.d"), int(PathPiece::Drive)), QString());
    EXPECT_EQ(SplitPath(QStringLiteral("/a/b/c.d"), 7), QString());
    EXPECT_EQ(PathIsValid(QString()), -1);
    EXPECT_EQ(PathIsValid(QLatin1Char('/') + QString(600, QLatin1Char('a'))), -1);
    EXPECT_EQ(PathIsValid(QStringLiteral("/a")), 0);
}

TEST(PathTextTest, RelationsOfSourceAndTarget)
{
    struct Case
    {
        const char* source;
        const char* target;
        int kind;
    };
    const Case cases[] = {
        {"/d/A", "/d/A/B", TargetInsideSource},
        {"/d/A/B", "/d/A", TargetHoldsSource},
        {"/d/A", "/d/A", PathsSame},
        {"/d/A", "/d/A/", PathsSame},
        {"/d/A", "/d/AB", PathsUnrelated},
        {"/d/A", "/d/a", PathsUnrelated}, // case counts on Linux
        {"/d/A/B", "/e", PathsUnrelated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        int kind = -5;
        const int rc = PathRelation(QString::fromUtf8(c.source), QString::fromUtf8(c.target), &kind);
        EXPECT_EQ(kind, c.kind) << c.source << " -> " << c.target;
        EXPECT_EQ(rc, c.kind == PathsUnrelated ? 0 : -1);
    }
    // A plain text prefix overlaps, whole components or not.
    EXPECT_EQ(PathsOverlap(QStringLiteral("/d/Work"), QStringLiteral("/d/WorkFolder")), 0);
    EXPECT_EQ(PathsOverlap(QStringLiteral("/d/WorkFolder"), QStringLiteral("/d/Work")), 0);
    EXPECT_EQ(PathsOverlap(QStringLiteral("/d/Work"), QStringLiteral("/e/Work")), -1);
    EXPECT_TRUE(PathIsInside(QStringLiteral("/d/Work/x"), QStringLiteral("/d/Work")));
    EXPECT_FALSE(PathIsInside(QStringLiteral("/d/WorkFolder"), QStringLiteral("/d/Work")));
}

TEST(PathTextTest, NamesWithExtensionsAndEnvironment)
{
    EXPECT_EQ(SameNameOrWithExtension(QStringLiteral("memo"), QStringLiteral("memo")), 0);
    EXPECT_EQ(SameNameOrWithExtension(QStringLiteral("memo"), QStringLiteral("memo.txt")), 0);
    EXPECT_EQ(SameNameOrWithExtension(QStringLiteral("memo"), QStringLiteral("memo2.txt")), -1);
    EXPECT_EQ(SameNameOrWithExtension(QStringLiteral("memo.txt"), QStringLiteral("memo")), -1);

    qputenv("KURA_TEST_ROOT", "/srv/data");
    qunsetenv("KURA_TEST_UNSET");
    EXPECT_EQ(ExpandEnvironmentPath(QStringLiteral("%KURA_TEST_ROOT%/a/%KURA_TEST_UNSET%b")),
              QStringLiteral("/srv/data/a/b"));
    EXPECT_EQ(ExpandEnvironmentPath(QStringLiteral("/a/50%")), QStringLiteral("/a/50%"));
    qputenv("KURA_TEST_LOOP", "%KURA_TEST_LOOP%");
    EXPECT_EQ(ExpandEnvironmentPath(QStringLiteral("%KURA_TEST_LOOP%")), QStringLiteral("%KURA_TEST_LOOP%"));
}
