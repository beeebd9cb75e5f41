#include "cli/KbxFixture.h"
#include "cli/TerminalText.h"

#include <QRegularExpression>

// Every text kbx itself prints is in the language of the locale: its help and its refusals,
// for every command, Japanese under a Japanese locale and English otherwise.

namespace {

class KbxLanguageTest : public KbxTest
{
};

// Kana, the common ideographs and the full-width forms.
bool hasJapanese(const QString& text)
{
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF01}-\\x{FF60}]"));
    return text.contains(japanese);
}

// Three lower-case ASCII words in a row: a piece of an English sentence. Option names, operand
// names, paths and the keywords that scripts read never come three like that. (A short English
// text may have no such run, so under an English locale only the absence of Japanese counts.)
bool hasEnglishSentence(const QString& text)
{
    static const QRegularExpression english(QStringLiteral("\\b[a-z]+ [a-z]+ [a-z]+\\b"));
    return text.contains(english);
}

TEST_F(KbxLanguageTest, EachCommandSpeaksOneLanguage)
{
    const QString container = encryptReport("words");
    const QString plain = writeFile(QStringLiteral("plain.txt"), "not encrypted");
    const QString raw = writeFile(QStringLiteral("notes.txt"), "raw");
    writeFile(QStringLiteral("notes.txt.kbxf2"), "already there");
    const QString folder = makeFolder(QStringLiteral("vault"));
    const QString missing = path(QStringLiteral("missing"));

    struct Case
    {
        QString name;
        QStringList arguments;
        QByteArray input;
        int exitCode;
    };
    QList<Case> cases = {
        {QStringLiteral("overview"), {QStringLiteral("--help")}, {}, 0},
        {QStringLiteral("usage error"), {QStringLiteral("encrypt"), plain}, {}, 2},
        {QStringLiteral("encrypt over a plain file"),
         {QStringLiteral("encrypt"), raw, plain},
         line(Password),
         1},
        {QStringLiteral("decrypt without a password"),
         {QStringLiteral("decrypt"), container, path(QStringLiteral("out.txt"))},
         {},
         1},
        {QStringLiteral("info of a missing file"), {QStringLiteral("info"), missing}, {}, 1},
        {QStringLiteral("set-hint on a folder"),
         {QStringLiteral("set-hint"), folder, QStringLiteral("x")},
         {},
         1},
        {QStringLiteral("rename to a path"),
         {QStringLiteral("rename"), container, path(QStringLiteral("copy.kbxf")), QStringLiteral("a/b")},
         {},
         1},
        {QStringLiteral("raw-encrypt over its output"), {QStringLiteral("raw-encrypt"), raw}, {}, 1},
        {QStringLiteral("raw-decrypt of an unknown name"),
         {QStringLiteral("raw-decrypt"), raw, folder},
         {},
         1},
        {QStringLiteral("ls of a missing folder"), {QStringLiteral("ls"), missing}, line(Password), 1},
        {QStringLiteral("check with no jobs"),
         {QStringLiteral("check"), QStringLiteral("--jobs"), QStringLiteral("0"), folder},
         {},
         2},
        {QStringLiteral("extract into the folder"),
         {QStringLiteral("extract"), folder, folder + QStringLiteral("/out")},
         {},
         1},
        {QStringLiteral("add of a missing file"), {QStringLiteral("add"), folder, missing}, {}, 1},
    };
    for (const char* command : {"encrypt", "decrypt", "info", "set-hint", "rename", "raw-encrypt",
                                "raw-decrypt", "ls", "check", "extract", "add"}) {
        cases.append({QLatin1String(command) + QStringLiteral(" --help"),
                      {QLatin1String(command), QStringLiteral("--help")},
                      {},
                      0});
    }

    for (const bool japanese : {true, false}) {
        m_environment = {
            {QStringLiteral("LC_ALL"), QString()},
            {QStringLiteral("LC_MESSAGES"), QString()},
            {QStringLiteral("LANG"), japanese ? QStringLiteral("ja_JP.UTF-8") : QStringLiteral("C")}};
        for (const Case& c : cases) {
            SCOPED_TRACE(
                (c.name + (japanese ? QStringLiteral(", Japanese") : QStringLiteral(", C"))).toStdString());
            const KbxResult run = kbx(c.arguments, c.input);
            EXPECT_EQ(run.exitCode, c.exitCode);
            const QString text = run.out + run.err;
            EXPECT_EQ(hasJapanese(text), japanese) << text.toStdString();
            if (japanese) {
                EXPECT_FALSE(hasEnglishSentence(text)) << text.toStdString();
            } else {
                EXPECT_FALSE(text.trimmed().isEmpty());
            }
        }
    }
}

// The progress line is cut to the terminal's width from the left; a Japanese label takes two
// columns a character, and a character that does not fit whole is left out.
TEST(TerminalTailTest, KeepsTheEndWithinTheColumns)
{
    struct Case
    {
        const char* name;
        QString text;
        int columns;
        QString expected;
    };
    const QList<Case> cases = {
        {"fits", QStringLiteral("abc"), 3, QStringLiteral("abc")},
        {"ASCII cut", QStringLiteral("abcdef"), 4, QStringLiteral("cdef")},
        {"wide characters", QStringLiteral("暗号化中: 50%"), 11, QStringLiteral("号化中: 50%")},
        {"wide character not split", QStringLiteral("暗号化中: 50%"), 10, QStringLiteral("化中: 50%")},
        {"full-width parenthesis", QStringLiteral("（1 / 2 MiB）"), 11, QStringLiteral("1 / 2 MiB）")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TerminalTail(c.text, c.columns), c.expected);
    }
}

} // namespace
