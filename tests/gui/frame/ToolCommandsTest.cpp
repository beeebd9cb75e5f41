#include "dialogs/password/ChangePasswordListDialog.h"
#include "dialogs/password/TakeOutPasswordDialog.h"
#include "dialogs/settings/SettingsDialog.h"
#include "dialogs/tools/ContainerCheckDialog.h"
#include "dialogs/tools/PasswordHintDialog.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/AccessibleControls.h"
#include "gui/dialogs/DialogTestSupport.h"
#include "gui/frame/WindowFixture.h"
#include "operations/check/FolderCheckRun.h"
#include "store/datafiles/CommonData1.h"
#include "store/metadata/FolderMetadata.h"
#include "support/TestContainers.h"
#include "util/ResultCodes.h"
#include "views/contents/ContentsView.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString Password = QStringLiteral("Pass-word1");

// The window with one registered, logged-in folder holding a container.
class ToolCommandsTest : public WindowFixture
{
protected:
    void prepareHome() override { ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/sub"))); }
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        registerFolder(folder, Password, {MsgButton::Yes}); // an empty folder
        ASSERT_EQ(frame->contents()->shownFolderPath(), folder);
        encryptInto(folder, QStringLiteral("報告書.txt"));
        messages.clear();
    }

    QString encryptInto(const QString& target, const QString& name)
    {
        const QString container =
            EncryptTestFile(frame->store().crypt(), m_home.path(), target, name, folder, "x");
        EXPECT_EQ(frame->store().metadata().SyncFolderMetadata(target, folder), 0);
        return container;
    }

    // Drops the files on the hint window's area and gives back what the area shows.
    static QString dropOnHintWindow(PasswordHintDialog* hints, const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data.setUrls(urls);
        QWidget* area = hints->dropArea();
        const QPointF centre(area->width() / 2.0, area->height() / 2.0);
        QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area, &drop);
        return static_cast<QLabel*>(area)->text();
    }

    const QString folder = home(QStringLiteral("金庫"));
};

} // namespace

TEST_F(ToolCommandsTest, PlainFileCheckReportsAndSetsTheTakeOutOnlyState)
{
    messages.script({MsgButton::Yes});
    EXPECT_EQ(frame->runCommand(Command::PlainFileCheck), Result::Ok);
    EXPECT_EQ(messages.texts(), (QStringList{MsgA(195) + folder, MsgA(200)}));
    EXPECT_FALSE(frame->contents()->takeOutOnly());

    // Two files in a subfolder that show the same name: only the as-is take-out is left.
    encryptInto(folder + QStringLiteral("/sub"), QStringLiteral("同じ.txt"));
    encryptInto(folder + QStringLiteral("/sub"), QStringLiteral("同じ.txt"));
    messages.clear();
    messages.script({MsgButton::Yes});
    EXPECT_EQ(frame->runCommand(Command::PlainFileCheck), Result::Failed);
    ASSERT_EQ(messages.texts().size(), 2) << shownTexts();
    EXPECT_TRUE(messages.texts().at(1).startsWith(MsgA(188)));
    EXPECT_TRUE(frame->contents()->takeOutOnly());
}

TEST_F(ToolCommandsTest, HintWindowShowsTheHintOfADroppedContainer)
{
    CryptEngine& engine = frame->store().engine();
    ASSERT_FALSE(engine.SetTemporaryKey(QStringLiteral("Other-pass1"), QStringLiteral("犬の名前")).isEmpty());
    const QString loose = m_home.filePath(QStringLiteral("loose"));
    ASSERT_TRUE(QDir().mkpath(loose));
    const QString container = EncryptTestFile(frame->store().crypt(), m_home.path(), loose,
                                              QStringLiteral("a.txt"), CryptEngine::TemporarySlotName, "x");
    QStringList shown;
    QStringList heard;
    QString chooserSaid;
    whenDialogOpens([&](QWidget* modal) {
        auto* hints = dynamic_cast<PasswordHintDialog*>(modal);
        ASSERT_NE(hints, nullptr);
        EXPECT_EQ(hints->windowTitle(), QStringLiteral("ヒント確認ウィンドウ"));
        shown.append(dropOnHintWindow(hints, {container}));
        shown.append(dropOnHintWindow(hints, {loose}));
        shown.append(dropOnHintWindow(hints, {container, container}));
        // Without dragging: the file chooser, from the keyboard.
        whenDialogOfKindOpens<QFileDialog>([container, &chooserSaid](QFileDialog* chooser) {
            // A chooser that cannot take the file says so in a box of its own: noted and closed.
            whenDialogOfKindOpens<QMessageBox>([&chooserSaid](QMessageBox* box) {
                chooserSaid = box->text();
                box->close();
            });
            // Typed, as a keyboard user does: the chooser's list may not have read the folder yet.
            auto* typed = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(typed, nullptr);
            typed->setText(container);
            QMetaObject::invokeMethod(chooser, "accept");
            if (chooser->isVisible()) { // it did not take the file: say what it held, never hang
                chooserSaid +=
                    QStringLiteral(" [stayed open with %1]").arg(chooser->selectedFiles().join('|'));
                chooser->reject();
            }
        });

        auto* choose = hints->findChild<QPushButton*>(QStringLiteral("chooseButton"));
        ASSERT_NE(choose, nullptr);
        choose->setFocus();
        QTest::keyClick(choose, Qt::Key_Return);
        QWidget* area = hints->dropArea();
        shown.append(static_cast<QLabel*>(area)->text());
        // What a screen reader hears is what the area shows.
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(area);
        heard = {face->text(QAccessible::Name), face->text(QAccessible::Description)};
        hints->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    // A chooser that never shows as the active window is closed after a while instead of waiting
    // for ever.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&chooserSaid] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* open = qobject_cast<QFileDialog*>(window); open && open->isVisible()) {
                chooserSaid += QStringLiteral(" [never became active]");
                open->reject();
            }
        }
    });
    watchdog.start(15000);
    EXPECT_EQ(frame->runCommand(Command::HintWindow), Result::Ok);
    const QString hint = MsgA(597) + QStringLiteral("犬の名前") + MsgA(598);
    EXPECT_EQ(shown, (QStringList{hint, MsgA(581), MsgA(581), hint})) << "two files leave the area as it was";
    EXPECT_EQ(heard, (QStringList{hint, hint}));
    EXPECT_EQ(chooserSaid, QString());
    EXPECT_EQ(messages.texts(), QStringList{MsgA(577)});
}

TEST_F(ToolCommandsTest, SettingsSheetOpensAtThePageItWasLeftAt)
{
    const struct
    {
        int openedAt;
        int leaveAt; // -1: cancel
        int result;
    } runs[] = {
        {SettingsDialog::DisplayPage, SettingsDialog::FolderPage, Result::Ok},
        {SettingsDialog::FolderPage, SettingsDialog::ActionPage, Result::Cancelled},
        {SettingsDialog::FolderPage, -1, Result::Cancelled},
    };
    for (const auto& run : runs) {
        int opened = -1;
        whenDialogOpens([&](QWidget* modal) {
            auto* sheet = dynamic_cast<SettingsDialog*>(modal);
            ASSERT_NE(sheet, nullptr);
            EXPECT_EQ(sheet->windowTitle(), QStringLiteral("環境設定"));
            opened = sheet->pages()->currentIndex();
            if (run.leaveAt < 0 || run.result == Result::Cancelled) {
                sheet->pages()->setCurrentIndex(qMax(run.leaveAt, 0));
                sheet->reject();
                return;
            }
            sheet->pages()->setCurrentIndex(run.leaveAt);
            sheet->accept();
        });
        EXPECT_EQ(frame->runCommand(Command::Settings), run.result);
        EXPECT_EQ(opened, run.openedAt);
    }
}

TEST_F(ToolCommandsTest, TreeMenuBackupCopiesTheFolderAndImportTellsHowToBringItBack)
{
    const QString destination = m_home.filePath(QStringLiteral("backups"));
    ASSERT_TRUE(QDir().mkpath(destination));
    prompts.scriptFolders({destination});
    frame->tree()->setCurrentIndex(frame->tree()->rootItemOf(folder));
    EXPECT_EQ(frame->runCommand(FolderTreeView::BackupRoot), Result::Ok) << shownTexts();
    EXPECT_EQ(QDir(destination + QStringLiteral("/金庫")).entryList(QDir::Files),
              QDir(folder).entryList(QDir::Files));
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(261)));

    messages.clear();
    EXPECT_EQ(frame->runCommand(Command::ImportBackup), Result::Ok);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(193) + QStringLiteral("Kurabox") + MsgA(194)});
}

TEST_F(ToolCommandsTest, ChangePasswordsKeptInTheListAreOfferedWhenTakingFilesOut)
{
    const QString admin = QStringLiteral("Admin-Pass1");
    {
        CommonData1 common(frame->store().engine(), frame->store().dataFolder());
        int match = 0;
        ASSERT_EQ(common.LoadCommon1(admin, 1, &match), 0);
        ASSERT_EQ(common.SaveCommon1(admin), 0);
    }
    ChangePasswordListDialog list(frame.get());
    list.store = &frame->store();
    list.adminPassword = admin;
    ASSERT_TRUE(list.prepare());
    auto enter = [this](const QString& name, const QString& password, const QString& hint) {
        whenDialogOpens([=](QWidget* modal) {
            modal->findChild<QLineEdit*>(QStringLiteral("name"))->setText(name);
            modal->findChild<QLineEdit*>(QStringLiteral("password"))->setText(password);
            modal->findChild<QLineEdit*>(QStringLiteral("hint"))->setText(hint);
            modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    };
    enter(QStringLiteral("取引先A"), QStringLiteral("Change-pw1!"), QStringLiteral("社名"));
    list.addEntry();
    enter(QStringLiteral("家族"), QStringLiteral("Family-pw2!"), QString());
    list.addEntry();
    enter(QStringLiteral("旧"), QStringLiteral("Old-pass33!"), QString());
    list.addEntry();
    ASSERT_EQ(list.list()->topLevelItemCount(), 3) << shownTexts();
    // Edit the first, remove the last.
    list.list()->setCurrentItem(list.list()->topLevelItem(0));
    enter(QStringLiteral("取引先B"), QStringLiteral("Change-pw1!"), QStringLiteral("新社名"));
    list.editCurrent();
    list.list()->setCurrentItem(list.list()->topLevelItem(2));
    messages.script({MsgButton::Yes});
    list.deleteSelected();
    list.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(list.result(), QDialog::Accepted);

    CommonData1 saved(frame->store().engine(), frame->store().dataFolder());
    int match = 0;
    ASSERT_EQ(saved.LoadCommon1(admin, 1, &match), 0);
    EXPECT_EQ(saved.GetChangePasswords(),
              (QList<ChangePassword>{
                  {QStringLiteral("取引先B"), QStringLiteral("Change-pw1!"), QStringLiteral("新社名")},
                  {QStringLiteral("家族"), QStringLiteral("Family-pw2!"), QString()}}));

    TakeOutPasswordDialog keyChange(frame.get());
    keyChange.store = &frame->store();
    ASSERT_TRUE(keyChange.prepare());
    auto* names = keyChange.findChild<QComboBox*>(QStringLiteral("names"));
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(names->itemText(0), QStringLiteral("取引先B"));
    EXPECT_EQ(names->itemText(1), QStringLiteral("家族"));
    names->setCurrentIndex(0);
    keyChange.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(keyChange.password, QStringLiteral("Change-pw1!"));
}

TEST_F(ToolCommandsTest, ContainerCheckListsWhatIsWrongOrGivesTheAllClear)
{
    const QString damaged = encryptInto(folder + QStringLiteral("/sub"), QStringLiteral("壊れた.txt"));
    QByteArray bytes = ReadTestFile(damaged);
    bytes[bytes.size() - 3] = char(bytes.at(bytes.size() - 3) ^ 0x5a);
    WriteTestFile(damaged, bytes);
    const QString partial = folder + QStringLiteral("/.a.kbxf.kbxpart");
    WriteTestFile(partial, "half");

    // Each run: the rows the list shows (name, place, problem), or none and the status text.
    auto runCheck = [this](QStringList* rows, QString* status) {
        whenDialogOpens([=](QWidget* modal) {
            auto* check = dynamic_cast<ContainerCheckDialog*>(modal);
            ASSERT_NE(check, nullptr);
            EXPECT_EQ(check->windowTitle(), QStringLiteral("暗号ファイルの検査"));
            ASSERT_TRUE(WaitFor([check] { return !check->isRunning(); }));
            auto* list = check->findChild<QTreeWidget*>(QStringLiteral("results"));
            if (!list->isHidden()) {
                EXPECT_EQ(QApplication::focusWidget(), list) << "the list is read first";
                for (int i = 0; i < list->topLevelItemCount(); ++i) {
                    const QTreeWidgetItem* row = list->topLevelItem(i);
                    rows->append(row->text(0) + QLatin1Char('|') + row->text(1) + QLatin1Char('|') +
                                 row->text(2));
                }
            }
            *status = check->findChild<QLabel*>(QStringLiteral("status"))->text();
            EXPECT_EQ(UnnamedControls(check), QStringList());
            QTest::keyClick(check, Qt::Key_Escape);
        });
        EXPECT_EQ(frame->runCommand(Command::ContainerCheck), Result::Ok);
    };
    QStringList rows;
    QString status;
    runCheck(&rows, &status);
    EXPECT_EQ(rows, (QStringList{QStringLiteral("壊れた.txt|金庫/sub|") +
                                     ContainerCheckDialog::problemText(CheckFinding::Damaged),
                                 QStringLiteral(".a.kbxf.kbxpart|金庫|") +
                                     ContainerCheckDialog::problemText(CheckFinding::Partial)}));
    EXPECT_EQ(status, QStringLiteral("問題が 2 件見つかりました。"));

    QFile::remove(damaged);
    QFile::remove(partial);
    rows.clear();
    runCheck(&rows, &status);
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_EQ(status, QStringLiteral("すべての暗号ファイルは正常です。"));
    EXPECT_TRUE(messages.texts().isEmpty()) << shownTexts();
}
