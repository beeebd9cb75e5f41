#include "store/settings/ProfileFile.h"

#include "store/settings/DecimalText.h"
#include "util/AnsiText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray utf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

struct LookupCase
{
    const char* name;
    const char16_t* file;
    const char16_t* section;
    const char16_t* key;
    const char16_t* expected; // nullptr: the default "dflt"
};

// Files as the profile functions write them and as people edit them by hand.
const LookupCase LookupCases[] = {
    {"plain", u"[Disp]\r\nDispMode=2\r\n", u"Disp", u"DispMode", u"2"},
    {"section and key ignore case", u"[DISP]\r\ndispmode=2\r\n", u"Disp", u"DispMode", u"2"},
    {"blanks around names and =", u"  [ Disp ]  \r\n\t DispMode \t=  2 \r\n", u"Disp", u"DispMode", u"2"},
    {"LF line ends", u"[Disp]\nTitleMode=1\nDispMode=2\n", u"Disp", u"DispMode", u"2"},
    {"CR line ends", u"[Disp]\rDispMode=2", u"Disp", u"DispMode", u"2"},
    {"quotes are removed", u"[Base]\r\nVL=\"1.8\"\r\n", u"Base", u"VL", u"1.8"},
    {"first key wins", u"[Disp]\r\nDispMode=1\r\nDispMode=2\r\n", u"Disp", u"DispMode", u"1"},
    {"first section wins", u"[Disp]\r\n[Disp]\r\nDispMode=2\r\n", u"Disp", u"DispMode", nullptr},
    {"key of another section", u"[Action]\r\nDispMode=2\r\n[Disp]\r\n", u"Disp", u"DispMode", nullptr},
    {"key before any section", u"DispMode=2\r\n[Disp]\r\n", u"Disp", u"DispMode", nullptr},
    {"line without =", u"[Disp]\r\nDispMode\r\n", u"Disp", u"DispMode", nullptr},
    {"comment line", u"[Disp]\r\n;DispMode=2\r\n", u"Disp", u"DispMode", nullptr},
    {"value keeps later =", u"[A]\r\nK=a=b\r\n", u"A", u"K", u"a=b"},
    {"empty value", u"[A]\r\nK=\r\n", u"A", u"K", u""},
    {"Japanese text", u"[A]\r\nK=作業用\r\n", u"A", u"K", u"作業用"},
};

} // namespace

TEST(ProfileFileTest, ReadsFilesOfTheProfileFormat)
{
    for (const LookupCase& c : LookupCases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(LookupCases)));
        ProfileFile file;
        file.parse(utf16File(QString::fromUtf16(c.file)));
        const QString expected = c.expected ? QString::fromUtf16(c.expected) : QStringLiteral("dflt");
        EXPECT_EQ(
            file.value(QString::fromUtf16(c.section), QString::fromUtf16(c.key), QStringLiteral("dflt")),
            expected)
            << c.name;
    }
}

TEST(ProfileFileTest, ValuesAreCutAtTheReadBuffer)
{
    ProfileFile file;
    file.setValue(QStringLiteral("A"), QStringLiteral("K"), QString(3000, QLatin1Char('x')));
    EXPECT_EQ(file.value(QStringLiteral("A"), QStringLiteral("K")).size(), ProfileFile::MaxValueLength);
}

// New keys and sections take the layout of the profile functions: FF FE, CRLF, one line per key
// without blanks; lines already in the file stay as they are.
TEST(ProfileFileTest, WritesTheProfileLayoutAndKeepsOtherLines)
{
    ProfileFile fresh;
    fresh.parse(QByteArray());
    fresh.setValue(QStringLiteral("Base"), QStringLiteral("VL"), QStringLiteral("1.72"));
    fresh.setValue(QStringLiteral("Disp"), QStringLiteral("DispMode"), QStringLiteral("0"));
    fresh.setValue(QStringLiteral("Disp"), QStringLiteral("TitleMode"), QStringLiteral("1"));
    EXPECT_EQ(fresh.toBytes(),
              utf16File(QStringLiteral("[Base]\r\nVL=1.72\r\n[Disp]\r\nDispMode=0\r\nTitleMode=1\r\n")));

    ProfileFile edited;
    edited.parse(
        utf16File(QStringLiteral("; mine\r\n[disp]\r\n  dispmode = 2 \r\nOther=x\r\n\r\n[Base]\nVL=1.0")));
    edited.setValue(QStringLiteral("Disp"), QStringLiteral("DispMode"), QStringLiteral("1"));
    edited.setValue(QStringLiteral("Disp"), QStringLiteral("TitleMode"), QStringLiteral("1"));
    edited.setValue(QStringLiteral("Base"), QStringLiteral("VL"), QStringLiteral("1.72"));
    edited.setValue(QStringLiteral("Action"), QStringLiteral("ProcEndMsgFlg"), QStringLiteral("0"));
    EXPECT_EQ(edited.toBytes(),
              utf16File(QStringLiteral("; mine\r\n[disp]\r\ndispmode=1\r\nOther=x\r\nTitleMode=1\r\n"
                                       "\r\n[Base]\nVL=1.72\r\n"
                                       "[Action]\r\nProcEndMsgFlg=0\r\n")));
}

TEST(ProfileFileTest, FileWithoutMarkIsReadAndWrittenInCodePage932)
{
    ProfileFile file;
    file.parse(ToAnsiBytes(QStringLiteral("[A]\r\nK=作業\r\n")));
    EXPECT_EQ(file.encoding(), ProfileFile::Encoding::Ansi);
    EXPECT_EQ(file.value(QStringLiteral("A"), QStringLiteral("K")), QStringLiteral("作業"));
    file.setValue(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("用"));
    EXPECT_EQ(file.toBytes(), ToAnsiBytes(QStringLiteral("[A]\r\nK=用\r\n")));
}

// Lines of a file without the mark that no change touches come back byte for byte, bytes that
// are no characters of the code page and their own line ends included.
TEST(ProfileFileTest, UntouchedLinesOfAFileWithoutMarkKeepTheirBytes)
{
    const QByteArray foreign = "; \xE9t\xE9 \x80\xFF\n[A]\nK=1\rOther=\xA0\xFD";
    ProfileFile file;
    file.parse(foreign);
    file.setValue(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("2"));
    EXPECT_EQ(file.toBytes(), QByteArray("; \xE9t\xE9 \x80\xFF\n[A]\nK=2\r\nOther=\xA0\xFD\r\n"));
}

TEST(DecimalTextTest, ConvertsLikeTheRuntimeConversion)
{
    const struct
    {
        const char* text;
        int value;
    } cases[] = {
        {"12", 12},
        {"  7", 7},
        {"-3", -3},
        {"+5", 5},
        {"12px", 12},
        {"abc", 0},
        {"", 0},
        {"- 1", 0},
        {"99999999999", std::numeric_limits<int>::max()},
        {"-99999999999", std::numeric_limits<int>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        EXPECT_EQ(DecimalToInt(QString::fromLatin1(c.text)), c.value) << c.text;
    }
}
