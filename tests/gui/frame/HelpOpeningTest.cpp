#include "frame/HelpOpening.h"

#include "gui/frame/WindowFixture.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr const char* Address = "https://kurabox.example/";

// A desktop whose programs are only those the test puts into its own data folder. The desktop
// database is read once per process: each test sets its desktop up before the first lookup.
// The manual is a page in the home.
class HelpOpeningTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        // The system's file types, but none of the programs installed on this machine.
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("system"))));
        ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/mime"), path(QStringLiteral("system/mime"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(path(QStringLiteral("system"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
        qputenv("FAKE_EDITOR_LOG", QFile::encodeName(path(QStringLiteral("started.log"))));
        WriteTestFile(manual, "<html><body>manual</body></html>");
    }

    // Makes the test's program the desktop's one for web pages and for https addresses.
    void installBrowser()
    {
        WriteTestFile(path(QStringLiteral("data/applications/kbx-test-browser.desktop")),
                      "[Desktop Entry]\nType=Application\nName=Test Browser\nExec=" KBX_FAKE_EDITOR
                      " %u\nMimeType=text/html;x-scheme-handler/https;\n");
        WriteTestFile(path(QStringLiteral("data/applications/mimeinfo.cache")),
                      "[MIME Cache]\ntext/html=kbx-test-browser.desktop;\n"
                      "x-scheme-handler/https=kbx-test-browser.desktop;\n");
        WriteTestFile(path(QStringLiteral("config/mimeapps.list")),
                      "[Default Applications]\ntext/html=kbx-test-browser.desktop\n"
                      "x-scheme-handler/https=kbx-test-browser.desktop\n");
    }

    QString path(const QString& relative) const { return m_home.filePath(relative); }
    QString started() const { return QString::fromUtf8(ReadTestFile(path(QStringLiteral("started.log")))); }

    QTemporaryDir m_home;
    RecordingMessageService messages;
    const QString manual = path(QStringLiteral("manual/index.html"));
};

} // namespace

// Nothing on the desktop opens a web page: the user is told, with the path or the address.
TEST_F(HelpOpeningTest, WithoutAProgramTheUserIsToldWhereToLook)
{
    const struct
    {
        const char* name;
        std::function<int()> open;
        QString shown;
    } rows[] = {
        {"no manual", [] { return OpenManual(QString()); }, QStringLiteral("ヘルプが見つかりません　")},
        {"no program for the manual", [this] { return OpenManual(manual); },
         QStringLiteral("ヘルプが見つかりません　\n\n") + manual},
        {"no program for the home page", [] { return OpenHomePage(QLatin1String(Address)); },
         QStringLiteral("ホームページを開くプログラムが見つかりません。\nブラウザーで次のアドレスを開いてくだ"
                        "さい。\n\n") +
             QLatin1String(Address)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        EXPECT_EQ(row.open(), -1);
        EXPECT_EQ(messages.texts(), QStringList{row.shown});
    }
}

TEST_F(HelpOpeningTest, TheDesktopsProgramOpensTheManualAndTheHomePage)
{
    installBrowser();
    EXPECT_EQ(OpenManual(manual), 0);
    EXPECT_EQ(OpenHomePage(QLatin1String(Address)), 0);
    EXPECT_EQ(messages.texts(), QStringList());
    // The program is given the manual's address, in whichever form it takes it.
    EXPECT_TRUE(WaitFor([&] { return started().contains(manual) && started().contains(Address); }))
        << started().toStdString();
}
