#include "frame/MessageBoxService.h"

#include "frame/DialogPromptService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs `act` on the first modal window that opens.
void whenModalOpens(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(50, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            act(modal);
        } else {
            whenModalOpens(act);
        }
    });
}

} // namespace

TEST(MessageBoxServiceTest, BoxHasProductCaptionIconAndAnswers)
{
    MessageBoxService service;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(service.ShowMessage(QStringLiteral("上書きしますか？"), MessageStyle::question()),
              MsgButton::No);
    EXPECT_EQ(caption, QStringLiteral("Kurabox"));
    EXPECT_EQ(icon, QMessageBox::Question);

    whenModalOpens([](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(service.ShowMessage(QStringLiteral("エラー"), MessageStyle::error()), MsgButton::Ok);
}

TEST(MessageBoxServiceTest, FolderBrowserReturnsChoiceWithoutTrailingSeparator)
{
    QTemporaryDir dir;
    DialogPromptService prompts;
    QString title;
    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QString chosen;
    ASSERT_EQ(prompts.BrowseForFolder(QStringLiteral("作業用フォルダーの選択"),
                                      dir.path() + QStringLiteral("/"), QString(), QString(), 2, &chosen),
              0);
    EXPECT_EQ(chosen, dir.path());
    EXPECT_EQ(title, QStringLiteral("作業用フォルダーの選択"));

    whenModalOpens([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(prompts.BrowseForFolder(QStringLiteral("t"), dir.path(), QString(), QString(), 1, &chosen), -1);
}
