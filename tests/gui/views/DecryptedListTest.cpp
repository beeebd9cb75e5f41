#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/frame/WindowFixture.h"
#include "store/working/DecryptedCopies.h"
#include "support/TestContainers.h"
#include "support/TestFiles.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesModel.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QDir>
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

    const QString folder = home(QStringLiteral("金庫"));
};

} // namespace

TEST_F(DecryptedListTest, OpenedFileIsListedTurnsBlueWhenSavedAndIsWrittenBackWhenTheEditorEnds)
{
    MainWindow& frame = *this->frame;
    CryptEngine& engine = frame.store().engine();
    ASSERT_FALSE(engine.SetTemporaryKey(QLatin1String(Password), QString()).isEmpty());
    const QString container =
        EncryptTestFile(frame.store().crypt(), m_home.path(), folder, QStringLiteral("memo.txt"),
                        CryptEngine::TemporarySlotName, "first line\n");
    // As the program leaves the containers it writes: read-only, so that a write-back asks.
    ASSERT_EQ(SetAttributeBits(container, FileAttribute::ReadOnly, false), 0);
    registerFolder(folder, QLatin1String(Password), {MsgButton::Yes, MsgButton::No});

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
    const QString check = home(QStringLiteral("check.txt"));
    ASSERT_EQ(frame.store().crypt().DecryptToFile(container, check, folder), 0);
    EXPECT_EQ(ReadTestFile(check), QByteArray("first line\nedited\n"));
    QString left;
    EXPECT_EQ(frame.store().copies().ListFoldersWithDecryptedFiles(&left), 0) << "no plain copy is left";
}
