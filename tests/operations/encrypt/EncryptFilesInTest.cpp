#include "operations/encrypt/EncryptFilesIn.h"

#include "engine/ContainerFormat.h"
#include "operations/OperationsFixture.h"
#include "operations/encrypt/DroppedFiles.h"
#include "store/checks/ContainerChecks.h"
#include "store/metadata/EntryRecord.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <sys/stat.h>

namespace {

class EncryptFilesInTest : public OperationsTest
{
protected:
    // A plain file outside the store with a fixed modification time.
    QString outside(const QString& relative, const QByteArray& bytes)
    {
        const QString file = path(QStringLiteral("outside/") + relative);
        WriteTestFile(file, bytes);
        SetModifiedTime(file, QDateTime(QDate(2023, 4, 5), QTime(6, 7, 8)));
        return file;
    }

    // Original name -> plain bytes of every container below the folder, decrypted with the key.
    QMap<QString, QByteArray> decryptAll(const QString& folder, const QString& slot = QString())
    {
        QMap<QString, QByteArray> found;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString container = it.next();
            const QString target =
                path(QStringLiteral("check/") + QUuid::createUuid().toString(QUuid::Id128));
            QDir().mkpath(target);
            ContainerInfo info;
            EXPECT_EQ(crypt.ReadContainerInfo(container, &info, slot.isEmpty() ? root : slot, false), 0)
                << container.toStdString();
            EXPECT_EQ(crypt.DecryptToFile(container, target + QLatin1Char('/') + info.plainName,
                                          slot.isEmpty() ? root : slot),
                      0);
            const QString relative = QDir(folder).relativeFilePath(QFileInfo(container).path());
            found.insert((relative == QLatin1String(".") ? QString() : relative + QLatin1Char('/')) +
                             info.plainName,
                         ReadTestFile(target + QLatin1Char('/') + info.plainName));
        }
        return found;
    }

    QStringList displayNames(const QString& folder)
    {
        QStringList lines;
        EXPECT_EQ(store.metadata().LoadEntryRecords(folder, root, 0, &lines), 0);
        QStringList names;
        for (const QString& line : lines) {
            EntryRecord record;
            EXPECT_EQ(ParseEntryRecord(line, &record), 0);
            names.append(record.DisplayName);
        }
        names.sort();
        return names;
    }

    EncryptFilesIn encryptIn{store};
};

} // namespace

TEST_F(EncryptFilesInTest, CopyAndMoveBringFilesAndTreesInUnderTheirNames)
{
    const QString report = outside(QStringLiteral("report.txt"), "quarterly report");
    const QString tree = path(QStringLiteral("outside/写真"));
    outside(QStringLiteral("写真/a.jpg"), "picture a");
    outside(QStringLiteral("写真/2024/b.jpg"), QByteArray(300000, 'b'));

    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {report}), 0) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report)) << "a copy keeps its source";
    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Move, root, {tree}), 0) << shownMessages();
    EXPECT_TRUE(encryptIn.foldersChanged());
    EXPECT_FALSE(QFileInfo::exists(tree)) << "a moved tree goes once everything is in";

    const QMap<QString, QByteArray> inside = decryptAll(root);
    EXPECT_EQ(inside.value(QStringLiteral("report.txt")), QByteArray("quarterly report"));
    EXPECT_EQ(inside.value(QStringLiteral("写真/a.jpg")), QByteArray("picture a"));
    EXPECT_EQ(inside.value(QStringLiteral("写真/2024/b.jpg")), QByteArray(300000, 'b'));
    EXPECT_EQ(inside.size(), 3);
    EXPECT_EQ(displayNames(root), QStringList{QStringLiteral("report.txt")});
    EXPECT_EQ(displayNames(root + QStringLiteral("/写真")), QStringList{QStringLiteral("a.jpg")});
    ContainerInfo info;
    QDirIterator it(root, QDir::Files);
    ASSERT_EQ(crypt.ReadContainerInfo(it.next(), &info, root, false), 0);
    EXPECT_EQ(info.modifiedAt, QStringLiteral("2023/04/05 06:07:08"));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(EncryptFilesInTest, CollisionsAreAskedAndAnsweredAsTheUserSays)
{
    const QString existing = encrypt(root, QStringLiteral("a.txt"));
    encrypt(root, QStringLiteral("b.txt"));
    const QByteArray before = ReadTestFile(existing);
    const QStringList sources = {outside(QStringLiteral("a.txt"), "new a"),
                                 outside(QStringLiteral("b.txt"), "new b")};
    const struct
    {
        const char* name;
        QList<OverwriteAnswer> answers;
        int asked;
        QByteArray a;
        QByteArray b;
        int result;
    } cases[] = {
        {"skip both", {OverwriteNo, OverwriteNo}, 2, "secret contents", "secret contents", 0},
        {"cancel at the first", {OverwriteCancel}, 1, "secret contents", "secret contents", -1},
        {"replace the first only", {OverwriteYes, OverwriteNo}, 2, "new a", "secret contents", 0},
        {"replace all", {OverwriteYesToAll}, 1, "new a", "new b", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.scriptOverwrites(c.answers);
        const qsizetype asked = prompts.asked().size();
        EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, sources), c.result) << shownMessages();
        EXPECT_EQ(prompts.asked().size() - asked, c.asked);
        const QMap<QString, QByteArray> inside = decryptAll(root);
        EXPECT_EQ(inside.size(), 2) << "a replaced container keeps its place";
        EXPECT_EQ(inside.value(QStringLiteral("a.txt")), c.a);
        EXPECT_EQ(inside.value(QStringLiteral("b.txt")), c.b);
        if (c.a == "secret contents") {
            EXPECT_EQ(ReadTestFile(existing), before);
        }
        // The next case starts from the old contents again.
        if (c.a != "secret contents" || c.b != "secret contents") {
            for (const QString& file : QDir(root).entryList(QDir::Files)) {
                QFile::remove(root + QLatin1Char('/') + file);
            }
            encrypt(root, QStringLiteral("a.txt"));
            encrypt(root, QStringLiteral("b.txt"));
        }
    }
}

TEST_F(EncryptFilesInTest, RefusalsEndTheOperationAndKeepWhatWasBroughtIn)
{
    const QString first = outside(QStringLiteral("one/same.txt"), "1");
    const QString second = outside(QStringLiteral("two/same.txt"), "2");
    EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Move, root, {first, second}), -1);
    EXPECT_TRUE(shown(27)) << shownMessages();
    EXPECT_FALSE(QFileInfo::exists(first)) << "the first was brought in";
    EXPECT_TRUE(QFileInfo::exists(second)) << "the second is untouched";
    EXPECT_EQ(decryptAll(root).value(QStringLiteral("same.txt")), QByteArray("1"));

    // A newer-format container.
    messages.clear();
    const QString newer = encrypt(path(QStringLiteral("outside")), QStringLiteral("newer.txt"));
    QByteArray bytes = ReadTestFile(newer);
    QByteArray header = bytes.left(ContainerFormat::HeaderSize);
    ASSERT_EQ(engine.DecipherWithIntrinsicKey(header.data(), header.size()), 0);
    header.replace(ContainerFormat::Offset::Version, 6,
                   QByteArray("0\0"
                              "0\0"
                              "2\0",
                              6));
    ASSERT_EQ(engine.EncipherWithIntrinsicKey(header.data(), header.size()), 0);
    WriteTestFile(newer, bytes.replace(0, header.size(), header));
    EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {newer}), -1);
    EXPECT_TRUE(shown(67)) << shownMessages();

    // A pipe is refused at once, never opened.
    messages.clear();
    const QString pipe = path(QStringLiteral("outside/pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {pipe}), -1);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(pipe));

    // A copy that is open for use cannot be replaced.
    messages.clear();
    const QString container = encrypt(root, QStringLiteral("open.txt"));
    WriteTestFile(store.copyPaths().WorkingCopyPathOf(container), "being edited");
    prompts.scriptOverwrites({OverwriteYes});
    EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {outside(QStringLiteral("open.txt"), "x")}), -1);
    EXPECT_TRUE(shown(73)) << shownMessages();
    EXPECT_EQ(decryptAll(root).value(QStringLiteral("open.txt")), QByteArray("secret contents"));
}

TEST_F(EncryptFilesInTest, IdenticalFilesAreSkippedAndCountedWhenTheSettingSaysSo)
{
    store.settings().OutsideReWriteSkipFlg = 1;
    const QString file = outside(QStringLiteral("same.txt"), "unchanged");
    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {file}), 0);
    const QStringList before = QDir(root).entryList(QDir::Files);
    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {file}), 0) << shownMessages();
    EXPECT_EQ(encryptIn.skippedIdentical(), 1);
    EXPECT_EQ(QDir(root).entryList(QDir::Files), before);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(644) + QStringLiteral("1") + MsgA(645)});
    EXPECT_TRUE(prompts.asked().isEmpty()) << "identical files are not asked about";
}

TEST_F(EncryptFilesInTest, ContainersOfThisKeyAreCopiedAndOthersAdoptedWithTheirPassword)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("outside"))));
    const QString own = encrypt(path(QStringLiteral("outside")), QStringLiteral("own.txt"));
    const QString own2 = encrypt(path(QStringLiteral("outside")), QStringLiteral("own2.txt"));
    prompts.scriptNotices({true}); // do not show again
    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {own, own2}), 0) << shownMessages();
    EXPECT_EQ(prompts.asked().count(QStringLiteral("notice: ") + MsgA(68) + own + MsgA(69)), 1);
    EXPECT_EQ(prompts.asked().size(), 1) << "the notice is shown once";
    QStringList copies;
    for (const QString& name : QDir(root).entryList(QDir::Files)) {
        copies.append(QString::fromLatin1(ReadTestFile(root + QLatin1Char('/') + name).toHex()));
    }
    EXPECT_TRUE(copies.contains(QString::fromLatin1(ReadTestFile(own).toHex()))) << "copied unchanged";

    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Other-pass9")),
                                QStringLiteral("/other"), QString()),
              0);
    const QString foreign =
        encrypt(path(QStringLiteral("outside")), QStringLiteral("foreign.txt"), QStringLiteral("/other"));
    messages.script({MsgButton::Yes});
    prompts.scriptPasswords({QStringLiteral("Wrong-pass1"), QStringLiteral("Other-pass9")});
    ASSERT_EQ(encryptIn.Run(EncryptFilesIn::Copy, root, {foreign}), 0) << shownMessages();
    EXPECT_TRUE(shown(78));
    EXPECT_TRUE(shown(80)) << "the wrong password is refused first";
    EXPECT_EQ(decryptAll(root).value(QStringLiteral("foreign.txt")), QByteArray("secret contents"));
    QDirIterator scratch(store.workingFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (scratch.hasNext()) {
        EXPECT_FALSE(scratch.next().contains(QStringLiteral("/Ce/"))) << "no plain copy is left behind";
    }
}

TEST_F(EncryptFilesInTest, StopAfterTheFirstFileKeepsItAndLeavesTheRest)
{
    const QString first = outside(QStringLiteral("1.txt"), "one");
    const QString second = outside(QStringLiteral("2.txt"), "two");
    MainWindowServices& services = MainWindowServices::instance();
    services.SetAbortable(true);
    services.RequestCancel();
    EXPECT_EQ(encryptIn.Run(EncryptFilesIn::Move, root, {first, second}), 0);
    services.SetAbortable(false);
    EXPECT_TRUE(encryptIn.stopped());
    EXPECT_EQ(messages.texts(), QStringList{MsgA(105)});
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(displayNames(root), QStringList{QStringLiteral("1.txt")}) << "what was written is recorded";
}

TEST(DroppedFilesTest, FileManagersTellCutFromCopy)
{
    const struct
    {
        const char* name;
        const char* format;
        QByteArray marker;
        bool cut;
    } cases[] = {
        {"plain uri list", nullptr, {}, false},
        {"GNOME copy", "x-special/gnome-copied-files", "copy\nfile:///tmp/a", false},
        {"GNOME cut", "x-special/gnome-copied-files", "cut\nfile:///tmp/a", true},
        {"KDE cut", "application/x-kde-cutselection", "1", true},
        {"KDE copy", "application/x-kde-cutselection", "0", false},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(QStringLiteral("/tmp/a")), QUrl(QStringLiteral("https://example.org/x"))});
        if (c.format) {
            data.setData(QString::fromLatin1(c.format), c.marker);
        }
        DroppedFiles files;
        ASSERT_TRUE(ReadDroppedFiles(data, &files)) << c.name;
        EXPECT_EQ(files.paths, QStringList{QStringLiteral("/tmp/a")}) << c.name;
        EXPECT_EQ(files.cut, c.cut) << c.name;
    }
    QMimeData text;
    text.setText(QStringLiteral("no files"));
    DroppedFiles none;
    EXPECT_FALSE(ReadDroppedFiles(text, &none));
}
