#include "operations/backup/FolderBackup.h"

#include "operations/OperationsFixture.h"
#include "operations/folders/FolderRegistration.h"
#include "support/UnprivilegedScope.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDirIterator>
#include <QFileInfo>

#include <unistd.h>

namespace {

// Stops the running operation at its first report of progress, as the stop button would.
class StopAtFirstChunk : public ProgressObserver
{
public:
    void progress(qint64 done, qint64 total) override
    {
        ++reports;
        lastTotal = total;
        Q_UNUSED(done);
        MainWindowServices::instance().RequestCancel();
    }
    int reports = 0;
    qint64 lastTotal = 0;
};

class FolderBackupTest : public OperationsTest
{
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        platform.addVolume(path(QString()), QStringLiteral("ext4"), DriveFixed);
        ASSERT_TRUE(QDir().mkpath(destination));
    }

    // Every file below the folder by its path relative to it, with its bytes.
    static QMap<QString, QByteArray> filesBelow(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files.insert(file.mid(folder.size() + 1), ReadTestFile(file));
        }
        return files;
    }

    // A few containers in the registered folder and one of its subfolders, and a plain file.
    void fillRoot()
    {
        ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/docs")));
        EncryptTestFile(crypt, path(QStringLiteral("plain")), root, QStringLiteral("report.txt"), root,
                        "the report");
        EncryptTestFile(crypt, path(QStringLiteral("plain")), root + QStringLiteral("/docs"),
                        QStringLiteral("写真.jpg"), root, QByteArray(300000, 'p'));
        WriteTestFile(root + QStringLiteral("/notes.txt"), "left plain");
    }

    const QString destination = path(QStringLiteral("backups"));
    FolderBackup backup{store};
};

} // namespace

TEST_F(FolderBackupTest, BackupRegisteredAgainReadsEveryFileWithThePassword)
{
    fillRoot();
    const QMap<QString, QByteArray> before = filesBelow(root);
    prompts.scriptFolders({destination});

    ASSERT_EQ(backup.Run(root), 0) << shownMessages();

    const QString copy = destination + QStringLiteral("/secret");
    EXPECT_EQ(filesBelow(copy), before) << "every file copied unchanged, nothing more";
    EXPECT_EQ(prompts.asked(), QStringList{QStringLiteral("folder: ") + MsgA(260)});
    ASSERT_EQ(messages.texts(), QStringList{MsgA(261) + root});
    EXPECT_EQ(MainWindowServices::instance().busyLevel(), 0);

    // Registered as a folder of its own, the copy opens with the same password.
    messages.script({MsgButton::Yes});
    prompts.scriptNewPasswords({{QLatin1String(Password), QString()}});
    FolderRegistration registration{store};
    FolderRegistration::Outcome outcome;
    ASSERT_EQ(registration.RegisterFolder(copy, &outcome), 0) << shownMessages();
    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QLatin1String(Password)), copy, QString()), 0);
    QMap<QString, QByteArray> read;
    QDirIterator it(copy, {QStringLiteral("*.kbxf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString container = it.next();
        ContainerInfo info;
        ASSERT_EQ(crypt.ReadContainerInfo(container, &info, copy, true), 0);
        const QString plain = path(QStringLiteral("out/") + info.plainName);
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("out"))));
        ASSERT_EQ(crypt.DecryptToFile(container, plain, copy), 0) << shownMessages();
        read.insert(info.plainName, ReadTestFile(plain));
    }
    const QMap<QString, QByteArray> expected{{QStringLiteral("report.txt"), "the report"},
                                             {QStringLiteral("写真.jpg"), QByteArray(300000, 'p')}};
    EXPECT_EQ(read, expected);
}

TEST_F(FolderBackupTest, EmptyFolderMakesOnlyItsTargetAndSaysSo)
{
    const QString empty = root + QStringLiteral("/empty");
    ASSERT_TRUE(QDir().mkpath(empty));
    prompts.scriptFolders({destination});

    ASSERT_EQ(backup.Run(empty), 0) << shownMessages();

    EXPECT_TRUE(QFileInfo(destination + QStringLiteral("/empty")).isDir());
    EXPECT_TRUE(shown(646)) << shownMessages();
    EXPECT_TRUE(filesBelow(destination).isEmpty());
}

TEST_F(FolderBackupTest, StopInTheMiddleOfAFileLeavesNoPartOfIt)
{
    // Several chunks, so that the stop comes while the file is being written.
    WriteTestFile(root + QStringLiteral("/a-large.bin"), QByteArray(5 << 20, 'x'));
    WriteTestFile(root + QStringLiteral("/b-small.bin"), "small");
    StopAtFirstChunk stopper;
    backup.setProgressObserver(&stopper);
    prompts.scriptFolders({destination});

    EXPECT_EQ(backup.Run(root), Result::Cancelled);

    EXPECT_EQ(stopper.reports, 1);
    EXPECT_EQ(stopper.lastTotal, (5 << 20) + 5);
    EXPECT_TRUE(QFileInfo(destination + QStringLiteral("/secret")).isDir());
    EXPECT_TRUE(filesBelow(destination).isEmpty()) << "no partial or later file";
    EXPECT_TRUE(messages.texts().isEmpty()) << shownMessages();
    EXPECT_FALSE(MainWindowServices::instance().isAbortable());
}

TEST_F(FolderBackupTest, DestinationsThatWouldCopyTheFolderIntoItselfAreRefused)
{
    fillRoot();
    const struct
    {
        const char* name;
        QString destination;
        int message;
    } cases[] = {
        {"the folder itself", root, 312},
        {"the folder that holds it", path(QStringLiteral("vault")), 313},
        {"a folder inside it", root + QStringLiteral("/docs"), 314},
    };
    const QMap<QString, QByteArray> before = filesBelow(path(QStringLiteral("vault")));
    for (const auto& c : cases) {
        messages.clear();
        prompts.scriptFolders({c.destination});
        EXPECT_EQ(backup.Run(root), Result::Failed) << c.name;
        ASSERT_EQ(messages.texts().size(), 1) << c.name;
        EXPECT_TRUE(messages.texts().first().endsWith(MsgA(c.message))) << c.name << shownMessages();
    }
    EXPECT_EQ(filesBelow(path(QStringLiteral("vault"))), before);
}

TEST_F(FolderBackupTest, CancelledChooserAndMissingFolderDoNothing)
{
    fillRoot();
    EXPECT_EQ(backup.Run(root), Result::Cancelled);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(QDir(destination).isEmpty());

    EXPECT_EQ(backup.Run(root + QStringLiteral("/gone")), Result::Failed);
    EXPECT_TRUE(shown(280)) << shownMessages();
    EXPECT_EQ(prompts.asked().size(), 1) << "no chooser for a folder that is not there";
}

TEST_F(FolderBackupTest, RepeatedBackupAsksBeforeReplacingTheEarlierOne)
{
    fillRoot();
    prompts.scriptFolders({destination, destination, destination});
    ASSERT_EQ(backup.Run(root), 0) << shownMessages();
    const QString copy = destination + QStringLiteral("/secret");
    const QMap<QString, QByteArray> first = filesBelow(copy);
    WriteTestFile(root + QStringLiteral("/notes.txt"), "changed since");

    // Cancel at the question about the folder: the earlier backup stays as it was.
    EXPECT_EQ(backup.Run(root), Result::Cancelled);
    EXPECT_EQ(filesBelow(copy), first);
    EXPECT_EQ(prompts.asked().last(), QStringLiteral("overwrite: secret"));

    // Merged, with every file replaced.
    prompts.scriptOverwrites({OverwriteYes, OverwriteYesToAll, OverwriteYesToAll});
    messages.clear();
    ASSERT_EQ(backup.Run(root), 0) << shownMessages();
    EXPECT_EQ(filesBelow(copy), filesBelow(root));
}

TEST_F(FolderBackupTest, UnreadableSubfolderFailsInsteadOfPassingForEmpty)
{
    const UnprivilegedScope user(path(QString()));
    if (!user.binds()) {
        GTEST_SKIP() << "permissions cannot be made to bind this process";
    }
    const QString locked = root + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    WriteTestFile(locked + QStringLiteral("/inside.txt"), "kept from view");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    prompts.scriptFolders({destination});

    EXPECT_EQ(backup.Run(root), Result::Failed);

    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(shown(261)) << shownMessages();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().contains(QDir::toNativeSeparators(locked)));
}

TEST_F(FolderBackupTest, ImportNoticeTellsHowToRegisterTheBackup)
{
    ShowBackupImportNotice();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().text, MsgA(193) + QStringLiteral("Kurabox") + MsgA(194));
    EXPECT_EQ(messages.shown().first().style, MessageStyle::information());
}
