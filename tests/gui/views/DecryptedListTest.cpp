#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/dialogs/DialogTestSupport.h"
#include "gui/frame/WindowFixture.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/WorkingCopyPaths.h"
#include "support/TestContainers.h"
#include "support/TestFiles.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesModel.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr const char* Password = "Pass-word1";

// The real window with the fake editor as the desktop's program for text files.
class DecryptedListTest : public WindowFixture
{
protected:
    void prepareHome() override
    {
        makeProgramForTextFiles(QByteArray(KBX_FAKE_EDITOR) + " %f");
        qputenv("FAKE_EDITOR_STOP", QFile::encodeName(home(QStringLiteral("stop"))));
        qputenv("FAKE_EDITOR_LOG", QFile::encodeName(home(QStringLiteral("editor.log"))));
        qputenv("FAKE_EDITOR_MODE", "append");
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    // A container of memo.txt in the registered folder, left read-only as the program leaves the
    // containers it writes (so that a write-back asks).
    QString registerMemo()
    {
        CryptEngine& engine = frame->store().engine();
        EXPECT_FALSE(engine.SetTemporaryKey(QLatin1String(Password), QString()).isEmpty());
        const QString container =
            EncryptTestFile(frame->store().crypt(), m_home.path(), folder, QStringLiteral("memo.txt"),
                            CryptEngine::TemporarySlotName, "first line\n");
        EXPECT_EQ(SetAttributeBits(container, FileAttribute::ReadOnly, false), 0);
        registerFolder(folder, QLatin1String(Password), {MsgButton::Yes, MsgButton::No});
        return container;
    }

    QByteArray plainOf(const QString& container)
    {
        const QString check = home(QStringLiteral("check.txt"));
        QFile::remove(check);
        EXPECT_EQ(frame->store().crypt().DecryptToFile(container, check, folder), 0);
        return ReadTestFile(check);
    }

    const QString folder = home(QStringLiteral("金庫"));
};

} // namespace

TEST_F(DecryptedListTest, OpenedFileIsListedTurnsBlueWhenSavedAndIsWrittenBackWhenTheEditorEnds)
{
    MainWindow& frame = *this->frame;
    const QString container = registerMemo();

    // The toggle of watching, twice, restores the setting.
    const int watching = frame.settings().ExecProcEndWaitFlg;
    frame.runCommand(Command::ToggleWatch);
    frame.runCommand(Command::ToggleWatch);
    EXPECT_EQ(frame.settings().ExecProcEndWaitFlg, watching);

    ContentsView* list = frame.contents();
    list->selectAll();
    prompts.scriptNotices({true});
    ASSERT_EQ(frame.runCommand(ListCommand::Open), 0) << shownTexts();
    EXPECT_EQ(frame.settings().ProcEndMsgFlg, 0) << "the open notice is not shown again";
    DecryptedFilesModel* rows = frame.decryptedFiles()->decryptedModel();
    ASSERT_TRUE(WaitFor([&] { return rows->rowCount() == 1; }));
    EXPECT_EQ(rows->text(0, DecryptedFilesModel::Title), QStringLiteral("memo"));
    // The editor saves: the row turns blue.
    ASSERT_TRUE(
        WaitFor([&] { return rows->rowCount() == 1 && rows->text(0, DecryptedFilesModel::Changed) == "1"; }));
    EXPECT_EQ(rows->data(rows->index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_TRUE(rows->ToolTipOf(0).startsWith(MsgA(137) + QStringLiteral("memo.txt")));

    // The editor ends: asked, written back, the copy gone.
    messages.script({MsgButton::Yes});
    WriteTestFile(home(QStringLiteral("stop")), "stop");
    ASSERT_TRUE(WaitFor([&] { return rows->rowCount() == 0; })) << shownTexts();
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(15))) << shownTexts();
    EXPECT_EQ(plainOf(container), QByteArray("first line\nedited\n"));
    QString left;
    EXPECT_EQ(frame.store().copies().ListFoldersWithDecryptedFiles(&left), 0) << "no plain copy is left";
}

// Most editors read the file and close it. Quitting while the editor still runs keeps the window
// and the copy: the editor may save again, and its edit must not land in a file nobody removes.
TEST_F(DecryptedListTest, QuittingWhileTheEditorStillRunsKeepsTheWindowAndTheCopy)
{
    qputenv("FAKE_EDITOR_MODE", "resave");
    MainWindow& frame = *this->frame;
    const QString container = registerMemo();
    frame.contents()->selectAll();
    prompts.scriptNotices({true});
    ASSERT_EQ(frame.runCommand(ListCommand::Open), 0) << shownTexts();
    DecryptedFilesModel* rows = frame.decryptedFiles()->decryptedModel();
    ASSERT_TRUE(WaitFor([&] {
        return rows->rowCount() == 1 && rows->text(0, DecryptedFilesModel::Changed) == "1";
    })) << shownTexts();
    const QString copy = rows->text(0, DecryptedFilesModel::CopyPath);

    messages.clear();
    QString asked;
    whenDialogOpens([&asked](QWidget* modal) {
        asked = modal->windowTitle();
        static_cast<QDialog*>(modal)->accept(); // 終了確認: go on
    });
    messages.script({MsgButton::No}); // keep the window
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(asked, QStringLiteral("終了確認"));
    EXPECT_EQ(messages.texts(),
              (QStringList{MsgA(12) + QStringLiteral("’ memo.txt（kbx_fake_editor）"), MsgA(649)}));
    EXPECT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(plainOf(container), QByteArray("first line\n"));

    // The editor saves once more and ends: both edits go back, and no plain byte of the file is
    // left anywhere in the home.
    messages.clear();
    messages.script({MsgButton::Yes});
    WriteTestFile(home(QStringLiteral("stop")), "stop");
    ASSERT_TRUE(WaitFor([&] { return rows->rowCount() == 0; })) << shownTexts();
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(plainOf(container), QByteArray("first line\nedited\nsaved again\n"));
    QFile::remove(home(QStringLiteral("check.txt")));
    QDirIterator it(m_home.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        EXPECT_FALSE(ReadTestFile(file).contains("saved again")) << file.toStdString();
    }
}

// A window killed while a copy was out (the copy stays where it was, edited): the next start
// names the folder, and after the login the copy is listed and written back.
TEST_F(DecryptedListTest, CopyLeftByAKilledWindowIsListedAtTheNextStartAndWrittenBack)
{
    const QString container = registerMemo();
    const QString copy = frame->store().copyPaths().WorkingCopyPathOf(container);
    ASSERT_EQ(CreateDirectoryTree(QFileInfo(copy).path(), nullptr, 0700), 0);
    WriteTestFile(copy, "first line\nedited before the kill\n");
    SetModifiedTime(copy, QDateTime::currentDateTime().addSecs(5));

    frame.reset();
    messages.clear();
    frame = std::make_unique<MainWindow>(home(QStringLiteral("config/kurasoft/KBXcl1")));
    ASSERT_TRUE(frame->isCreated());
    frame->StartUpWork();
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(143) + folder)) << shownTexts();

    frame->tree()->setCurrentIndex(frame->tree()->rootItemOf(folder));
    prompts.scriptPasswords({QLatin1String(Password)});
    ASSERT_EQ(frame->runCommand(Command::Login), 0) << shownTexts();
    DecryptedFilesModel* rows = frame->decryptedFiles()->decryptedModel();
    ASSERT_TRUE(WaitFor([&] { return rows->rowCount() == 1; })) << shownTexts();
    EXPECT_EQ(rows->text(0, DecryptedFilesModel::CopyPath), copy);

    messages.clear();
    messages.script({MsgButton::Yes, MsgButton::Yes, MsgButton::Yes});
    prompts.scriptNotices({false});
    ASSERT_EQ(frame->runCommand(Command::ReflectAll), 0) << shownTexts();
    ASSERT_TRUE(WaitFor([&] { return rows->rowCount() == 0; })) << shownTexts();
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(plainOf(container), QByteArray("first line\nedited before the kill\n"));
}
