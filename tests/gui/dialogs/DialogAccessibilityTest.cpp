#include "DialogTestSupport.h"
#include "dialogs/common/AboutDialog.h"
#include "dialogs/common/TwoTextsDialog.h"
#include "dialogs/confirmation/OptOutNoticeDialog.h"
#include "dialogs/confirmation/ReplaceFileDialog.h"
#include "dialogs/confirmation/ReplaceFolderDialog.h"
#include "dialogs/confirmation/StillDecryptedDialog.h"
#include "dialogs/confirmation/TwoLineNoticeDialog.h"
#include "dialogs/password/AdministratorPasswordDialog.h"
#include "dialogs/password/ChangePasswordEntryDialog.h"
#include "dialogs/password/ChangePasswordListDialog.h"
#include "dialogs/password/NewPasswordDialog.h"
#include "dialogs/password/PasswordEntryDialog.h"
#include "dialogs/password/TakeOutPasswordDialog.h"
#include "dialogs/properties/FilePropertiesDialog.h"
#include "dialogs/properties/FolderPropertiesDialog.h"
#include "dialogs/registration/FirstRegistrationDialog.h"
#include "dialogs/registration/FirstStepsDialog.h"
#include "dialogs/registration/NetworkFolderDialog.h"
#include "dialogs/takeout/EncryptedTakeOutDialog.h"
#include "dialogs/takeout/TakeOutDialog.h"
#include "dialogs/tools/PasswordHintDialog.h"
#include "gui/AccessibleControls.h"
#include "store/settings/SettingsFile.h"
#include "support/TestFiles.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// One dialog of the program, filled as its caller fills it, and what Enter does in it.
struct DialogCase
{
    const char* name;
    std::function<std::unique_ptr<OpeningDialog>()> make;
    // The result Enter gives: its default button accepts or cancels; StaysOpen when the default
    // button refuses an empty entry with a message.
    int enterResult;
    // False for a dialog that ignores Escape, so that only Cancel discards what was typed.
    bool escapeCancels = true;
};

constexpr int StaysOpen = -1;

class DialogAccessibilityTest : public DialogTest
{
protected:
    QList<DialogCase> cases()
    {
        const QString file = m_dir.filePath(QStringLiteral("報告書.txt"));
        WriteTestFile(file, "x");
        return {
            {"text prompt",
             [] {
                 return withFields<TwoTextsDialog>(
                     [](TwoTextsDialog& d) { d.prompt = QStringLiteral("名前"); });
             },
             QDialog::Accepted},
            {"version", [] { return std::make_unique<AboutDialog>(); }, QDialog::Accepted},
            {"file overwrite",
             [file] {
                 return withFields<ReplaceFileDialog>([file](ReplaceFileDialog& d) {
                     d.single = 0;
                     d.displayName = QStringLiteral("報告書.txt");
                     d.existingPath = file;
                     d.newPath = file;
                 });
             },
             QDialog::Accepted},
            {"folder overwrite",
             [] {
                 return withFields<ReplaceFolderDialog>([](ReplaceFolderDialog& d) {
                     d.single = 0;
                     d.folderName = QStringLiteral("写真");
                 });
             },
             QDialog::Accepted},
            {"notice",
             [] {
                 return withFields<OptOutNoticeDialog>(
                     [](OptOutNoticeDialog& d) { d.message = QStringLiteral("お知らせ"); });
             },
             QDialog::Accepted},
            {"return confirmation",
             [] {
                 return withFields<StillDecryptedDialog>([](StillDecryptedDialog& d) {
                     d.title = QStringLiteral("終了確認");
                     d.text = QStringLiteral("復号中のファイルがあります");
                     d.listText = QStringLiteral("a.txt\r\nb.txt");
                     d.buttonText = QStringLiteral("終了する");
                 });
             },
             QDialog::Rejected},
            {"message",
             [] {
                 return withFields<TwoLineNoticeDialog>(
                     [](TwoLineNoticeDialog& d) { d.text1 = QStringLiteral("完了"); });
             },
             QDialog::Accepted},
            {"file properties",
             [file] {
                 return withFields<FilePropertiesDialog>([file](FilePropertiesDialog& d) {
                     d.displayName = QStringLiteral("報告書.txt");
                     d.location = QFileInfo(file).path();
                     d.containerName = QFileInfo(file).fileName();
                 });
             },
             QDialog::Accepted},
            {"folder properties",
             [this] {
                 return withFields<FolderPropertiesDialog>([this](FolderPropertiesDialog& d) {
                     d.name = QStringLiteral("写真");
                     d.path = m_dir.path();
                 });
             },
             QDialog::Accepted},
            {"network registration", [] { return std::make_unique<NetworkFolderDialog>(); },
             QDialog::Accepted},
            {"first registration", [] { return std::make_unique<FirstRegistrationDialog>(); },
             QDialog::Accepted},
            {"registration done", [] { return std::make_unique<FirstStepsDialog>(); }, QDialog::Accepted},
            {"take out",
             [file] {
                 return withFields<TakeOutDialog>([file](TakeOutDialog& d) {
                     d.paths = {file};
                     d.kinds = {QStringLiteral("0")};
                     d.count = 1;
                     d.hasFile = 1;
                 });
             },
             QDialog::Rejected},
            {"take out encrypted", [this] { return std::make_unique<EncryptedTakeOutDialog>(m_settings); },
             QDialog::Accepted},
            {"hint window", [] { return std::make_unique<PasswordHintDialog>(); }, QDialog::Accepted},
            {"password", [] { return std::make_unique<PasswordEntryDialog>(); }, QDialog::Accepted},
            {"new password",
             [] {
                 return withFields<NewPasswordDialog>(
                     [](NewPasswordDialog& d) { d.folderPath = QStringLiteral("/a/b"); });
             },
             StaysOpen},
            {"change password entry", [] { return std::make_unique<ChangePasswordEntryDialog>(); },
             StaysOpen},
            {"change password list", [] { return std::make_unique<ChangePasswordListDialog>(); },
             QDialog::Accepted, false},
            {"take-out password", [] { return std::make_unique<TakeOutPasswordDialog>(); }, StaysOpen},
            {"administrator password",
             [] {
                 return withFields<AdministratorPasswordDialog>(
                     [](AdministratorPasswordDialog& d) { d.noAdministratorPassword = 1; });
             },
             QDialog::Accepted},
        };
    }

    template <typename Dialog>
    static std::unique_ptr<OpeningDialog> withFields(const std::function<void(Dialog&)>& fill)
    {
        auto dialog = std::make_unique<Dialog>();
        fill(*dialog);
        return dialog;
    }

    // Shows the prepared dialog as the active window, as exec() would.
    static bool showActive(OpeningDialog& dialog)
    {
        if (!dialog.prepare()) {
            return false;
        }
        dialog.show();
        dialog.activateWindow();
        return QTest::qWaitForWindowActive(&dialog);
    }

    // The push buttons the user can reach in the dialog, in a fixed order.
    static QList<QPushButton*> VisiblePushButtons(QWidget* dialog)
    {
        QList<QPushButton*> buttons;
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isVisibleTo(dialog) && button->isEnabled() &&
                (button->focusPolicy() & Qt::TabFocus)) {
                buttons << button;
            }
        }
        return buttons;
    }

    QTemporaryDir m_dir;
    SettingsRecord m_settings;
};

} // namespace

TEST_F(DialogAccessibilityTest, EveryControlHasANameAndTabFollowsReadingOrder)
{
    for (const DialogCase& c : cases()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<OpeningDialog> dialog = c.make();
        ASSERT_TRUE(showActive(*dialog));
        EXPECT_EQ(UnnamedControls(dialog.get()), QStringList());
        EXPECT_EQ(TabStepsAgainstReadingOrder(dialog.get()), QStringList());
    }
}

TEST_F(DialogAccessibilityTest, EnterTakesTheDefaultButtonAndEscapeCancels)
{
    for (const DialogCase& c : cases()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<OpeningDialog> enter = c.make();
        ASSERT_TRUE(showActive(*enter));
        messages.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (c.enterResult == StaysOpen) {
            EXPECT_TRUE(enter->isVisible());
            EXPECT_EQ(messages.shown().size(), 1);
            enter->reject();
        } else {
            EXPECT_FALSE(enter->isVisible());
            EXPECT_EQ(enter->result(), c.enterResult);
        }

        std::unique_ptr<OpeningDialog> escape = c.make();
        ASSERT_TRUE(showActive(*escape));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(escape->isVisible(), !c.escapeCancels);
        if (c.escapeCancels) {
            EXPECT_EQ(escape->result(), QDialog::Rejected);
        }
    }
}

// Enter on a focused push button presses that button, whichever button is the default. A button
// that opens a dialog of its own finds it closed again at once.
TEST_F(DialogAccessibilityTest, EnterPressesTheFocusedButton)
{
    QTimer closeNested;
    closeNested.setInterval(20);
    QObject::connect(&closeNested, &QTimer::timeout, [] {
        if (QWidget* nested = QApplication::activeModalWidget()) {
            nested->close();
        }
    });
    for (const DialogCase& c : cases()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<OpeningDialog> probe = c.make();
        ASSERT_TRUE(showActive(*probe));
        const int buttons = int(VisiblePushButtons(probe.get()).size());
        probe.reset();
        for (int i = 0; i < buttons; ++i) {
            std::unique_ptr<OpeningDialog> dialog = c.make();
            ASSERT_TRUE(showActive(*dialog));
            QPushButton* target = VisiblePushButtons(dialog.get()).at(i);
            // Mail hands the items to the desktop's mail program: not started from a test.
            if (target->objectName() == QStringLiteral("mailButton")) {
                continue;
            }
            SCOPED_TRACE(target->text().toStdString());
            QStringList pressed;
            for (QPushButton* button : VisiblePushButtons(dialog.get())) {
                QObject::connect(button, &QPushButton::clicked,
                                 [&pressed, button] { pressed << button->text(); });
            }
            target->setFocus();
            ASSERT_TRUE(target->hasFocus());
            closeNested.start();
            QTest::keyClick(target, Qt::Key_Return);
            closeNested.stop();
            EXPECT_EQ(pressed, QStringList{target->text()});
        }
    }
}

TEST_F(DialogAccessibilityTest, TakeOutIconIsReadAsTheItemsItStandsFor)
{
    const QString file = m_dir.filePath(QStringLiteral("報告書.txt"));
    WriteTestFile(file, "x");
    const struct
    {
        const char* name;
        QStringList paths;
        QString expected;
    } rows[] = {
        {"one file", {file}, QStringLiteral("報告書.txt")},
        {"two files", {file, file}, QStringLiteral("2 個の項目")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TakeOutDialog dialog;
        dialog.paths = row.paths;
        dialog.kinds = QStringList(row.paths.size(), QStringLiteral("0"));
        dialog.count = int(row.paths.size());
        dialog.hasFile = 1;
        ASSERT_TRUE(dialog.prepare());
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("iconList"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->item(0)->data(Qt::AccessibleTextRole).toString(), row.expected);
    }
}
