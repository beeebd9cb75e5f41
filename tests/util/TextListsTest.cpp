#include "util/TextLists.h"

#include <gtest/gtest.h>

namespace {

// Every line NextLine reads from text, walking from the start.
QStringList allLines(const QString& text)
{
    QStringList lines;
    qsizetype position = 0;
    for (int guard = 0; guard <= text.size() + 1; ++guard) {
        QString line;
        const int result = NextLine(text, position, &line, &position);
        lines.append(line);
        if (result == -1) {
            return lines;
        }
    }
    ADD_FAILURE() << "NextLine does not reach the end";
    return lines;
}

} // namespace

TEST(TextListsTest, NextLineSplitsAtEveryKindOfBreak)
{
    QString line;
    qsizetype position = -7;
    EXPECT_EQ(NextLine(QStringLiteral("a\r\nb"), 0, &line, &position), 0);
    EXPECT_EQ(line, QStringLiteral("a"));
    EXPECT_EQ(position, 3);
    EXPECT_EQ(NextLine(QStringLiteral("a\r\nb"), position, &line, &position), -1);
    EXPECT_EQ(line, QStringLiteral("b"));
    EXPECT_EQ(position, 4);

    const std::pair<QString, QStringList> cases[] = {
        {QStringLiteral(""), {QString()}},
        {QStringLiteral("one"), {QStringLiteral("one")}},
        // A lone LF or CR must not swallow the first character of the next line.
        {QStringLiteral("a\nbc"), {QStringLiteral("a"), QStringLiteral("bc")}},
        {QStringLiteral("a\rbc"), {QStringLiteral("a"), QStringLiteral("bc")}},
        {QStringLiteral("a\r\n\r\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a\r\n"), {QStringLiteral("a"), QString()}},
        {QStringLiteral("a\r"), {QStringLiteral("a"), QString()}},
        {QStringLiteral("\r\nx"), {QString(), QStringLiteral("x")}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(allLines(text), expected) << text.toStdString();
    }
}

TEST(TextListsTest, NextLineOutsideTheTextIsAnEmptyLastLine)
{
    QString line = QStringLiteral("stale");
    qsizetype position = 0;
    EXPECT_EQ(NextLine(QStringLiteral("ab"), 5, &line, &position), -1);
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(position, 2);
    EXPECT_EQ(NextLine(QStringLiteral("ab"), -1, &line, &position), -1);
    EXPECT_TRUE(line.isEmpty());
}

TEST(TextListsTest, SortTextsIsOrdinalByCodeUnit)
{
    QStringList texts = {QStringLiteral("b"),
                         QStringLiteral("a"),
                         QStringLiteral("B"),
                         QStringLiteral("ab"),
                         QStringLiteral(""),
                         QString::fromUtf8("～"),
                         QString::fromUtf8("\xF0\x9F\x98\x80"),
                         QStringLiteral("a"),
                         QString::fromUtf8("あ")};
    SortTexts(texts);
    // Upper case before lower case, a prefix before its extensions, and a surrogate pair
    // (D83D DE00) before U+FF5E although its code point is higher.
    const QStringList expected = {QStringLiteral(""),      QStringLiteral("B"),
                                  QStringLiteral("a"),     QStringLiteral("a"),
                                  QStringLiteral("ab"),    QStringLiteral("b"),
                                  QString::fromUtf8("あ"), QString::fromUtf8("\xF0\x9F\x98\x80"),
                                  QString::fromUtf8("～")};
    EXPECT_EQ(texts, expected);
}

TEST(TextListsTest, ParallelSortPermutesAllFourAlike)
{
    QStringList names = {QStringLiteral("b"), QStringLiteral("a!"), QStringLiteral("x"),
                         QStringLiteral("a"), QStringLiteral("x"),  QStringLiteral("x")};
    QStringList times = {QStringLiteral("t0"), QStringLiteral("t1"), QStringLiteral("t2"),
                         QStringLiteral("t3"), QStringLiteral("t4"), QStringLiteral("t5")};
    QStringList paths = {QStringLiteral("p0"), QStringLiteral("p1"), QStringLiteral("p2"),
                         QStringLiteral("p3"), QStringLiteral("p4"), QStringLiteral("p5")};
    QStringList flags = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                         QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")};
    ASSERT_EQ(ParallelSort(names, times, paths, flags), 0);

    // "a" sorts before "a!" because the padding space is below "!", even though its flag "1"
    // is above "!"; the same name sorts by flag, and equal keys keep their order (t2, t5).
    EXPECT_EQ(names, QStringList({"a", "a!", "b", "x", "x", "x"}));
    EXPECT_EQ(flags, QStringList({"1", "0", "0", "0", "1", "1"}));
    EXPECT_EQ(times, QStringList({"t3", "t1", "t0", "t4", "t2", "t5"}));
    EXPECT_EQ(paths, QStringList({"p3", "p1", "p0", "p4", "p2", "p5"}));
}

TEST(TextListsTest, ParallelSortKeyPadsShortNamesOnly)
{
    EXPECT_EQ(ParallelSortKey(QStringLiteral("ab"), QStringLiteral("1")),
              QStringLiteral("ab") + QString(254, QLatin1Char(' ')) + QStringLiteral("1"));
    const QString longName(300, QLatin1Char('n'));
    EXPECT_EQ(ParallelSortKey(longName, QStringLiteral("0")), longName + QStringLiteral("0"));
}

TEST(TextListsTest, ParallelSortRefusesListsOfDifferentLengths)
{
    QStringList names = {QStringLiteral("b"), QStringLiteral("a")};
    QStringList times = {QStringLiteral("t0"), QStringLiteral("t1")};
    QStringList paths = {QStringLiteral("p0")};
    QStringList flags = {QStringLiteral("0"), QStringLiteral("0")};
    EXPECT_EQ(ParallelSort(names, times, paths, flags), -1);
    EXPECT_EQ(names, QStringList({"b", "a"}));
    EXPECT_EQ(times, QStringList({"t0", "t1"}));
}

TEST(TextListsTest, SameTextListsIsExact)
{
    const QStringList ab = {QStringLiteral("a"), QStringLiteral("b")};
    EXPECT_EQ(SameTextLists(ab, ab), 0);
    EXPECT_EQ(SameTextLists({}, {}), 0);
    EXPECT_EQ(SameTextLists(ab, {QStringLiteral("a")}), -1);
    EXPECT_EQ(SameTextLists(ab, {QStringLiteral("b"), QStringLiteral("a")}), -1);
    EXPECT_EQ(SameTextLists(ab, {QStringLiteral("a"), QStringLiteral("B")}), -1);
    EXPECT_EQ(SameTextLists(ab, {QStringLiteral("a"), QStringLiteral("b ")}), -1);
}
