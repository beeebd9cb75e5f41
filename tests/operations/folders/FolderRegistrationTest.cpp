#include "operations/folders/FolderRegistration.h"

#include "operations/OperationsFixture.h"
#include "operations/folders/FolderLogin.h"
#include "operations/folders/RegistrationChecks.h"
#include "store/checks/ContainerChecks.h"
#include "store/working/WorkingAreaNames.h"
#include "util/MessageText.h"

#include <QDir>
#include <QFileInfo>

namespace {

class FolderRegistrationTest : public OperationsTest
{
protected:
    // The temporary home counts as a fixed disk wherever the machine keeps /tmp.
    void SetUp() override
    {
        OperationsTest::SetUp();
        platform.addVolume(path(QString()), QStringLiteral("ext4"), DriveFixed);
    }

    static constexpr const char* OtherPassword = "Other-pass9";

    // A folder beside the registered one, made on disk.
    QString folder(const QString& name)
    {
        const QString made = path(QStringLiteral("other/") + name);
        EXPECT_TRUE(QDir().mkpath(made));
        return made;
    }

    bool isRegistered(const QString& candidate) { return store.folders().IsRegistered(candidate) == 0; }

    QString hintOf(const QString& container)
    {
        QString hint;
        QString error;
        EXPECT_EQ(store.checks().ReadHintOfFile(container, &hint, &error), 0);
        return hint;
    }

    FolderRegistration registration{store};
};

} // namespace

TEST_F(FolderRegistrationTest, EmptyFolderIsRegisteredWithTheWriteTestLeavingNothingBehind)
{
    const QString empty = folder(QStringLiteral("empty"));
    prompts.scriptNewPasswords({{QStringLiteral("New-pass12"), QStringLiteral("いつもの")}});

    FolderRegistration::Outcome outcome;
    ASSERT_EQ(registration.RegisterFolder(empty, &outcome), 0) << shownMessages();

    EXPECT_EQ(outcome.root, empty);
    EXPECT_EQ(outcome.password, QStringLiteral("New-pass12"));
    EXPECT_TRUE(isRegistered(empty));
    EXPECT_TRUE(QDir(empty).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        << "the test file stayed";
    EXPECT_EQ(prompts.offeredHints(), QStringList{QString()});
    int match = 0;
    ASSERT_EQ(store.folders().VerifyFolderPassword(empty, QStringLiteral("New-pass12"), &match), 0);
    EXPECT_EQ(match, 1);
    QString hint;
    ASSERT_EQ(store.folders().GetFolderHint(empty, &hint), 0);
    EXPECT_EQ(hint.trimmed(), QStringLiteral("いつもの"));
}

TEST_F(FolderRegistrationTest, FolderOfTheSamePasswordOffersItsHintAndReplacesHintsWhenAsked)
{
    const QString full = folder(QStringLiteral("full"));
    ASSERT_FALSE(engine.SetTemporaryKey(QLatin1String(Password), QStringLiteral("古いヒント")).isEmpty());
    const QString first = encrypt(full, QStringLiteral("a.txt"), CryptEngine::TemporarySlotName);
    const QString second = encrypt(full, QStringLiteral("b.txt"), CryptEngine::TemporarySlotName);
    ASSERT_EQ(hintOf(first), QStringLiteral("古いヒント"));
    // Yes to "already holds files", yes to replacing the hints.
    messages.script({MsgButton::Yes, MsgButton::Yes});
    prompts.scriptNewPasswords({{QLatin1String(Password), QStringLiteral("新しいヒント")}});

    FolderRegistration::Outcome outcome;
    ASSERT_EQ(registration.RegisterFolder(full, &outcome), 0) << shownMessages();

    EXPECT_EQ(prompts.offeredHints(), QStringList{QStringLiteral("古いヒント")});
    EXPECT_EQ(hintOf(first), QStringLiteral("新しいヒント"));
    EXPECT_EQ(hintOf(second), QStringLiteral("新しいヒント"));
    EXPECT_TRUE(shown(264));
    EXPECT_TRUE(shown(266));
    EXPECT_EQ(QDir(full).entryList(QDir::Files).size(), 2);
}

TEST_F(FolderRegistrationTest, ContainersOfAnotherPasswordAskAndSendTheUserBackToTheDialog)
{
    const QString full = folder(QStringLiteral("foreign"));
    ASSERT_FALSE(engine.SetTemporaryKey(QLatin1String(OtherPassword), QString()).isEmpty());
    const QString container = encrypt(full, QStringLiteral("a.txt"), CryptEngine::TemporarySlotName);
    const QByteArray before = ReadTestFile(container);
    // Yes to "already holds files", then No to A-254 after the first password: the dialog again;
    // the second try is the folder's own password.
    messages.script({MsgButton::Yes, MsgButton::No, MsgButton::No});
    prompts.scriptNewPasswords(
        {{QLatin1String(Password), QString()}, {QLatin1String(OtherPassword), QString()}});

    FolderRegistration::Outcome outcome;
    ASSERT_EQ(registration.RegisterFolder(full, &outcome), 0) << shownMessages();

    EXPECT_EQ(prompts.asked().count(QStringLiteral("new password: ") + full), 2);
    EXPECT_TRUE(shown(254));
    EXPECT_EQ(outcome.password, QLatin1String(OtherPassword));
    EXPECT_EQ(ReadTestFile(container), before) << "declining the hint replacement changes no file";
}

TEST_F(FolderRegistrationTest, TwelfthRefusedPasswordEndsTheRegistration)
{
    const QString full = folder(QStringLiteral("foreign"));
    ASSERT_FALSE(engine.SetTemporaryKey(QLatin1String(OtherPassword), QString()).isEmpty());
    encrypt(full, QStringLiteral("a.txt"), CryptEngine::TemporarySlotName);
    QList<MsgButton> answers = {MsgButton::Yes};
    QList<QPair<QString, QString>> passwords;
    for (int i = 0; i < 13; ++i) {
        answers.append(MsgButton::No);
        passwords.append({QLatin1String(Password), QString()});
    }
    messages.script(answers);
    prompts.scriptNewPasswords(passwords);

    FolderRegistration::Outcome outcome;
    EXPECT_EQ(registration.RegisterFolder(full, &outcome), -1);

    EXPECT_EQ(prompts.asked().count(QStringLiteral("new password: ") + full), 12);
    EXPECT_FALSE(isRegistered(full));
}

TEST_F(FolderRegistrationTest, RefusalsShowTheirMessageAndRegisterNothing)
{
    const QString base = path(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(base));
    // A path of exactly 119 characters passes the length check; 120 do not.
    const QString long119 = base + QLatin1Char('/') + QString(119 - base.size() - 1, QLatin1Char('x'));
    const QString long120 = long119 + QLatin1Char('y');
    ASSERT_EQ(long119.size(), 119);
    ASSERT_TRUE(QDir().mkpath(long119));
    ASSERT_TRUE(QDir().mkpath(long120));
    const QString mounted = folder(QStringLiteral("stick"));
    platform.addVolume(mounted, QStringLiteral("ext4"), DriveFixed);
    // A folder on a RAM disk, whatever this machine has mounted where (the real kind of a tmpfs
    // mount is the platform's own test).
    const QString ramDisk = folder(QStringLiteral("ram"));
    platform.addVolume(ramDisk, QStringLiteral("tmpfs"), DriveRamDisk);
    const QString onRamDisk = ramDisk + QStringLiteral("/notes");
    ASSERT_TRUE(QDir().mkpath(onRamDisk));

    const struct
    {
        const char* name;
        QString path;
        int message;
    } cases[] = {
        {"120 characters", long120, 222},
        {"relative path", QStringLiteral("relative/folder"), 225},
        {"mount point", mounted, 226},
        {"file-system root", QStringLiteral("/"), 226},
        {"RAM disk", onRamDisk, 227},
        {"system folder", QStringLiteral("/usr/share/doc"), 229},
        {"program folder", QStringLiteral("/opt/anything"), 230},
        {"same folder", root, 231},
        {"parent of a registered folder", path(QStringLiteral("vault")), 232},
        {"inside a registered folder", root + QStringLiteral("/sub"), 233},
    };
    for (const auto& c : cases) {
        messages.clear();
        prompts.scriptNewPasswords({{QStringLiteral("New-pass12"), QString()}});
        FolderRegistration::Outcome outcome;
        EXPECT_EQ(registration.RegisterFolder(c.path, &outcome), -1) << c.name;
        ASSERT_FALSE(messages.texts().isEmpty()) << c.name;
        EXPECT_TRUE(messages.texts().first().startsWith(MsgA(c.message)))
            << c.name << ": " << shownMessages();
    }
    int count = 0;
    store.folders().CountRegisteredFolders(&count);
    EXPECT_EQ(count, 1) << "only the folder of the fixture";

    // 119 characters go through.
    messages.clear();
    prompts.scriptNewPasswords({{QStringLiteral("New-pass12"), QString()}});
    FolderRegistration::Outcome outcome;
    EXPECT_EQ(registration.RegisterFolder(long119, &outcome), 0) << shownMessages();
}

TEST_F(FolderRegistrationTest, HundredAndFirstFolderIsRefused)
{
    for (int i = 1; i < 100; ++i) {
        const QString extra = folder(QStringLiteral("f%1").arg(i));
        ASSERT_EQ(store.folders().AddRegisteredFolder(
                      extra, QString(), QLatin1String(Password), QStringLiteral("0"),
                      QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("0"), DriveFixed),
                  0);
    }
    FolderRegistration::Outcome outcome;
    EXPECT_EQ(registration.RegisterFolder(folder(QStringLiteral("last")), &outcome), -1);
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_EQ(messages.texts().first(), MsgA(224));
}

TEST_F(FolderRegistrationTest, UnregisteringIsRefusedWhileCopiesAreOutAndLeavesTheFolderAlone)
{
    const QString container = encrypt(root, QStringLiteral("a.txt"));
    FolderLogin login(store);
    ASSERT_EQ(login.PrepareWorkingAreas(root), 0) << shownMessages();
    const QString copy = store.folders().StoreFolderOf(root, 0) + QLatin1Char('/') +
                         WorkingArea::WorkingCopies + QStringLiteral("/a.txt");
    WriteTestFile(copy, "plain");

    messages.script({MsgButton::Yes});
    EXPECT_EQ(registration.UnregisterFolder(root), -1);
    EXPECT_TRUE(shown(237)) << shownMessages();
    EXPECT_TRUE(isRegistered(root));

    QFile::remove(copy);
    messages.clear();
    messages.script({MsgButton::Yes});
    ASSERT_EQ(registration.UnregisterFolder(root), 0) << shownMessages();
    EXPECT_FALSE(isRegistered(root));
    EXPECT_TRUE(QFileInfo::exists(container)) << "unregistering never touches the folder";
    EXPECT_NE(engine.IsKeySlotSet(root), 0) << "the key goes with the registration";
}

TEST_F(FolderRegistrationTest, LoginChecksThePasswordAndLogoutForgetsTheKey)
{
    FolderLogin login(store);
    engine.ClearKeySlot(root);
    ASSERT_EQ(store.folders().UnregisterFolder(root), 0);
    ASSERT_EQ(store.folders().LoadRegisteredFolders(), 0);
    ASSERT_EQ(store.folders().AddRegisteredFolder(root, QStringLiteral("猫の名前"), QLatin1String(Password),
                                                  QStringLiteral("0"), QStringLiteral("S00001"),
                                                  QStringLiteral("0"), DriveFixed),
              0);

    EXPECT_EQ(login.LoginFolder(root, QStringLiteral("Wrong-pass1")), -1);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(messages.texts().first(), MsgA(164) + QStringLiteral("猫の名前 」です。　"));
    EXPECT_NE(engine.IsKeySlotSet(root), 0);

    // An empty password is asked for; an entry that cannot be a password is refused at once.
    messages.clear();
    prompts.scriptPasswords({QStringLiteral("short")});
    EXPECT_EQ(login.LoginFolder(root, QString()), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(163)});

    prompts.scriptPasswords({QLatin1String(Password)});
    ASSERT_EQ(login.LoginFolder(root, QString()), 0) << shownMessages();
    EXPECT_EQ(engine.IsKeySlotSet(root), 0);

    messages.clear();
    messages.script({MsgButton::Yes});
    ASSERT_EQ(login.LogoutFolder(root, {}), 0) << shownMessages();
    EXPECT_EQ(messages.texts(), QStringList{MsgA(259) + root});
    EXPECT_NE(engine.IsKeySlotSet(root), 0);
}

TEST_F(FolderRegistrationTest, LogoutWithCopiesOutWritesThemBackFirstAndRefusesWithoutAWayBack)
{
    FolderLogin login(store);
    ASSERT_EQ(login.PrepareWorkingAreas(root), 0) << shownMessages();
    const QString copy = store.folders().StoreFolderOf(root, 0) + QLatin1Char('/') +
                         WorkingArea::WorkingCopies + QStringLiteral("/a.txt");
    WriteTestFile(copy, "edited");

    // No way to write the copies back yet: the logout is refused and the copy stays.
    prompts.scriptListConfirmations({true});
    EXPECT_EQ(login.LogoutFolder(root, {}), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(652)});
    EXPECT_EQ(engine.IsKeySlotSet(root), 0);
    EXPECT_TRUE(QFileInfo::exists(copy));

    // Cancelling the confirmation keeps the folder logged in without a word.
    messages.clear();
    EXPECT_EQ(login.LogoutFolder(root, [](const QString&) { return 0; }), -1);
    EXPECT_TRUE(messages.texts().isEmpty());

    prompts.scriptListConfirmations({true});
    ASSERT_EQ(login.LogoutFolder(root,
                                 [&](const QString& folderRoot) {
                                     EXPECT_EQ(folderRoot, root);
                                     return QFile::remove(copy) ? 0 : -1;
                                 }),
              0)
        << shownMessages();
    EXPECT_NE(engine.IsKeySlotSet(root), 0);
}

TEST(RootDisplayTextTest, PathsDirectlyUnderTheirMountStandAsTheyAre)
{
    FakePlatform platform;
    platform.addVolume(QStringLiteral("/mnt/data"), QStringLiteral("ext4"), DriveFixed);
    platform.addVolume(QStringLiteral("/"), QStringLiteral("ext4"), DriveFixed);
    EXPECT_EQ(RegistrationChecks::RootDisplayText(QStringLiteral("/mnt/data/secret")),
              QStringLiteral("/mnt/data/secret"));
    EXPECT_EQ(RegistrationChecks::RootDisplayText(QStringLiteral("/mnt/data/work/secret")),
              QStringLiteral("/mnt/data/.../secret"));
    EXPECT_EQ(RegistrationChecks::RootDisplayText(QStringLiteral("/secret")), QStringLiteral("/secret"));
    EXPECT_EQ(RegistrationChecks::RootDisplayText(QStringLiteral("/home/user/work/secret")),
              QStringLiteral("/home/.../secret"));
}
