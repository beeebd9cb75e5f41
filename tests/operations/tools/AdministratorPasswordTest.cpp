#include "operations/tools/AdministratorPassword.h"

#include "operations/OperationsFixture.h"
#include "store/datafiles/CommonData1.h"
#include "util/ResultCodes.h"

namespace {

enum Choice
{
    Register = 0,
    Change = 1,
    Delete = 2,
};

const QString Admin = QStringLiteral("Admin-Pass1");

class AdministratorPasswordTest : public OperationsTest
{
protected:
    // The common data as a later start of the program reads it: a new object, from the file alone.
    struct Reloaded
    {
        int result = Result::Failed;
        int match = 0;
        QString hint;
        QList<ChangePassword> list;
    };
    Reloaded reload(const QString& password, int mode = 1)
    {
        Reloaded data;
        CommonData1 common(engine, store.dataFolder());
        data.result = common.LoadCommon1(password, mode, &data.match);
        data.hint = common.AdministratorHint();
        data.list = common.GetChangePasswords();
        return data;
    }

    void registerAdministrator()
    {
        prompts.scriptAdministratorActions({Register});
        prompts.scriptNewPasswords({{Admin, QStringLiteral("いつもの")}});
        ASSERT_EQ(ManageAdministratorPassword(store), Result::Ok) << shownMessages();
    }

    // The change-password list as the dialog keeps it: read and written with the password given.
    void editListTo(const QList<ChangePassword>& entries)
    {
        prompts.setChangePasswordEditor([this, entries](const QString& adminPassword) {
            CommonData1 common(engine, store.dataFolder());
            int match = 0;
            if (common.LoadCommon1(adminPassword, 1, &match) != 0 ||
                common.SetChangePasswords(entries) != 0) {
                return Result::Failed;
            }
            return common.SaveCommon1(adminPassword);
        });
    }

    QString commonFile() const { return store.dataFolder() + QStringLiteral("/kbxcl_common1.dat"); }
};

} // namespace

TEST_F(AdministratorPasswordTest, RegisteredChangedAndDeletedPasswordIsWhatTheFileHolds)
{
    registerAdministrator();
    EXPECT_EQ(prompts.asked().first(), QStringLiteral("administrator: new"));
    Reloaded data = reload(Admin);
    ASSERT_EQ(data.result, 0) << shownMessages();
    EXPECT_EQ(data.match, 1);
    EXPECT_EQ(data.hint, QStringLiteral("いつもの"));

    const QList<ChangePassword> list = {
        {QStringLiteral("取引先A"), QStringLiteral("Change-pw1"), QStringLiteral("社名")},
        {QStringLiteral("家族"), QStringLiteral("Family-pw2"), QString()}};
    editListTo(list);
    prompts.scriptPasswords({Admin});
    ASSERT_EQ(ManageChangePasswords(store), Result::Ok) << shownMessages();

    // A change keeps the change passwords, readable under the new password only.
    prompts.scriptAdministratorActions({Change});
    prompts.scriptPasswords({Admin});
    prompts.scriptNewPasswords({{QStringLiteral("Admin-Pass2"), QStringLiteral("新しいヒント")}});
    ASSERT_EQ(ManageAdministratorPassword(store), Result::Ok) << shownMessages();
    EXPECT_EQ(reload(Admin, 0).match, 0);
    data = reload(QStringLiteral("Admin-Pass2"));
    ASSERT_EQ(data.result, 0) << shownMessages();
    EXPECT_EQ(data.hint, QStringLiteral("新しいヒント"));
    EXPECT_EQ(data.list, list);

    // Deleting takes the change passwords with it; afterwards only registering is offered.
    messages.clear();
    messages.script({MsgButton::Yes});
    prompts.scriptAdministratorActions({Delete, Register});
    ASSERT_EQ(ManageAdministratorPassword(store), Result::Ok) << shownMessages();
    EXPECT_EQ(messages.texts(), (QStringList{MsgA(207), MsgA(208)}));
    EXPECT_FALSE(QFile::exists(commonFile()));
    EXPECT_EQ(ManageAdministratorPassword(store), Result::Cancelled) << "no new password scripted";
    EXPECT_EQ(prompts.asked().last(), QStringLiteral("new password: "));
    EXPECT_FALSE(QFile::exists(commonFile())) << "a cancelled registration leaves no file";
}

TEST_F(AdministratorPasswordTest, RefusalsLeaveTheFileAsItWas)
{
    registerAdministrator();
    const QByteArray before = ReadTestFile(commonFile());
    const struct
    {
        const char* name;
        QList<int> actions;
        QStringList passwords;
        QList<MsgButton> answers;
        int result;
        int message; // the first message shown; 0: none
    } cases[] = {
        {"change: entry that cannot be a password", {Change}, {QString()}, {}, Result::Failed, 204},
        {"change: wrong administrator password",
         {Change},
         {QStringLiteral("Wrong-pass1")},
         {},
         Result::Failed,
         561},
        {"change: password dialog cancelled", {Change}, {}, {}, Result::Cancelled, 0},
        {"delete answered no", {Delete}, {}, {MsgButton::No}, Result::Cancelled, 207},
        {"nothing chosen", {}, {}, {}, Result::Cancelled, 0},
    };
    for (const auto& c : cases) {
        messages.clear();
        messages.script(c.answers);
        prompts.scriptAdministratorActions(c.actions);
        prompts.scriptPasswords(c.passwords);
        EXPECT_EQ(ManageAdministratorPassword(store), c.result) << c.name;
        if (c.message == 0) {
            EXPECT_TRUE(messages.texts().isEmpty()) << c.name << shownMessages();
        } else {
            EXPECT_TRUE(!messages.texts().isEmpty() && messages.texts().first().startsWith(MsgA(c.message)))
                << c.name << shownMessages();
        }
        EXPECT_EQ(ReadTestFile(commonFile()), before) << c.name;
    }
}

TEST_F(AdministratorPasswordTest, ChangePasswordListOpensOnlyWithTheAdministratorPassword)
{
    int opened = 0;
    prompts.setChangePasswordEditor([&opened](const QString&) {
        ++opened;
        return Result::Ok;
    });
    EXPECT_EQ(ManageChangePasswords(store), Result::Failed);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(191)});
    EXPECT_TRUE(prompts.asked().isEmpty()) << "no password is asked for without one registered";

    registerAdministrator();
    const struct
    {
        const char* name;
        QStringList passwords;
        int result;
        int message;
    } cases[] = {
        {"invalid entry", {QString()}, Result::Failed, 192},
        {"wrong password", {QStringLiteral("Wrong-pass1")}, Result::Failed, 561},
        {"cancelled", {}, Result::Cancelled, 0},
        {"administrator password", {Admin}, Result::Ok, 0},
    };
    for (const auto& c : cases) {
        messages.clear();
        prompts.scriptPasswords(c.passwords);
        EXPECT_EQ(ManageChangePasswords(store), c.result) << c.name;
        EXPECT_EQ(messages.texts().isEmpty(), c.message == 0) << c.name << shownMessages();
        if (c.message != 0 && !messages.texts().isEmpty()) {
            EXPECT_TRUE(messages.texts().first().startsWith(MsgA(c.message))) << c.name;
        }
    }
    EXPECT_EQ(opened, 1);
}
