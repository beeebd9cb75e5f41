#include "frame/MessageBoxService.h"

#include "app/QtJapanese.h"
#include "frame/DialogPromptService.h"
#include "gui/AccessibleControls.h"
#include "support/FileModes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

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

// The texts of the window's buttons that show.
QStringList buttonTexts(const QWidget* window)
{
    QStringList texts;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window) && !button->text().isEmpty()) {
            texts << button->text();
        }
    }
    return texts;
}

// What the user reads in the window, buttons, their tips and labels, that reads English.
QStringList englishTexts(const QWidget* window)
{
    QStringList texts = buttonTexts(window);
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        texts << button->toolTip();
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisibleTo(window)) {
            texts << label->text();
        }
    }
    QStringList english;
    for (const QString& text : texts) {
        if (ReadsEnglish(text)) {
            english << text;
        }
    }
    return english;
}

// The translations are global to the application: each test takes its own away again.
class QtJapaneseTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    // Installs Qt's Japanese texts; false when they are not installed on this machine.
    static bool japanese() { return InstallQtJapanese(*qApp); }
};

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
    // The chooser's visited folders land in Qt's settings file: the user's alone under any umask.
    QTemporaryDir config;
    const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const ScopedUmask umask(0);
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
    const QString state = config.filePath(QStringLiteral("QtProject.conf"));
    EXPECT_TRUE(QFile(state).size() > 0) << "the chooser wrote its state";
    EXPECT_EQ(OctalMode(state), "0600");
    qputenv("XDG_CONFIG_HOME", previousConfig);
}

TEST_F(QtJapaneseTest, QuestionBoxesAnswerInJapaneseWithOrWithoutTranslations)
{
    MessageBoxService service;
    QStringList texts;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons()) {
            texts << button->text();
        }
        EXPECT_EQ(UnnamedControls(box), QStringList());
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(service.ShowMessage(QStringLiteral("保存しますか？"),
                                  {MsgIcon::Question, MsgButtons::YesNoCancel, MsgButton::Yes}),
              MsgButton::Cancel);
    texts.sort();
    QStringList expected = {QStringLiteral("はい"), QStringLiteral("いいえ"), QStringLiteral("キャンセル")};
    expected.sort();
    EXPECT_EQ(texts, expected);
}

TEST_F(QtJapaneseTest, FolderChooserAndTextBoxMenuAreJapanese)
{
    if (!japanese()) {
        GTEST_SKIP() << "Qt's Japanese translations (qt6-translations-l10n) are not installed";
    }
    QTemporaryDir dir;
    DialogPromptService prompts;
    QStringList english;
    QStringList buttons;
    whenModalOpens([&](QWidget* w) {
        english = englishTexts(w);
        buttons = buttonTexts(w);
        static_cast<QDialog*>(w)->reject();
    });
    QString chosen;
    EXPECT_EQ(prompts.BrowseForFolder(QStringLiteral("フォルダーの選択"), dir.path(), QString(), QString(), 1,
                                      &chosen),
              -1);
    EXPECT_TRUE(buttons.contains(QStringLiteral("キャンセル"))) << buttons.join('|').toStdString();
    EXPECT_EQ(english, QStringList());

    QLineEdit box;
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList menuEnglish;
    for (const QAction* action : menu->actions()) {
        if (ReadsEnglish(action->text())) {
            menuEnglish << action->text();
        }
    }
    EXPECT_EQ(menuEnglish, QStringList());
}
