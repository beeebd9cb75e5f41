#include "frame/MainWindow.h"

#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeModel.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/AccessibleControls.h"
#include "platform/SingleInstance.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "support/FileModes.h"
#include "support/RecordingMessageService.h"
#include "support/RecordingPromptService.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// A user with an empty home: no settings, no data files.
class MainWindowTest : public ::testing::Test
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

TEST_F(MainWindowTest, FirstStartBuildsTheWindowAndSavesOnClose)
{
    {
        MainWindow frame(dataFolder());
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

TEST_F(MainWindowTest, BusyGreysMenusAndRefusesToClose)
{
    MainWindow frame(dataFolder());
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
    {
        const ScopedUmask umask(0);
        ASSERT_TRUE(first->acquire());
    }
    EXPECT_EQ(OctalMode(first->lockPath()), "0600"); // it names this process and its host
    SingleInstance second(QStringLiteral("KuraboxTest"));
    EXPECT_FALSE(second.acquire());
    first.reset();
    SingleInstance third(QStringLiteral("KuraboxTest"));
    EXPECT_TRUE(third.acquire());
}

TEST_F(MainWindowTest, InputToTheWindowIsDroppedWhileBusyButTheStopButtonWorks)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    auto* field = new QLineEdit(frame.statusBar()); // any input widget of the window
    MainWindowServices& services = MainWindowServices::instance();
    QWidget* stop =
        frame.findChild<QToolBar*>(QStringLiteral("toolbar"))->widgetForAction(frame.action(Command::Stop));
    ASSERT_NE(stop, nullptr);

    auto type = [field](char c) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c - 'a'), Qt::NoModifier, QString(QLatin1Char(c)));
        QApplication::sendEvent(field, &press);
    };
    auto click = [](QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    };
    {
        BusyScope busy(true);
        frame.updateCommandStates();
        type('x');
        EXPECT_EQ(field->text(), QString());
        click(stop);
        EXPECT_TRUE(services.CancelRequested());
    }
    type('y');
    EXPECT_EQ(field->text(), QStringLiteral("y"));
}

TEST_F(MainWindowTest, EscapeStopsOnlyAnOperationThatMayBeStopped)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    for (const bool abortable : {false, true}) {
        SCOPED_TRACE(abortable ? "abortable" : "not abortable");
        BusyScope busy(abortable);
        frame.updateCommandStates();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(frame.contents(), &escape);
        EXPECT_EQ(MainWindowServices::instance().CancelRequested(), abortable);
    }
}

TEST_F(MainWindowTest, EnableRulesFollowTheFocusAndTheTreeItem)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    QApplication::setActiveWindow(&frame);
    FolderTreeModel* model = frame.tree()->folderModel();
    const QModelIndex root = model->addRoot(QStringLiteral("secret"), QStringLiteral("/data/secret"));
    const QModelIndex child = model->addChild(root, QStringLiteral("photos"));

    struct Case
    {
        QWidget* focus;
        QModelIndex item;
        int command;
        bool enabled;
    };
    const Case cases[] = {
        {frame.tree(), root, Command::Unregister, true},
        {frame.tree(), root, Command::Delete, false},
        {frame.tree(), child, Command::Unregister, false},
        {frame.tree(), child, Command::Delete, true},
        {frame.tree(), child, Command::Open, false},
        {frame.contents(), root, Command::Unregister, false},
        {frame.contents(), root, Command::Open, false}, // nothing selected in the list
        {frame.decryptedFiles(), root, Command::Properties, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        frame.tree()->setCurrentIndex(c.item);
        c.focus->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(c.focus->hasFocus());
        frame.updateCommandStates();
        EXPECT_EQ(frame.action(c.command)->isEnabled(), c.enabled)
            << c.focus->objectName().toStdString() << " " << c.command;
    }
}

TEST_F(MainWindowTest, ScreenReaderNamesEveryControl)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    EXPECT_EQ(UnnamedControls(&frame), QStringList());
    // Through the accessibility tree, hidden parts included, nothing is read out in English.
    EXPECT_EQ(AccessibilityTreeProblems(&frame), QStringList());

    const struct
    {
        QWidget* pane;
        QString name;
    } panes[] = {
        {frame.tree(), QStringLiteral("暗号フォルダー")},
        {frame.contents(), QStringLiteral("ファイル／フォルダー 一覧")},
        {frame.decryptedFiles(), QStringLiteral("復号中ファイル")},
    };
    for (const auto& row : panes) {
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_EQ(AccessibleName(row.pane), row.name);
    }
    const QToolBar* toolbar = frame.findChild<QToolBar*>(QStringLiteral("toolbar"));
    for (int id : ToolbarCommands()) {
        if (id != Command::Separator) {
            SCOPED_TRACE(id);
            EXPECT_EQ(AccessibleName(toolbar->widgetForAction(frame.action(id))), ToolbarTip(id));
        }
    }
}

TEST_F(MainWindowTest, TabAndF6MoveThroughThePanes)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    const QList<QWidget*> panes = {frame.tree(), frame.contents(), frame.decryptedFiles()};
    const QList<QWidget*> chain = TabChain(&frame);
    EXPECT_LT(chain.indexOf(panes.at(0)), chain.indexOf(panes.at(1)));
    EXPECT_LT(chain.indexOf(panes.at(1)), chain.indexOf(panes.at(2)));

    frame.tree()->setFocus();
    const struct
    {
        const char* key;
        QKeyCombination press;
        QWidget* focus;
    } steps[] = {
        {"F6 to the contents", Qt::Key_F6, panes.at(1)},
        {"F6 to the decrypted files", Qt::Key_F6, panes.at(2)},
        {"F6 wraps to the tree", Qt::Key_F6, panes.at(0)},
        {"Shift+F6 wraps back", Qt::SHIFT | Qt::Key_F6, panes.at(2)},
        {"Shift+F6 to the contents", Qt::SHIFT | Qt::Key_F6, panes.at(1)},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        QTest::keyClick(QApplication::focusWidget(), step.press.key(), step.press.keyboardModifiers());
        EXPECT_EQ(QApplication::focusWidget(), step.focus);
    }
}

// The widths the user gives the tree and the decrypted-files list survive a restart; a
// decrypted-files column narrowed to almost nothing keeps 32 pixels.
TEST_F(MainWindowTest, SplitterWidthsSurviveARestart)
{
    {
        MainWindow frame(dataFolder());
        ASSERT_TRUE(frame.isCreated());
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        auto* splitter = frame.findChild<QSplitter*>(QStringLiteral("CUSplitterWnd"));
        ASSERT_NE(splitter, nullptr);
        EXPECT_EQ(splitter->handleWidth(), 4);
        const QList<int> before = splitter->sizes();
        const int total = before.at(0) + before.at(1) + before.at(2);
        splitter->setSizes({180, total - 190, 10});
        emit splitter->splitterMoved(180, 1);
        frame.close();
    }
    MainWindow again(dataFolder());
    ASSERT_TRUE(again.isCreated());
    EXPECT_EQ(again.settings().SizeTvWidth, 180);
    EXPECT_EQ(again.settings().SizeLv2Width, 32);
}

// Drops from outside onto the tree: a single folder on empty space is offered for registration
// and registered; several items there, or a file, are refused with their message.
TEST_F(MainWindowTest, FolderDroppedOnEmptyTreeSpaceIsRegistered)
{
    RecordingPromptService prompts;
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    FolderTreeView* tree = frame.tree();
    QList<int> offered;
    tree->chooseDropCommand = [&](const QPoint&, const QList<int>& commands) {
        offered = commands;
        return commands.value(0);
    };
    const QString folder = m_home.filePath(QStringLiteral("新しい金庫"));
    const QString file = m_home.filePath(QStringLiteral("a.txt"));
    QDir().mkpath(folder);
    QFile(file).open(QIODevice::WriteOnly);
    const QPoint empty(10, tree->viewport()->height() - 5);
    auto drop = [&](const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data.setUrls(urls);
        QDragEnterEvent enter(empty, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &enter);
        QDropEvent dropped(QPointF(empty), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &dropped);
    };

    drop({folder, file, file});
    EXPECT_EQ(m_messages.texts(), QStringList{MsgA(220)});
    m_messages.clear();
    drop({file});
    EXPECT_EQ(m_messages.texts(), QStringList{MsgA(221)});
    m_messages.clear();
    EXPECT_TRUE(offered.isEmpty());

    prompts.scriptNewPasswords({{QStringLiteral("Pass-word1"), QString()}});
    drop({folder});
    EXPECT_EQ(offered, QList<int>{FolderTreeView::RegisterDropped});
    QTest::qWait(50);
    int count = 0;
    frame.store().folders().CountRegisteredFolders(&count);
    EXPECT_EQ(count, 1) << m_messages.texts().join('|').toStdString();
    EXPECT_EQ(frame.store().folders().FindRegisteredRoot(folder, 0), folder);
}

// Every command of the menus and the toolbar reaches an operation: none is left routed to nothing.
TEST_F(MainWindowTest, EveryMenuCommandIsRouted)
{
    MainWindow frame(dataFolder());
    ASSERT_TRUE(frame.isCreated());
    QStringList unrouted;
    const QList<QMenu*> menus = frame.topMenus();
    for (QMenu* menu : menus) {
        for (QAction* action : menu->actions()) {
            const int id = action->data().toInt();
            if (!action->isSeparator() && !frame.router().isRouted(id)) {
                unrouted.append(QString::number(id) + QLatin1Char(' ') + action->text());
            }
        }
    }
    for (QAction* action : frame.findChild<QToolBar*>(QStringLiteral("toolbar"))->actions()) {
        if (!action->isSeparator() && !frame.router().isRouted(action->data().toInt())) {
            unrouted.append(action->toolTip());
        }
    }
    EXPECT_TRUE(unrouted.isEmpty()) << unrouted.join(QStringLiteral(", ")).toStdString();
}
