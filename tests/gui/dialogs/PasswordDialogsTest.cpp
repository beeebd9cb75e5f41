#include "dialogs/password/AdministratorPasswordDialog.h"
#include "dialogs/password/ChangePasswordEntryDialog.h"
#include "dialogs/password/ChangePasswordListDialog.h"
#include "dialogs/password/NewPasswordDialog.h"
#include "dialogs/password/PasswordEntryDialog.h"
#include "dialogs/password/PasswordWidgets.h"
#include "dialogs/password/TakeOutPasswordDialog.h"
#include "gui/dialogs/DialogTestSupport.h"
#include "util/PasswordRules.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

class PasswordDialogsTest : public DialogTest
{
protected:
    static void type(QWidget* dialog, const char* box, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(box));
        ASSERT_NE(edit, nullptr) << box;
        edit->setText(text);
    }
    static void pressOk(QWidget* dialog)
    {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
};

} // namespace

TEST_F(PasswordDialogsTest, PasswordEntryClosesWithOkEvenWhenInvalidAndTellsByItsFlag)
{
    const struct
    {
        const char* typed;
        int flag;
    } cases[] = {{"short", -1}, {"with space1", -1}, {"Good-pass1", 0}};
    for (const auto& c : cases) {
        PasswordEntryDialog dialog;
        ASSERT_TRUE(dialog.prepare());
        EXPECT_EQ(dialog.windowTitle(), MsgA(501));
        type(&dialog, "password", QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("password"))->echoMode(), QLineEdit::Password);
        pressOk(&dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(dialog.resultFlag, c.flag) << c.typed;
        EXPECT_EQ(dialog.password, c.flag == 0 ? QString::fromLatin1(c.typed) : QString());
        // The box is wiped when the dialog closes.
        EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("password"))->text().isEmpty());
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(PasswordDialogsTest, NewPasswordIsCheckedInOrderAndAsksALastQuestion)
{
    NewPasswordDialog dialog;
    dialog.folderPath = QStringLiteral("/home/user/金庫");
    ASSERT_TRUE(dialog.prepare());
    const struct
    {
        const char* name;
        QString password;
        QString confirm;
        QString hint;
        QString message;
    } refusals[] = {
        {"too short", QStringLiteral("Ab1!"), QStringLiteral("Ab1!"), QString(),
         MsgA(511) + PasswordRules::RangeText() + MsgA(512)},
        {"full-width letter", QStringLiteral("Ａbcdefgh1"), QStringLiteral("Ａbcdefgh1"), QString(),
         MsgA(513)},
        {"confirmation differs", QStringLiteral("Abcdefgh1"), QStringLiteral("Abcdefgh2"), QString(),
         MsgA(514)},
        {"hint equals password", QStringLiteral("Abcdefgh1"), QStringLiteral("Abcdefgh1"),
         QStringLiteral("Abcdefgh1"), MsgA(593)},
    };
    for (const auto& r : refusals) {
        messages.clear();
        type(&dialog, "password", r.password);
        type(&dialog, "confirm", r.confirm);
        type(&dialog, "hint", r.hint);
        pressOk(&dialog);
        EXPECT_EQ(messages.texts(), QStringList{r.message}) << r.name;
        EXPECT_TRUE(dialog.password.isEmpty()) << r.name;
    }
    // A strong password still asks; "no" keeps everything typed.
    messages.clear();
    messages.script({MsgButton::No});
    type(&dialog, "password", QStringLiteral("Abcdefgh1234!"));
    type(&dialog, "confirm", QStringLiteral("Abcdefgh1234!"));
    type(&dialog, "hint", QStringLiteral("いつもの"));
    pressOk(&dialog);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(518)});
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("password"))->text(),
              QStringLiteral("Abcdefgh1234!"));
    messages.script({MsgButton::Yes});
    pressOk(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.password, QStringLiteral("Abcdefgh1234!"));
    EXPECT_EQ(dialog.hint, QStringLiteral("いつもの"));
}

TEST_F(PasswordDialogsTest, ChangePasswordListMovesRowsAndRefusesDuplicateNames)
{
    ChangePasswordListDialog dialog;
    ASSERT_TRUE(dialog.prepare());
    QTreeWidget* list = dialog.list();
    list->addTopLevelItem(
        new QTreeWidgetItem({QStringLiteral("A"), QStringLiteral("Password-a1"), QString()}));
    list->addTopLevelItem(
        new QTreeWidgetItem({QStringLiteral("A"), QStringLiteral("Password-b1"), QString()}));
    list->setCurrentItem(list->topLevelItem(0));
    dialog.moveCurrent(-1); // "▲" on the first row changes nothing
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Password-a1"));
    dialog.moveCurrent(1);
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("Password-a1"));
    pressOk(&dialog);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("識別名称 ' A") + MsgA(521)});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(PasswordDialogsTest, KeyChangeWithoutChangePasswordsStartsWithANewPassword)
{
    TakeOutPasswordDialog dialog;
    ASSERT_TRUE(dialog.prepare());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("new"))->isChecked());
    EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("password"))->isEnabled());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("password"))->echoMode(), QLineEdit::Normal);

    AdministratorPasswordDialog admin;
    admin.noAdministratorPassword = 1;
    ASSERT_TRUE(admin.prepare());
    EXPECT_TRUE(admin.findChild<QPushButton*>(QStringLiteral("register"))->isEnabled());
    EXPECT_FALSE(admin.findChild<QPushButton*>(QStringLiteral("change"))->isEnabled());
    admin.findChild<QPushButton*>(QStringLiteral("register"))->click();
    EXPECT_EQ(admin.result(), QDialog::Accepted);
    EXPECT_EQ(admin.choice, AdministratorPasswordDialog::Register);
}

// A screen reader or an on-screen keyboard puts text in through the accessibility interface,
// replacing the box's contents or setting its value; OK reads what the boxes hold then.
TEST_F(PasswordDialogsTest, TextPutInThroughTheAccessibilityInterfaceCounts)
{
    const struct
    {
        const char* name;
        std::function<void(QLineEdit*, const QString&)> put;
    } ways[] = {
        {"replace the contents",
         [](QLineEdit* box, const QString& text) {
             QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
             ASSERT_NE(face->editableTextInterface(), nullptr);
             face->editableTextInterface()->replaceText(0, face->textInterface()->characterCount(), text);
         }},
        {"set the value",
         [](QLineEdit* box, const QString& text) {
             QAccessible::queryAccessibleInterface(box)->setText(QAccessible::Value, text);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ChangePasswordEntryDialog dialog;
        ASSERT_TRUE(dialog.prepare());
        const struct
        {
            const char* box;
            QString text;
        } fields[] = {{"name", QStringLiteral("取引先用")},
                      {"password", QStringLiteral("Vendor-pass7")},
                      {"hint", QStringLiteral("取引先")}};
        for (const auto& field : fields) {
            auto* box = dialog.findChild<QLineEdit*>(QString::fromLatin1(field.box));
            ASSERT_NE(box, nullptr) << field.box;
            way.put(box, field.text);
        }
        messages.clear();
        messages.script({MsgButton::Yes}); // a weak password is taken when the user says so
        pressOk(&dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << messages.texts().join('|').toStdString();
        EXPECT_EQ(dialog.name, QStringLiteral("取引先用"));
        EXPECT_EQ(dialog.password, QStringLiteral("Vendor-pass7"));
        EXPECT_EQ(dialog.hint, QStringLiteral("取引先"));
    }
}
