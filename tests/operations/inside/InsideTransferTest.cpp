#include "operations/inside/InsideTransfer.h"

#include "operations/OperationsFixture.h"
#include "operations/inside/DeleteEntries.h"
#include "operations/inside/NewEntries.h"
#include "operations/inside/RenameEntry.h"
#include "operations/inside/UndoHistory.h"
#include "operations/inside/UndoRevert.h"
#include "store/checks/ContainerChecks.h"
#include "store/metadata/EntryRecord.h"
#include "store/working/StoreAreas.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/MessageText.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QUuid>

namespace {

// Two registered folders of different passwords: "vault/secret" (the fixture's) and
// "vault/other".
class InsideTransferTest : public OperationsTest
{
protected:
    static constexpr const char* OtherPassword = "Other-pass2";

    void SetUp() override
    {
        OperationsTest::SetUp();
        // The Trash of these tests lives in the temporary home, on the vault's volume.
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("xdg"))));
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("xdg"))));
        ASSERT_TRUE(QDir().mkpath(other));
        ASSERT_EQ(store.folders().AddRegisteredFolder(other, QString(), QLatin1String(OtherPassword),
                                                      QStringLiteral("0"), QStringLiteral("S00002"),
                                                      QStringLiteral("0"), DriveFixed),
                  0);
        ASSERT_EQ(
            engine.SetKeySlot(CryptEngine::PasswordToBytes(QLatin1String(OtherPassword)), other, QString()),
            0);
        messages.clear();
    }

    // A container in a folder of either registered folder, under its folder's key.
    QString make(const QString& folder, const QString& name, const QByteArray& bytes = "secret contents")
    {
        const QString slot = folder.startsWith(other) ? other : root;
        QDir().mkpath(folder);
        const QString container =
            EncryptTestFile(crypt, path(QStringLiteral("plain")), folder, name, slot, bytes);
        EXPECT_EQ(store.metadata().SyncFolderMetadata(folder, slot), 0) << shownMessages();
        return container;
    }

    // Shown name -> plain bytes of every file below the folder, read with the key given; a file
    // the key does not open shows as "?" + its file name.
    QMap<QString, QByteArray> contents(const QString& folder, const QString& slot)
    {
        QMap<QString, QByteArray> found;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = QDir(folder).relativeFilePath(QFileInfo(file).path());
            const QString prefix = relative == QLatin1String(".") ? QString() : relative + QLatin1Char('/');
            ContainerInfo info;
            if (store.checks().IsReadableContainer(file, slot) != 0 ||
                crypt.ReadContainerInfo(file, &info, slot, false) != 0) {
                found.insert(prefix + QStringLiteral("?") + it.fileName(), QByteArray());
                continue;
            }
            const QString plain = path(QStringLiteral("check/")) + QUuid::createUuid().toString(QUuid::Id128);
            QDir().mkpath(plain);
            EXPECT_EQ(crypt.DecryptToFile(file, plain + QStringLiteral("/x"), slot), 0);
            found.insert(prefix + info.plainName, ReadTestFile(plain + QStringLiteral("/x")));
        }
        return found;
    }

    QStringList shownNames(const QString& folder)
    {
        const QString slot = folder.startsWith(other) ? other : root;
        EXPECT_EQ(store.metadata().SyncFolderMetadata(folder, slot), 0);
        QStringList lines;
        EXPECT_EQ(store.metadata().LoadEntryRecords(folder, slot, 0, &lines), 0);
        QStringList names;
        for (const QString& line : lines) {
            EntryRecord record;
            ParseEntryRecord(line, &record);
            names.append(record.DisplayName);
        }
        names.sort();
        return names;
    }

    // Whether any plain file is left in a scratch area of the working folder.
    bool scratchHoldsFiles()
    {
        QDirIterator it(store.workingFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            if (it.next().contains(QStringLiteral("/Ce/"))) {
                return true;
            }
        }
        return false;
    }

    UndoHistory history;
    const QString other = path(QStringLiteral("vault/other"));
};

} // namespace

// A folder cut in one encrypted folder and pasted into another: every file is encrypted again
// with the other password, nothing stays behind, and no plain copy is left anywhere.
TEST_F(InsideTransferTest, FolderMovedAcrossFoldersIsReadableOnlyWithTheTargetPassword)
{
    make(root + QStringLiteral("/docs"), QStringLiteral("a.txt"), "alpha");
    make(root + QStringLiteral("/docs/sub"), QStringLiteral("b.txt"), "beta");
    InsideClipboard clipboard{{root + QStringLiteral("/docs")}, true, root};

    InsideTransfer transfer(store, history);
    ASSERT_EQ(transfer.InsidePaste(clipboard, other), 0) << shownMessages();

    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/docs")));
    const QMap<QString, QByteArray> expected{{QStringLiteral("a.txt"), "alpha"},
                                             {QStringLiteral("sub/b.txt"), "beta"}};
    EXPECT_EQ(contents(other + QStringLiteral("/docs"), other), expected);
    const QStringList underFirstKey = contents(other + QStringLiteral("/docs"), root).keys();
    EXPECT_EQ(underFirstKey,
              (QStringList{QStringLiteral("?") +
                               QDir(other + QStringLiteral("/docs")).entryList(QDir::Files).value(0),
                           QStringLiteral("sub/?") +
                               QDir(other + QStringLiteral("/docs/sub")).entryList(QDir::Files).value(0)}));
    EXPECT_EQ(shownNames(other + QStringLiteral("/docs")), QStringList{QStringLiteral("a.txt")});
    EXPECT_FALSE(scratchHoldsFiles());
    EXPECT_TRUE(transfer.foldersInvolved());

    // Undo moves it back, encrypted with the first folder's password again.
    UndoRevert revert(store, history);
    ASSERT_NE(history.newest(), nullptr);
    EXPECT_TRUE(revert.CanRevert(*history.newest()));
    ASSERT_EQ(revert.RevertNewest(), 0) << shownMessages();
    EXPECT_EQ(contents(root + QStringLiteral("/docs"), root), expected);
    EXPECT_FALSE(QFileInfo::exists(other + QStringLiteral("/docs")));
    EXPECT_EQ(history.count(), 0);
    EXPECT_FALSE(scratchHoldsFiles());
}

// Inside one encrypted folder a container is copied or moved as it is, byte for byte.
TEST_F(InsideTransferTest, InsideOneFolderContainersKeepTheirBytes)
{
    const QString source = make(root, QStringLiteral("report.txt"), "report");
    const QByteArray bytes = ReadTestFile(source);
    QDir().mkpath(root + QStringLiteral("/copies"));
    QDir().mkpath(root + QStringLiteral("/moved"));
    InsideTransfer transfer(store, history);

    ASSERT_EQ(transfer.TransferItems(false, {source}, root + QStringLiteral("/copies"), true), 0)
        << shownMessages();
    ASSERT_EQ(transfer.TransferItems(true, {source}, root + QStringLiteral("/moved"), true), 0)
        << shownMessages();

    EXPECT_FALSE(QFileInfo::exists(source));
    for (const char* folder : {"/copies", "/moved"}) {
        const QStringList files = QDir(root + QLatin1String(folder)).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 1) << folder;
        EXPECT_EQ(ReadTestFile(root + QLatin1String(folder) + QLatin1Char('/') + files.first()), bytes)
            << folder;
        EXPECT_EQ(shownNames(root + QLatin1String(folder)), QStringList{QStringLiteral("report.txt")});
    }
    EXPECT_EQ(shownNames(root), QStringList());
    EXPECT_EQ(history.count(), 2);
}

// A copy pasted where it came from is named as a copy; a folder as well.
TEST_F(InsideTransferTest, CopyIntoItsOwnFolderMakesNamedCopies)
{
    const QString report = make(root, QStringLiteral("report.txt"), "report");
    make(root + QStringLiteral("/Docs"), QStringLiteral("in.txt"), "inside");
    InsideTransfer transfer(store, history);

    ASSERT_EQ(transfer.InsidePaste({{report}, false, root}, root), 0) << shownMessages();
    ASSERT_EQ(transfer.InsidePaste({{report}, false, root}, root), 0) << shownMessages();
    ASSERT_EQ(transfer.InsidePaste({{root + QStringLiteral("/Docs")}, false, root}, root), 0)
        << shownMessages();
    // A cut into the same folder changes nothing.
    ASSERT_EQ(transfer.InsidePaste({{report}, true, root}, root), 0) << shownMessages();

    EXPECT_EQ(shownNames(root),
              (QStringList{QStringLiteral("report - コピー (2).txt"), QStringLiteral("report - コピー.txt"),
                           QStringLiteral("report.txt")}));
    EXPECT_EQ(contents(root + QStringLiteral("/Docs - コピー"), root),
              (QMap<QString, QByteArray>{{QStringLiteral("in.txt"), "inside"}}));
    EXPECT_EQ(history.count(), 3);
}

// Collisions are asked; the answers decide what is replaced and what is left alone.
TEST_F(InsideTransferTest, CollisionAnswersDecideWhatIsReplaced)
{
    struct Case
    {
        const char* name;
        QList<OverwriteAnswer> answers;
        QByteArray expectedA;
        QByteArray expectedB;
        int questions;
    };
    const Case cases[] = {
        {"replace all", {OverwriteYesToAll}, "new a", "new b", 1},
        {"skip the first", {OverwriteNo, OverwriteYes}, "old a", "new b", 2},
        {"cancel", {OverwriteCancel}, "old a", "old b", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString from =
            root + QStringLiteral("/from") + QString::fromLatin1(c.name).remove(QLatin1Char(' '));
        const QString to =
            other + QStringLiteral("/to") + QString::fromLatin1(c.name).remove(QLatin1Char(' '));
        const QStringList items{make(from, QStringLiteral("a.txt"), "new a"),
                                make(from, QStringLiteral("b.txt"), "new b")};
        make(to, QStringLiteral("a.txt"), "old a");
        make(to, QStringLiteral("b.txt"), "old b");
        prompts.scriptOverwrites(c.answers);
        const int askedBefore = int(prompts.asked().size());

        EXPECT_EQ(InsideTransfer(store, history).TransferItems(false, items, to, true), 0) << shownMessages();

        EXPECT_EQ(int(prompts.asked().size()) - askedBefore, c.questions);
        const QMap<QString, QByteArray> expected{{QStringLiteral("a.txt"), c.expectedA},
                                                 {QStringLiteral("b.txt"), c.expectedB}};
        EXPECT_EQ(contents(to, other), expected);
        EXPECT_EQ(QDir(from).entryList(QDir::Files).size(), 2); // a copy leaves the sources
    }
}

// The checks of a paste or drag run over every item before anything changes.
TEST_F(InsideTransferTest, RefusalsChangeNothing)
{
    const QString report = make(root, QStringLiteral("report.txt"));
    const QString mixed = root + QStringLiteral("/mixed");
    make(mixed, QStringLiteral("kept.txt"));
    WriteTestFile(mixed + QStringLiteral("/plain.txt"), "not encrypted");
    InsideTransfer transfer(store, history);

    EXPECT_EQ(transfer.InsidePaste({{report, mixed}, true, root}, other), -1);
    EXPECT_TRUE(messages.texts().value(0).startsWith(MsgA(104) + mixed + QStringLiteral("/plain.txt")))
        << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report));
    EXPECT_TRUE(QDir(other).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

    messages.clear();
    EXPECT_EQ(transfer.DragTransfer(false, {report}, root), -1);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("report.txt を") + QStringLiteral("コピー") + MsgA(315)});

    // A file whose decrypted copy is out stays where it is.
    const QString copy = store.copyPaths().WorkingCopyPathOf(report);
    QDir().mkpath(QFileInfo(copy).path());
    WriteTestFile(copy, "being edited");
    messages.clear();
    EXPECT_EQ(transfer.DragTransfer(true, {report}, other), -1);
    EXPECT_TRUE(messages.texts().value(0).startsWith(MsgA(55))) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report));
    EXPECT_EQ(history.count(), 0);
}

// A stop request ends the transfer before the next file; everything is at its source or
// complete at its target.
TEST_F(InsideTransferTest, StopLeavesEveryItemWhole)
{
    const QStringList items{make(root, QStringLiteral("a.txt"), "a"),
                            make(root, QStringLiteral("b.txt"), "b")};
    BusyScope busy(true);
    MainWindowServices::instance().RequestCancel();

    EXPECT_EQ(InsideTransfer(store, history).TransferItems(true, items, other, true), 0);

    EXPECT_EQ(messages.texts(), QStringList{MsgA(107)});
    EXPECT_TRUE(QFileInfo::exists(items.at(0)) && QFileInfo::exists(items.at(1)));
    EXPECT_TRUE(contents(other, other).isEmpty());
    EXPECT_EQ(history.count(), 0);
}

// Delete to the Trash and undo: the very container comes back to its place and is listed.
TEST_F(InsideTransferTest, DeleteToTheTrashIsUndone)
{
    const QString report = make(root + QStringLiteral("/docs"), QStringLiteral("report.txt"), "keep me");
    const QByteArray bytes = ReadTestFile(report);
    const QString folder = root + QStringLiteral("/docs");
    messages.script({MsgButton::Yes});

    DeleteEntries remove(store, history);
    ASSERT_EQ(remove.Run({folder}, root, false), 0) << shownMessages();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("'docs") + MsgA(1)});
    EXPECT_FALSE(QFileInfo::exists(folder));
    ASSERT_EQ(history.count(), 1);
    EXPECT_EQ(UndoHistory::StatusPrompt(history.newest()), QStringLiteral("元に戻す - 'docs' の削除"));

    UndoRevert revert(store, history);
    ASSERT_EQ(revert.RevertNewest(), 0) << shownMessages();
    EXPECT_EQ(ReadTestFile(report), bytes);
    EXPECT_EQ(shownNames(folder), QStringList{QStringLiteral("report.txt")});
    EXPECT_TRUE(revert.foldersChanged());

    // A permanent delete cannot be undone: nothing is recorded.
    messages.script({MsgButton::Yes});
    ASSERT_EQ(remove.Run({report}, folder, true), 0) << shownMessages();
    EXPECT_FALSE(QFileInfo::exists(report));
    EXPECT_EQ(history.count(), 0);
}

// A restore never replaces what stands at the former path now.
TEST_F(InsideTransferTest, RestoreLeavesANewItemAtTheFormerPathAlone)
{
    const QString report = make(root, QStringLiteral("report.txt"), "deleted");
    messages.script({MsgButton::Yes});
    ASSERT_EQ(DeleteEntries(store, history).Run({report}, root, false), 0);
    WriteTestFile(report, "new file in its place");

    EXPECT_EQ(UndoRevert(store, history).RevertNewest(), -1);
    EXPECT_EQ(ReadTestFile(report), QByteArray("new file in its place"));
    EXPECT_EQ(history.count(), 1);
}

// Rename, copy and move are each undone; the copy asks first and a "no" keeps the record.
TEST_F(InsideTransferTest, RenameCopyAndMoveAreUndone)
{
    const QString report = make(root, QStringLiteral("report.txt"), "r");
    QDir().mkpath(root + QStringLiteral("/sub"));
    UndoRevert revert(store, history);

    ASSERT_EQ(RenameEntry(store).Run(report, QStringLiteral("notes.txt"), &history), 0) << shownMessages();
    EXPECT_EQ(UndoHistory::MenuText(history.newest()), QStringLiteral("元に戻す - 名前の変更(&U)\tCtrl+Z"));
    EXPECT_EQ(UndoHistory::StatusPrompt(history.newest()),
              QStringLiteral("元に戻す - 'report.txt' を ' notes.txt' に変更"));
    ASSERT_EQ(revert.RevertNewest(), 0) << shownMessages();
    EXPECT_EQ(shownNames(root), QStringList{QStringLiteral("report.txt")});

    InsideTransfer transfer(store, history);
    ASSERT_EQ(transfer.TransferItems(false, {report}, root + QStringLiteral("/sub"), true), 0);
    messages.script({MsgButton::No});
    EXPECT_EQ(revert.RevertNewest(), -1);
    EXPECT_EQ(history.count(), 1);
    messages.script({MsgButton::Yes});
    ASSERT_EQ(revert.RevertNewest(), 0) << shownMessages();
    EXPECT_EQ(shownNames(root + QStringLiteral("/sub")), QStringList());
    EXPECT_TRUE(QFileInfo::exists(report));

    ASSERT_EQ(transfer.TransferItems(true, {report}, root + QStringLiteral("/sub"), true), 0);
    EXPECT_FALSE(QFileInfo::exists(report));
    ASSERT_EQ(revert.RevertNewest(), 0) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report));
    EXPECT_EQ(shownNames(root + QStringLiteral("/sub")), QStringList());
    EXPECT_EQ(history.count(), 0);
}

// The history keeps ten records; a copy removed by hand can no longer be reverted.
TEST_F(InsideTransferTest, HistoryKeepsTheLastTenRevertibleRecords)
{
    for (int i = 0; i < 11; ++i) {
        UndoRecord record;
        record.kind = UndoRecord::Copy;
        record.items.append({QStringLiteral("/copy%1").arg(i), {}, {}, QStringLiteral("n%1").arg(i), {}});
        history.Record(record);
    }
    EXPECT_EQ(history.count(), 10);
    EXPECT_EQ(history.newest()->items.first().name, QStringLiteral("n10"));
    EXPECT_FALSE(UndoRevert(store, history).CanRevert(*history.newest()));

    UndoRecord three;
    three.kind = UndoRecord::Delete;
    for (const char* name : {"a", "b", "c"}) {
        three.items.append({{}, {}, {}, QLatin1String(name), {}});
    }
    EXPECT_EQ(UndoHistory::StatusPrompt(&three), QStringLiteral("元に戻す - 'a' を含む3個の削除"));
    EXPECT_EQ(UndoHistory::MenuText(nullptr), QStringLiteral("元に戻す(&U)\tCtrl+Z"));
}

// New files are encrypted at once under the first free name; no plain copy stays behind.
TEST_F(InsideTransferTest, NewFilesAndFoldersTakeTheFirstFreeName)
{
    NewEntries entries(store);
    NewFileContent content;
    content.kind = NewFileContent::Bytes;
    content.bytes = "template text";
    QString first;
    QString second;
    ASSERT_EQ(entries.NewFile(root, QStringLiteral("新規 テキスト"), QStringLiteral(".txt"), content, &first),
              0)
        << shownMessages();
    ASSERT_EQ(entries.NewFile(root, QStringLiteral("新規 テキスト"), QStringLiteral(".txt"), {}, &second), 0)
        << shownMessages();
    const QMap<QString, QByteArray> expected{{QStringLiteral("新規 テキスト.txt"), "template text"},
                                             {QStringLiteral("新規 テキスト (2).txt"), QByteArray()}};
    EXPECT_EQ(contents(root, root), expected);
    EXPECT_FALSE(scratchHoldsFiles());

    QString folder;
    ASSERT_EQ(entries.NewFolder(root, &folder), 0);
    ASSERT_EQ(entries.NewFolder(root, &folder), 0);
    EXPECT_EQ(folder, root + QStringLiteral("/新しいフォルダー (2)"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
