#include "DialogTestSupport.h"
#include "dialogs/common/AboutDialog.h"
#include "dialogs/confirmation/OptOutNoticeDialog.h"
#include "dialogs/confirmation/ReplaceFileDialog.h"
#include "dialogs/confirmation/ReplaceFolderDialog.h"
#include "dialogs/confirmation/StillDecryptedDialog.h"
#include "dialogs/confirmation/WaitWindow.h"
#include "dialogs/takeout/EncryptedTakeOutDialog.h"
#include "engine/ContainerCrypt.h"
#include "store/settings/SettingsFile.h"
#include "support/TestFiles.h"
#include "util/SizeText.h"
#include "util/TimeText.h"

#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

bool shown(const QWidget* dialog, const char* name)
{
    const auto* w = dialog->findChild<QWidget*>(QString::fromLatin1(name));
    return w && !w->isHidden();
}

void waitMs(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

struct AnswerCase
{
    const char* button;
    int answer;
};

} // namespace

using ConfirmationDialogsTest = DialogTest;

TEST_F(ConfirmationDialogsTest, FileOverwriteQuestionAnswersAndButtonSets)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.txt"));
    const QString incoming = dir.filePath(QStringLiteral("new.txt"));
    WriteTestFile(existing, QByteArray(2048, 'a'));
    WriteTestFile(incoming, "x");

    const AnswerCase cases[] = {
        {"yesButton", ReplaceFileDialog::Yes},
        {"yesToAllButton", ReplaceFileDialog::YesToAll},
        {"noButton", ReplaceFileDialog::No},
        {"cancelButton", ReplaceFileDialog::Cancel},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        ReplaceFileDialog dialog;
        dialog.single = 0;
        dialog.displayName = QStringLiteral("report.txt");
        dialog.existingPath = existing;
        dialog.newPath = incoming;
        dialog.answer = 99;
        clickWhenOpen(QString::fromLatin1(c.button));
        EXPECT_EQ(dialog.exec(), QDialog::Accepted) << c.button;
        EXPECT_EQ(dialog.answer, c.answer) << c.button;
    }

    ReplaceFileDialog single;
    single.displayName = QStringLiteral("report.txt");
    single.existingPath = existing;
    single.newPath = incoming;
    ASSERT_TRUE(single.prepare());
    EXPECT_TRUE(shown(&single, "yesButton"));
    EXPECT_TRUE(shown(&single, "noButton"));
    EXPECT_FALSE(shown(&single, "yesToAllButton"));
    EXPECT_FALSE(shown(&single, "cancelButton"));
    EXPECT_EQ(single.findChild<QLabel*>(QStringLiteral("question"))->text(),
              MsgA(496) + QStringLiteral("report.txt") + MsgA(497));
    QString time;
    ASSERT_EQ(FileTimeText(existing, FileTimeKind::LastWrite, &time), 0);
    EXPECT_EQ(single.findChild<QLabel*>(QStringLiteral("existingDescription"))->text(),
              QStringLiteral("サイズ：　") + SizeText(2048) + QStringLiteral("\n更新日時：　") + time);

    // The close box stops: the callers read answer 0 as the end of the operation.
    whenDialogOpens([](QWidget* w) { w->close(); });
    EXPECT_EQ(single.exec(), QDialog::Rejected);
    EXPECT_EQ(single.answer, ReplaceFileDialog::Cancel);
}

TEST_F(ConfirmationDialogsTest, ContainerDescriptionShowsOriginalSizeAndStoredTime)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    WriteTestFile(plain, QByteArray(5000, 'z'));
    const QDateTime modified(QDate(2023, 4, 5), QTime(6, 7, 8));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    const QString slot = dir.path();
    CryptEngine& engine = CryptEngine::instance();
    ASSERT_EQ(engine.SetKeySlot(QByteArrayLiteral("password123"), slot, QString()), 0);
    const QString container = dir.filePath(QStringLiteral("c.kbxf"));
    ASSERT_EQ(ContainerCrypt::instance().EncryptIntoFolder(plain, container, slot), 0);

    ReplaceFileDialog dialog;
    dialog.existingPath = container;
    dialog.existingIsContainer = true;
    dialog.existingSlot = slot;
    dialog.newPath = dir.filePath(QStringLiteral("missing"));
    ASSERT_TRUE(dialog.prepare());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("existingDescription"))->text(),
              QStringLiteral("元のサイズ：　") + SizeText(5000) +
                  QStringLiteral("\n更新日時：　2023年04月05日 06:07:08"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("newDescription"))->text(),
              QStringLiteral("サイズ：　不明\n更新日時：　不明"));
    engine.ClearKeySlot(slot);
}

TEST_F(ConfirmationDialogsTest, FolderOverwriteQuestionAnswers)
{
    const AnswerCase cases[] = {
        {"yesButton", ReplaceFolderDialog::Yes},
        {"yesToAllButton", ReplaceFolderDialog::YesToAll},
        {"noButton", ReplaceFolderDialog::No},
        {"cancelButton", ReplaceFolderDialog::Cancel},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        ReplaceFolderDialog dialog;
        dialog.single = 0;
        dialog.folderName = QStringLiteral("写真");
        clickWhenOpen(QString::fromLatin1(c.button));
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_EQ(dialog.answer, c.answer) << c.button;
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("question"))->text(),
                  MsgA(498) + QStringLiteral("写真") + MsgA(499));
    }
    ReplaceFolderDialog single;
    ASSERT_TRUE(single.prepare());
    EXPECT_FALSE(shown(&single, "yesToAllButton"));
    EXPECT_FALSE(shown(&single, "cancelButton"));
}

TEST_F(ConfirmationDialogsTest, NoticeRecordsDoNotShowAgainAndCentresALoneButton)
{
    OptOutNoticeDialog notice;
    notice.message = MsgA(10);
    notice.checked = 1;
    notice.yesNo = true;
    clickWhenOpen(QStringLiteral("okButton"));
    EXPECT_EQ(notice.exec(), QDialog::Accepted);
    EXPECT_EQ(notice.dontShowAgain, 1);
    EXPECT_EQ(notice.windowTitle(), QStringLiteral("Kurabox"));
    EXPECT_EQ(notice.findChild<QPushButton*>(QStringLiteral("okButton"))->text(), QStringLiteral("はい"));
    EXPECT_EQ(notice.findChild<QPushButton*>(QStringLiteral("cancelButton"))->text(),
              QStringLiteral("いいえ"));

    OptOutNoticeDialog unticked;
    whenDialogOpens([](QWidget* w) {
        w->findChild<QCheckBox*>(QStringLiteral("dontShowAgain"))->setChecked(false);
        w->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    unticked.checked = 1;
    EXPECT_EQ(unticked.exec(), QDialog::Accepted);
    EXPECT_EQ(unticked.dontShowAgain, 0);

    OptOutNoticeDialog lone;
    lone.message = QStringLiteral("短い");
    lone.secondButton = false;
    lone.show();
    ASSERT_TRUE(lone.prepare());
    QApplication::processEvents();
    const auto* ok = lone.findChild<QPushButton*>(QStringLiteral("okButton"));
    const auto* cancel = lone.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_LE(std::abs(ok->geometry().center().x() - lone.width() / 2), 2);
    lone.close();
}

TEST_F(ConfirmationDialogsTest, ReturnMessageDefaultsToCancel)
{
    StillDecryptedDialog dialog;
    dialog.title = QStringLiteral("終了確認");
    dialog.text = MsgA(647);
    dialog.listText = QStringLiteral("a.txt\r\nb.txt");
    dialog.buttonText = MsgA(648);
    ASSERT_TRUE(dialog.prepare());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("終了確認"));
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->isDefault());
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("goButton"))->isDefault());

    clickWhenOpen(QStringLiteral("goButton"));
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    clickWhenOpen(QStringLiteral("cancelButton"));
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST_F(ConfirmationDialogsTest, WaitWindowAppearsOnlyAfterItsDelay)
{
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    {
        auto wait = std::make_unique<WaitWindow>(&owner);
        bool everVisible = false;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 600) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            everVisible = everVisible || wait->isVisible();
        }
        EXPECT_FALSE(everVisible);
    } // destroyed before the delay ran out
    waitMs(400);

    WaitWindow slow(&owner);
    EXPECT_FALSE(slow.isVisible());
    waitMs(WaitWindow::ShowDelayMs + 300);
    EXPECT_TRUE(slow.isVisible());
    EXPECT_TRUE(slow.windowTitle().isEmpty());
}

TEST_F(ConfirmationDialogsTest, VersionTextDropsTheLeadingLetter)
{
    const QString before = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    AboutDialog about;
    ASSERT_TRUE(about.prepare());
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("product"))->text(),
              QStringLiteral("Kurabox　Version ") + SettingsVersion);
    QCoreApplication::setApplicationVersion(before);
}

TEST_F(ConfirmationDialogsTest, TakeOutNameChoiceWritesTheInvertedSetting)
{
    SettingsRecord settings;
    settings.AngoOutNameMode = 0;
    EncryptedTakeOutDialog again(settings);
    whenDialogOpens([](QWidget* w) {
        auto* box = w->findChild<QCheckBox*>(QStringLiteral("useOriginalNames"));
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        for (QPushButton* b : w->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("OK")) {
                b->click();
            }
        }
    });
    EXPECT_EQ(again.exec(), QDialog::Accepted);
    EXPECT_EQ(settings.AngoOutNameMode, 1);
}
