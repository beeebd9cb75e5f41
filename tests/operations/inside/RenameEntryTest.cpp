#include "operations/inside/RenameEntry.h"

#include "operations/OperationsFixture.h"
#include "store/checks/ContainerChecks.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/MessageText.h"

#include <QFileInfo>

namespace {

class RenameEntryTest : public OperationsTest
{
protected:
    QString displayName(const QString& container)
    {
        QString name;
        EXPECT_EQ(store.checks().DisplayNameOf(container, root, &name), 0);
        return name;
    }
    QStringList recordedNames(const QString& folder)
    {
        QStringList lines;
        EXPECT_EQ(store.metadata().LoadEntryRecords(folder, root, 1, &lines), 0) << shownMessages();
        return lines;
    }
};

} // namespace

TEST_F(RenameEntryTest, ContainerKeepsItsFileNameAndTakesTheNewOriginalName)
{
    const QString container = encrypt(root, QStringLiteral("report.txt"));
    const QString before = QFileInfo(container).fileName();

    ASSERT_EQ(RenameEntry(store).Run(container, QStringLiteral("報告書.txt")), 0) << shownMessages();

    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
    EXPECT_EQ(QDir(root).entryList(QDir::Files | QDir::Hidden), QStringList{before});
    EXPECT_EQ(displayName(container), QStringLiteral("報告書.txt"));
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    EXPECT_FALSE(QFileInfo(container).permissions() & writable); // containers stay read-only
    EXPECT_TRUE(recordedNames(root).join(QLatin1Char('\n')).contains(QStringLiteral("報告書.txt")));
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(RenameEntryTest, FolderIsRenamedOnDiskAndInItsParentsMetadata)
{
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/photos")));
    encrypt(root + QStringLiteral("/photos"), QStringLiteral("a.jpg"));
    ASSERT_EQ(store.metadata().SyncFolderMetadata(root, root), 0);

    ASSERT_EQ(RenameEntry(store).Run(root + QStringLiteral("/photos"), QStringLiteral("写真")), 0)
        << shownMessages();

    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/photos")));
    EXPECT_EQ(QDir(root + QStringLiteral("/写真")).entryList(QDir::Files).size(), 1);
    const QString records = recordedNames(root).join(QLatin1Char('\n'));
    EXPECT_TRUE(records.contains(QStringLiteral("写真"))) << records.toStdString();
    EXPECT_FALSE(records.contains(QStringLiteral("photos"))) << records.toStdString();
}

// Every refusal shows its message and leaves the item exactly as it was.
TEST_F(RenameEntryTest, RefusalsShowTheirMessageAndChangeNothing)
{
    const QString container = encrypt(root, QStringLiteral("report.txt"));
    const QString copy = store.copyPaths().WorkingCopyPathOf(container);
    struct Case
    {
        const char* name;
        std::function<QString()> prepare; // gives the path to rename
        QString newName;
        QString message;
    };
    const Case cases[] = {
        {"working copy exists",
         [&] {
             QDir().mkpath(QFileInfo(copy).path());
             WriteTestFile(copy, "plain");
             return container;
         },
         QStringLiteral("new.txt"), MsgA(39)},
        {"name with a slash", [&] { return container; }, QStringLiteral("a/b.txt"), MsgA(290)},
        {"item gone", [&] { return root + QStringLiteral("/gone.kbxf"); }, QStringLiteral("new.txt"),
         MsgA(34)},
        {"folder registered read-only",
         [&] {
             const QString readOnly = path(QStringLiteral("vault/readonly"));
             QDir().mkpath(readOnly);
             store.folders().AddRegisteredFolder(readOnly, QString(), QLatin1String(Password),
                                                 QStringLiteral("1"), QStringLiteral("S00002"),
                                                 QStringLiteral("0"), DriveFixed);
             return encrypt(readOnly, QStringLiteral("kept.txt"), root);
         },
         QStringLiteral("new.txt"), MsgA(316)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = c.prepare();
        const QByteArray before = QFileInfo::exists(target) ? ReadTestFile(target) : QByteArray();
        messages.clear();
        EXPECT_EQ(RenameEntry(store).Run(target, c.newName), -1);
        ASSERT_FALSE(messages.shown().isEmpty());
        EXPECT_TRUE(messages.shown().first().text.startsWith(c.message)) << shownMessages();
        if (!before.isEmpty()) {
            EXPECT_EQ(ReadTestFile(target), before);
        }
        QFile::remove(copy);
    }
}

TEST_F(RenameEntryTest, ContainerOfAnotherPasswordIsRefused)
{
    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Other-pass2")),
                                QStringLiteral("other"), QString()),
              0);
    const QString container = encrypt(root, QStringLiteral("x.txt"), QStringLiteral("other"));
    const QByteArray original = ReadTestFile(container);
    messages.clear();

    EXPECT_EQ(RenameEntry(store).Run(container, QStringLiteral("y.txt")), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(38)});
    EXPECT_EQ(ReadTestFile(container), original);
}
