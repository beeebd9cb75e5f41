#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeModel.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/views/ContentsFixture.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "support/TestContainers.h"
#include "support/TestFiles.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"
#include "views/common/FolderPictures.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

namespace {

class ContentsListTest : public ContentsFixture
{
};

} // namespace

TEST_F(ContentsListTest, AfterLoginTheRowsShowOriginalNamesSizesAndTimes)
{
    registerFolder();

    EXPECT_EQ(list->shownFolderPath(), folder);
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->text(0, ContentsModel::Name), QStringLiteral("写真")) << "folders come first";
    EXPECT_EQ(model->text(0, ContentsModel::TypeName), QStringLiteral("ファイル フォルダー"));
    const int row = rowOf(QStringLiteral("報告書.txt"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(model->text(row, ContentsModel::FullPath), report);
    EXPECT_EQ(model->text(row, ContentsModel::OriginalSize).trimmed(), QStringLiteral("3 KB"));
    EXPECT_EQ(model->text(row, ContentsModel::PlainFlag), QStringLiteral("0"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(model->text(row, ContentsModel::EncryptedAt))
                    .hasMatch());
    const int bare = rowOf(QStringLiteral("README"));
    ASSERT_GE(bare, 0);
    EXPECT_EQ(model->text(bare, ContentsModel::Name), QStringLiteral("README"));
    EXPECT_EQ(model->text(bare, ContentsModel::TypeName), QStringLiteral("ファイル"));
    for (int hidden = ContentsModel::FirstHidden; hidden < ContentsModel::ColumnCount; ++hidden) {
        EXPECT_TRUE(list->isColumnHidden(hidden)) << hidden;
    }
    EXPECT_TRUE(model->ToolTipOf(row).startsWith(QStringLiteral("報告書.txt\n種類： ")));

    // The status text counts the rows and tells the free space of the folder's volume.
    const QString status = list->ContentsStatusText();
    EXPECT_TRUE(status.startsWith(QStringLiteral("3 個のオブジェクト　（空きディスク領域： ")))
        << status.toStdString();
    list->selectAll();
    EXPECT_EQ(list->ContentsStatusText(), QStringLiteral("3 個のオブジェクトを選択"));
}

TEST_F(ContentsListTest, TheListFollowsChangesMadeByOtherPrograms)
{
    registerFolder();
    ASSERT_EQ(model->rowCount(), 3);

    // A plain file written by another program appears at the end, in red, with its name only.
    WriteTestFile(folder + QStringLiteral("/memo.txt"), "plain text");
    ASSERT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("memo.txt")) >= 0; }));
    const int plain = rowOf(QStringLiteral("memo.txt"));
    EXPECT_EQ(plain, model->rowCount() - 1);
    EXPECT_EQ(model->text(plain, ContentsModel::PlainFlag), QStringLiteral("1"));
    EXPECT_TRUE(model->text(plain, ContentsModel::OriginalSize).isEmpty());
    EXPECT_EQ(model->data(model->index(plain, 0), Qt::ForegroundRole).value<QColor>().red(), 255);
    EXPECT_EQ(model->ToolTipOf(plain), QStringLiteral("memo.txt"));

    // A container renamed on disk loses its row and gains a new one.
    const QString renamed = folder + QStringLiteral("/ZZ") + QFileInfo(report).fileName();
    ASSERT_TRUE(QFile::rename(report, renamed));
    ASSERT_TRUE(WaitFor([&] {
        const int row = rowOf(QStringLiteral("報告書.txt"));
        return row >= 0 && model->text(row, ContentsModel::FullPath) == renamed;
    }));
    EXPECT_EQ(model->rowCount(), 4);

    // While the window is busy nothing is applied; the change arrives once it is idle again.
    QFile::remove(folder + QStringLiteral("/memo.txt"));
    {
        BusyScope busy;
        QTest::qWait(300);
        EXPECT_GE(rowOf(QStringLiteral("memo.txt")), 0);
        EXPECT_TRUE(list->refreshPending());
    }
    EXPECT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("memo.txt")) < 0; }));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownTexts();
}

TEST_F(ContentsListTest, HeaderClicksSortAndReverseWithFoldersFirst)
{
    registerFolder();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->runCommand(32941); // details
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    // The fill sorted by name ascending already: this click reverses it, folders last.
    EXPECT_EQ(column(ContentsModel::Name).last(), QStringLiteral("写真"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(column(ContentsModel::Name).first(), QStringLiteral("写真"));
    const QStringList names = column(ContentsModel::Name).mid(1);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
}

TEST_F(ContentsListTest, LoggingOutShowsThePadlockAndLoggingInShowsTheRowsAgain)
{
    registerFolder();
    messages.script({MsgButton::Yes});
    ASSERT_EQ(frame->tree()->LogoutSelectedFolder(), 0) << shownTexts();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_TRUE(list->shownFolderPath().isEmpty());
    EXPECT_EQ(list->background(), ListBackground::Locked);
    EXPECT_NE(frame->store().engine().IsKeySlotSet(folder), 0);

    prompts.scriptPasswords({QLatin1String(Password)});
    ASSERT_EQ(frame->runCommand(32956), 0) << shownTexts();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(list->background(), ListBackground::Plain);
    EXPECT_EQ(frame->tree()->folderModel()->rowCount(), 1);
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    messages.script({MsgButton::Yes});
    ASSERT_EQ(frame->tree()->UnregisterConcerned(), 0) << shownTexts();
    EXPECT_EQ(frame->tree()->folderModel()->rowCount(), 0);
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}

TEST_F(ContentsListTest, SubfolderGoesToTheTrashAfterAskingAndTheTreeFollows)
{
    registerFolder();
    FolderTreeView* tree = frame->tree();
    ASSERT_TRUE(tree->SelectFolder(folder + QStringLiteral("/写真")));
    EXPECT_EQ(list->shownFolderPath(), folder + QStringLiteral("/写真"));

    messages.script({MsgButton::No});
    EXPECT_EQ(tree->DeleteSelectedSubfolder(false), -1);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/写真")).isDir());

    messages.clear();
    messages.script({MsgButton::Yes});
    ASSERT_EQ(tree->DeleteSelectedSubfolder(false), 0) << shownTexts();
    EXPECT_EQ(messages.texts().first(), MsgA(256) + QStringLiteral("写真"));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/写真")));
    EXPECT_TRUE(QFileInfo(m_home.filePath(QStringLiteral("data/Trash/files/写真"))).isDir());
    EXPECT_EQ(list->shownFolderPath(), folder);
    EXPECT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("写真")) < 0; }));
}

TEST_F(ContentsListTest, FilesPastedOrDroppedFromAFileManagerAreEncryptedIn)
{
    registerFolder();
    const QString cutFile = m_home.filePath(QStringLiteral("desk/cut.txt"));
    const QString copiedFile = m_home.filePath(QStringLiteral("desk/copied.txt"));
    const QString droppedFile = m_home.filePath(QStringLiteral("desk/dropped.txt"));
    WriteTestFile(cutFile, "cut");
    WriteTestFile(copiedFile, "copied");
    WriteTestFile(droppedFile, "dropped");

    // A GNOME file manager's cut, then a KDE one's copy.
    auto* cut = new QMimeData;
    cut->setUrls({QUrl::fromLocalFile(cutFile)});
    cut->setData(QStringLiteral("x-special/gnome-copied-files"),
                 "cut\n" + QUrl::fromLocalFile(cutFile).toEncoded());
    QGuiApplication::clipboard()->setMimeData(cut);
    ASSERT_EQ(frame->runCommand(Command::Paste), 0) << shownTexts();
    EXPECT_FALSE(QFileInfo::exists(cutFile));
    const QMimeData* after = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!after || !after->hasUrls()) << "a cut is pasted once";
    auto* copy = new QMimeData;
    copy->setUrls({QUrl::fromLocalFile(copiedFile)});
    copy->setData(QStringLiteral("application/x-kde-cutselection"), "0");
    QGuiApplication::clipboard()->setMimeData(copy);
    ASSERT_EQ(frame->runCommand(Command::Paste), 0) << shownTexts();
    EXPECT_TRUE(QFileInfo::exists(copiedFile));
    ASSERT_TRUE(WaitFor(
        [&] { return rowOf(QStringLiteral("cut.txt")) >= 0 && rowOf(QStringLiteral("copied.txt")) >= 0; }));

    // A drop onto the folder row, moved in from the drop menu.
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->runCommand(Command::DetailView);
    int chosenAt = 0;
    list->chooseDropCommand = [&](const QPoint&) {
        ++chosenAt;
        return ListCommand::DropEncryptMove;
    };
    const int folderRow = rowOf(QStringLiteral("写真"));
    ASSERT_GE(folderRow, 0);
    const QPoint onFolder = list->visualRect(model->index(folderRow, 0)).center();
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(droppedFile)});
    QDragEnterEvent enter(onFolder, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(onFolder, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    QDropEvent drop(QPointF(onFolder), Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    EXPECT_EQ(chosenAt, 1);
    ASSERT_TRUE(WaitFor([&] { return !QFileInfo::exists(droppedFile); }));
    const QStringList inFolder = QDir(folder + QStringLiteral("/写真")).entryList(QDir::Files);
    ASSERT_EQ(inFolder.size(), 1);
    ContainerInfo info;
    ASSERT_EQ(frame->store().crypt().ReadContainerInfo(folder + QStringLiteral("/写真/") + inFolder.first(),
                                                       &info, folder, false),
              0);
    EXPECT_EQ(info.plainName, QStringLiteral("dropped.txt"));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownTexts();
}

TEST_F(ContentsListTest, RowsDraggedOutDecryptedAreDecryptedOnlyWhenTheTargetAsks)
{
    registerFolder();
    frame->settings().DandDDecryFlg = 1;
    const QString takeOutArea = frame->store().folders().StoreFolderOf(folder, 0) + QStringLiteral("/To");
    auto selectReport = [&] {
        list->clearSelection();
        list->selectionModel()->select(model->index(rowOf(QStringLiteral("報告書.txt")), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };

    // Never asked for its data: nothing is decrypted, nothing changes.
    selectReport();
    std::unique_ptr<QMimeData> ignored(list->dragData(true));
    EXPECT_TRUE(ignored->hasUrls()) << "the target sees files on offer";
    list->dragFinished(ignored.get());
    EXPECT_FALSE(QFileInfo(takeOutArea).isDir());
    EXPECT_TRUE(QFileInfo::exists(report));

    // Asked for: decrypted then; the target moves the copy away, so the original goes.
    selectReport();
    std::unique_ptr<QMimeData> taken(list->dragData(true));
    const QList<QUrl> urls = taken->urls();
    ASSERT_EQ(urls.size(), 1) << shownTexts();
    const QString copy = urls.first().toLocalFile();
    EXPECT_EQ(ReadTestFile(copy), QByteArray(3000, 'r'));
    const QString desk = m_home.filePath(QStringLiteral("desk"));
    QDir().mkpath(desk);
    ASSERT_TRUE(QFile::rename(copy, desk + QStringLiteral("/報告書.txt")));
    list->dragFinished(taken.get());
    EXPECT_FALSE(QFileInfo::exists(report)) << "moved out by the drop target";
    EXPECT_TRUE(QFileInfo(takeOutArea).isFile()) << "the take-out area is closed again";
    EXPECT_TRUE(messages.shown().isEmpty()) << shownTexts();
}

TEST_F(ContentsListTest, TwoFilesOfOneNameLeaveOnlyTakingOutAsTheyAre)
{
    EncryptTestFile(frame->store().crypt(), m_home.path(), folder, QStringLiteral("報告書.txt"),
                    CryptEngine::TemporarySlotName, "another report");
    registerFolder();
    list->selectionModel()->select(model->index(rowOf(QStringLiteral("README")), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    std::unique_ptr<QMenu> menu(list->buildContextMenu(true));
    ASSERT_NE(menu, nullptr);
    QList<int> ids;
    for (QAction* action : menu->actions()) {
        ids.append(action->data().toInt());
    }
    EXPECT_EQ(ids, QList<int>{ListCommand::TakeOutAsIsOnly});
    EXPECT_FALSE(frame->action(Command::Open)->isEnabled())
        << "file commands wait for the names to be told apart";
}

// The paste entries follow both clipboards: the program's own items are pasted, files another
// program offers are encrypted in, and what another program puts there empties ours.
TEST_F(ContentsListTest, PasteTextFollowsBothClipboards)
{
    registerFolder();
    auto pasteEntry = [&] {
        std::unique_ptr<QMenu> menu(list->buildContextMenu(false));
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == ListCommand::Paste) {
                return std::make_pair(action->text(), action->isEnabled());
            }
        }
        return std::make_pair(QString(), false);
    };
    auto mainPaste = [&] {
        frame->updateCommandStates();
        return frame->action(Command::Paste)->text();
    };
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(pasteEntry(), std::make_pair(QStringLiteral("貼り付け(&P)"), false));

    list->selectionModel()->select(model->index(rowOf(QStringLiteral("報告書.txt")), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(frame->runCommand(ListCommand::Copy), 0) << shownTexts();
    EXPECT_EQ(pasteEntry(), std::make_pair(QStringLiteral("貼り付け(&P)"), true));
    EXPECT_EQ(mainPaste(), QStringLiteral("貼り付け(&P)"));

    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(m_home.filePath(QStringLiteral("outside.txt")))});
    QGuiApplication::clipboard()->setMimeData(files);
    ASSERT_TRUE(WaitFor([&] { return pasteEntry().first == QStringLiteral("暗号化して貼り付け(&P)"); }));
    EXPECT_EQ(mainPaste(), QStringLiteral("暗号化して貼り付け(&P)"));

    // Copied again and pasted into its own folder: a named copy.
    QGuiApplication::clipboard()->clear();
    ASSERT_EQ(frame->runCommand(ListCommand::Copy), 0);
    list->clearSelection();
    ASSERT_EQ(frame->runCommand(ListCommand::Paste), 0) << shownTexts();
    ASSERT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("報告書 - コピー.txt")) >= 0; }));
    EXPECT_TRUE(frame->action(Command::Undo)->text().startsWith(QStringLiteral("元に戻す - コピー")));
}

// Editing a row's name renames the entry; the undo command names what it reverts and is disabled
// once nothing is left to revert.
TEST_F(ContentsListTest, LabelEditingRenamesAndUndoRevertsIt)
{
    registerFolder();
    frame->updateCommandStates();
    EXPECT_FALSE(frame->action(Command::Undo)->isEnabled());
    EXPECT_EQ(frame->action(Command::Undo)->text(), QStringLiteral("元に戻す(&U)"));

    ASSERT_TRUE(list->StartRenaming(report));
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("メモ"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("メモ.txt")) >= 0; })) << shownTexts();
    EXPECT_TRUE(QFileInfo::exists(report)) << "the container keeps its generated name";

    frame->updateCommandStates();
    EXPECT_TRUE(frame->action(Command::Undo)->isEnabled());
    EXPECT_EQ(frame->action(Command::Undo)->text(), QStringLiteral("元に戻す - 名前の変更(&U)"));
    ASSERT_EQ(frame->runCommand(Command::Undo), 0) << shownTexts();
    ASSERT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("報告書.txt")) >= 0; }));
    EXPECT_FALSE(frame->action(Command::Undo)->isEnabled());
}

// Deleting from the list goes to the Trash and the undo command brings the very file back.
TEST_F(ContentsListTest, DeletedFileComesBackWithUndo)
{
    registerFolder();
    const QByteArray bytes = ReadTestFile(report);
    list->selectionModel()->select(model->index(rowOf(QStringLiteral("報告書.txt")), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    messages.script({MsgButton::Yes});
    ASSERT_EQ(frame->runCommand(ListCommand::Delete), 0) << shownTexts();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("'報告書.txt") + MsgA(1)});
    EXPECT_FALSE(QFileInfo::exists(report));
    EXPECT_EQ(frame->action(Command::Undo)->text(), QStringLiteral("元に戻す - 削除(&U)"));
    EXPECT_EQ(frame->action(Command::Undo)->statusTip(), QStringLiteral("元に戻す - '報告書.txt' の削除"));

    ASSERT_EQ(frame->runCommand(Command::Undo), 0) << shownTexts();
    EXPECT_EQ(ReadTestFile(report), bytes);
    ASSERT_TRUE(WaitFor([&] { return rowOf(QStringLiteral("報告書.txt")) >= 0; }));
}

// A file whose name is no valid text in the file system's encoding is listed with a replacement
// mark, and operations on it are refused without touching it or any other file.
TEST_F(ContentsListTest, NameThatIsNoValidTextIsListedAndLeftAlone)
{
    const QByteArray raw = QFile::encodeName(folder) + "/bad\xff.txt";
    {
        FILE* out = std::fopen(raw.constData(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("plain", out);
        std::fclose(out);
    }
    registerFolder();
    const int row = rowOf(QStringLiteral("bad\uFFFD.txt"));
    ASSERT_GE(row, 0) << column(ContentsModel::OriginalName).join('|').toStdString() << shownTexts();
    EXPECT_EQ(model->text(row, ContentsModel::PlainFlag), QStringLiteral("1"));
    list->selectionModel()->select(model->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    messages.script({MsgButton::Yes});
    EXPECT_EQ(frame->runCommand(ListCommand::Delete), -1);
    EXPECT_TRUE(messages.texts().value(0).contains(QStringLiteral("文字として読めない"))) << shownTexts();
    struct stat st;
    EXPECT_EQ(::stat(raw.constData(), &st), 0) << "still there: " << shownTexts();
    EXPECT_TRUE(QFileInfo::exists(report));
}

// Every entry of the list's menus reaches an operation.
TEST_F(ContentsListTest, EveryEntryOfTheListMenusIsRouted)
{
    registerFolder();
    QStringList unrouted;
    auto check = [&](QMenu* menu, const auto& self) -> void {
        for (QAction* action : menu->actions()) {
            if (action->menu()) {
                self(action->menu(), self);
            } else if (action->data().toInt() != 0 && !frame->router().isRouted(action->data().toInt())) {
                unrouted.append(action->text());
            }
        }
    };
    for (const char* name : {"写真", "報告書.txt", ""}) {
        list->clearSelection();
        const int row = rowOf(QString::fromUtf8(name));
        if (row >= 0) {
            list->selectionModel()->select(model->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        std::unique_ptr<QMenu> menu(list->buildContextMenu(row >= 0));
        ASSERT_NE(menu, nullptr) << name;
        check(menu.get(), check);
    }
    EXPECT_TRUE(unrouted.isEmpty()) << unrouted.join(QStringLiteral(", ")).toStdString();
}
