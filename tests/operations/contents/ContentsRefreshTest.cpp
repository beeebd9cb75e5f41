#include "operations/contents/ContentsRefresh.h"

#include <gtest/gtest.h>

namespace {

RowState Row(const char* name, const char* time, const char* path, const char* flag = "0")
{
    return {QString::fromUtf8(name), QString::fromUtf8(time), QString::fromUtf8(path), QString::fromUtf8(flag)};
}

QStringList Describe(const QList<RefreshStep>& steps)
{
    QStringList lines;
    for (const RefreshStep& step : steps) {
        switch (step.kind) {
        case RefreshStep::Update:
            lines.append(QStringLiteral("update ") + step.old.path + QStringLiteral(" -> ") + step.fresh.path);
            break;
        case RefreshStep::Remove:
            lines.append(QStringLiteral("remove ") + step.old.path);
            break;
        case RefreshStep::Append:
            lines.append(QStringLiteral("append ") + step.fresh.path);
            break;
        }
    }
    return lines;
}

} // namespace

TEST(ContentsRefreshTest, OnlyChangesBecomeSteps)
{
    struct Case
    {
        const char* name;
        QList<RowState> rows;
        QList<RowState> entries;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"nothing changed", {Row("a", "1", "/f/X1"), Row("b", "1", "/f/X2")},
         {Row("b", "1", "/f/X2"), Row("a", "1", "/f/X1")}, {}},
        {"a plain file appeared", {Row("a", "1", "/f/X1")}, {Row("a", "1", "/f/X1"), Row("new.txt", "2", "/f/new.txt", "1")},
         {QStringLiteral("append /f/new.txt")}},
        {"a container was written again", {Row("a", "1", "/f/X1")}, {Row("a", "2", "/f/X1")},
         {QStringLiteral("update /f/X1 -> /f/X1")}},
        {"a container got another file name", {Row("a", "1", "/f/X1")}, {Row("a", "1", "/f/X9")},
         {QStringLiteral("update /f/X1 -> /f/X9")}},
        {"a file vanished", {Row("a", "1", "/f/X1"), Row("b", "1", "/f/X2")}, {Row("b", "1", "/f/X2")},
         {QStringLiteral("remove /f/X1")}},
        {"the last rows vanished", {Row("a", "1", "/f/X1"), Row("z", "1", "/f/X2")}, {Row("a", "1", "/f/X1")},
         {QStringLiteral("remove /f/X2")}},
        {"a plain file was encrypted in place", {Row("a.txt", "1", "/f/a.txt", "1")}, {Row("a.txt", "2", "/f/X5", "0")},
         {QStringLiteral("append /f/X5"), QStringLiteral("remove /f/a.txt")}},
        {"a folder and a file of one name", {Row("d", "1", "/f/d", "")}, {Row("d", "1", "/f/d", ""), Row("d", "1", "/f/X3")},
         {QStringLiteral("append /f/X3")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(PlanContentsRefresh(c.rows, c.entries)), c.expected) << c.name;
    }
}

// Two containers may show the same original name; each keeps its own row.
TEST(ContentsRefreshTest, ContainersOfOneNamePairByPath)
{
    const QList<RowState> rows = {Row("same", "1", "/f/B"), Row("same", "1", "/f/A")};
    EXPECT_TRUE(PlanContentsRefresh(rows, {Row("same", "1", "/f/A"), Row("same", "1", "/f/B")}).isEmpty());
    EXPECT_EQ(Describe(PlanContentsRefresh(rows, {Row("same", "1", "/f/B")})), QStringList{QStringLiteral("remove /f/A")});
    EXPECT_EQ(Describe(PlanContentsRefresh(rows, {Row("same", "1", "/f/A"), Row("same", "1", "/f/B"),
                                                  Row("same", "1", "/f/C")})),
              QStringList{QStringLiteral("append /f/C")});
}

TEST(ContentsRefreshTest, MergeOrderComparesCodeUnitsAsIfPaddedWithSpaces)
{
    QList<RowState> states = {Row("b", "", "/3"), Row("a b", "", "/2"), Row("a", "", "/1", "1"), Row("a", "", "/0", "0"),
                              Row("a!", "", "/4")};
    SortForMerge(&states);
    QStringList paths;
    for (const RowState& state : states) {
        paths.append(state.path);
    }
    // "a" then padding spaces sorts before "a b" (space = space, then space < "b"), and "a!"
    // after "a" + space; equal names order by flag.
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/0"), QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/4"),
                                  QStringLiteral("/3")}));
}
