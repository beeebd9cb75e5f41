#include "util/StringTable.h"

#include <gtest/gtest.h>

TEST(StringTableTest, LoadsTheProgramsTable)
{
    EXPECT_EQ(LoadText(57344), QStringLiteral("Kurabox"));
    EXPECT_EQ(LoadText(57345), QString(QChar(0x3000)));
    EXPECT_EQ(LoadText(1), QString());
    EXPECT_EQ(LoadAnsiText(57344), QByteArray("Kurabox"));
    EXPECT_EQ(LoadAnsiText(57345), QByteArray("\x81\x40")); // ideographic space in code page 932
}

TEST(StringTableTest, ParsesEntriesAndSkipsTheRest)
{
    const QByteArray source = "\xEF\xBB\xBF"
                              "10 \"first\"\n"
                              "# 11 \"a comment\"\n"
                              "\n"
                              "12\t\"tab before the text\"  \r\n"
                              "13 \"line\\none \\\"quoted\\\" C:\\\\dir \\q\"\n"
                              "14 \"\"\n"
                              "10 \"a second entry 10\"\n"
                              "15 unquoted\n"
                              "16 \"unterminated\n"
                              "17 \"escaped end\\\"\n"
                              "x18 \"bad number\"\n"
                              "19\"no space\"\n"
                              "20 \"\xE6\x97\xA5\xE6\x9C\xAC\"\n";
    const QHash<unsigned int, QString> table = ParseStringTable(source);

    EXPECT_EQ(table.value(10), QStringLiteral("first"));
    EXPECT_EQ(table.value(12), QStringLiteral("tab before the text"));
    EXPECT_EQ(table.value(13), QStringLiteral("line\none \"quoted\" C:\\dir \\q"));
    EXPECT_TRUE(table.contains(14));
    EXPECT_EQ(table.value(14), QString());
    EXPECT_EQ(table.value(20), QString::fromUtf8("日本"));
    for (unsigned int skipped : {11u, 15u, 16u, 17u, 18u, 19u}) {
        EXPECT_FALSE(table.contains(skipped)) << skipped;
    }
    EXPECT_EQ(table.size(), 5);
}

TEST(StringTableTest, LongTextsAreCut)
{
    const QByteArray source = "1 \"" + QByteArray(5000, 'z') + "\"\n";
    EXPECT_EQ(ParseStringTable(source).value(1), QString(4096, QLatin1Char('z')));
}
