#include "frame/CMainFrame.h"

#include "app/SingleInstance.h"
#include "frame/CommandTable.h"
#include "support/RecordingMessageService.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// A user with an empty home: no settings, no data files.
class CMainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    }
    QString dataFolder() const { return m_home.filePath(QStringLiteral("config/kurasoft/KBXcl1")); }

    QTemporaryDir m_home;
    RecordingMessageService m_messages;
};

} // namespace

TEST_F(CMainFrameTest, FirstStartBuildsTheWindowAndSavesOnClose)
{
    {
        CMainFrame frame(dataFolder());
        ASSERT_TRUE(frame.isCreated()) << m_messages.texts().join('|').toStdString();
        EXPECT_EQ(frame.StartUpWork(), 0);
        EXPECT_EQ(frame.size(), QSize(775, 520));
        ASSERT_EQ(frame.topMenus().size(), 6);
        EXPECT_EQ(frame.topMenus().first()->title(), QStringLiteral("ファイル(&F)"));
        EXPECT_EQ(frame.action(Command::Paste)->text(), QStringLiteral("貼り付け(&P)"));
        EXPECT_EQ(frame.action(Command::Paste)->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
        EXPECT_EQ(frame.action(Command::TestTool), nullptr); // removed from the menu
        const QToolBar* toolbar = frame.findChild<QToolBar*>(QStringLiteral("toolbar"));
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(toolbar->actions().size(), 10);
        EXPECT_EQ(frame.statusPane(0)->text(), QString());
        EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("/KBXcl.ini")));
        frame.close();
    }
    // Closing saved the settings and the common data.
    QFile ini(dataFolder() + QStringLiteral("/KBXcl.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(ini.readAll().constData() + 2));
    EXPECT_TRUE(text.contains(QStringLiteral("SizeMfWidth=775")));
    EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("/kbxcl_common2.dat")));
    EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join('|').toStdString();
}

TEST_F(CMainFrameTest, BusyGreysMenusAndRefusesToClose)
{
    CMainFrame frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    MainWindowServices& services = MainWindowServices::instance();
    services.BeginBusy();
    services.BeginBusy();
    services.EndBusy();
    for (QMenu* menu : frame.topMenus()) {
        EXPECT_FALSE(menu->menuAction()->isEnabled());
    }
    frame.updateCommandStates();
    EXPECT_FALSE(frame.action(Command::Register)->isEnabled());
    EXPECT_TRUE(frame.action(Command::Exit)->isEnabled());

    EXPECT_FALSE(frame.close());
    EXPECT_EQ(m_messages.texts(), QStringList{MsgA(182)});
    EXPECT_EQ(m_messages.shown().first().style.icon, MsgIcon::Information);

    // The stop button works only while an abortable operation runs.
    EXPECT_FALSE(frame.action(Command::Stop)->isEnabled());
    services.SetAbortable(true);
    frame.updateCommandStates();
    ASSERT_TRUE(frame.action(Command::Stop)->isEnabled());
    frame.action(Command::Stop)->trigger();
    EXPECT_TRUE(services.CancelRequested());
    services.SetAbortable(false);

    services.EndBusy();
    for (QMenu* menu : frame.topMenus()) {
        EXPECT_TRUE(menu->menuAction()->isEnabled());
    }
    frame.updateCommandStates();
    EXPECT_TRUE(frame.action(Command::Register)->isEnabled());
    EXPECT_TRUE(frame.close());
}

TEST(SingleInstanceTest, SecondCopyIsRefusedWhileTheFirstRuns)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto first = std::make_unique<SingleInstance>(QStringLiteral("KuraboxTest"));
    ASSERT_TRUE(first->acquire());
    SingleInstance second(QStringLiteral("KuraboxTest"));
    EXPECT_FALSE(second.acquire());
    first.reset();
    SingleInstance third(QStringLiteral("KuraboxTest"));
    EXPECT_TRUE(third.acquire());
}
