// Registering the first folder as a user without a mouse does it: the guidance's buttons and the
// folder chooser behind them.

#include "frame/DialogPromptService.h"
#include "frame/commands/CommandTable.h"
#include "gui/frame/WindowFixture.h"
#include "util/MessageText.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class RegistrationByKeyboardTest : public WindowFixture
{
};

} // namespace

// Tab to 「暗号フォルダーを選択して登録する」 and Enter: the folder chooser opens (not the password for
// the default folder), titled for what is chosen, with the instruction inside it.
TEST_F(RegistrationByKeyboardTest, EnterOnTheChooseButtonOpensTheTitledChooser)
{
    DialogPromptService dialogs(frame.get());
    PromptService::install(&dialogs);
    QString title;
    QStringList labels;
    QStringList others;
    // Answers each window as it comes: Enter on the choose button of the guidance, the chooser
    // is read and cancelled, anything else is noted and closed.
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            title = chooser->windowTitle();
            for (const QLabel* label : chooser->findChildren<QLabel*>()) {
                if (label->isVisibleTo(chooser)) {
                    labels << label->text();
                }
            }
            chooser->reject();
        } else if (auto* choose = modal->findChild<QPushButton*>(QStringLiteral("chooseButton"))) {
            choose->setFocus();
            QTest::keyClick(choose, Qt::Key_Return);
        } else {
            others << modal->windowTitle();
            modal->close();
        }
    });
    user.start();
    EXPECT_EQ(frame->runCommand(Command::Register), -1);
    user.stop();
    PromptService::install(&prompts);
    EXPECT_EQ(others, QStringList());
    EXPECT_EQ(title, QStringLiteral("暗号フォルダーの選択"));
    EXPECT_TRUE(labels.contains(MsgA(242))) << labels.join('|').toStdString();
    EXPECT_EQ(messages.shown().size(), 0) << shownTexts();
}
