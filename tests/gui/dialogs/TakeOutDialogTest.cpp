#include "dialogs/takeout/TakeOutDialog.h"

#include "DialogTestSupport.h"
#include "dialogs/takeout/FileTransferRunner.h"
#include "support/TestFiles.h"
#include "util/PromptService.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// A folder browser that answers with a fixed folder and counts its calls.
class ChosenFolder : public PromptService
{
public:
    explicit ChosenFolder(QString folder) : m_folder(std::move(folder)) { PromptService::install(this); }
    ~ChosenFolder() override { PromptService::install(nullptr); }
    int BrowseForFolder(const QString& title, const QString&, const QString& caption, const QString& okText,
                        int, QString* chosen) override
    {
        ++calls;
        lastTitle = title;
        lastCaption = caption;
        lastOk = okText;
        *chosen = m_folder;
        return m_folder.isEmpty() ? -1 : 0;
    }
    int calls = 0;
    QString lastTitle, lastCaption, lastOk;

private:
    QString m_folder;
};

// The take-out dialog with the drop target played by the test.
class ScriptedDrag : public TakeOutDialog
{
public:
    std::function<Qt::DropAction(QMimeData*)> target = [](QMimeData*) { return Qt::IgnoreAction; };
    Qt::DropActions offered;
    int drags = 0;

protected:
    Qt::DropAction runDrag(QMimeData* data, Qt::DropActions allowed) override
    {
        ++drags;
        offered = allowed;
        const Qt::DropAction action = target(data);
        delete data;
        return action;
    }
};

class TakeOutDialogTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        root = m_dir.filePath(QStringLiteral("secret"));
        area = m_dir.filePath(QStringLiteral("work/To"));
        outside = m_dir.filePath(QStringLiteral("outside"));
        ASSERT_TRUE(QDir().mkpath(root));
        ASSERT_TRUE(QDir().mkpath(area + QStringLiteral("/album")));
        ASSERT_TRUE(QDir().mkpath(outside));
        WriteTestFile(area + QStringLiteral("/memo.txt"), "memo");
        WriteTestFile(area + QStringLiteral("/album/p1.jpg"), "p1");
    }

    void fill(TakeOutDialog& d, TakeOutDialog::Type type) const
    {
        d.paths = {area + QStringLiteral("/memo.txt"), area + QStringLiteral("/album")};
        d.kinds = {QStringLiteral("0"), QStringLiteral("1")};
        d.count = 2;
        d.type = type;
        d.hasFile = 1;
        d.hasFolder = 1;
        d.rootPath = root;
    }

    QString root, area, outside;

private:
    QTemporaryDir m_dir;
};

bool shown(const QWidget* dialog, const char* name)
{
    const auto* w = dialog->findChild<QWidget*>(QString::fromLatin1(name));
    return w && w->isVisibleTo(dialog);
}

} // namespace

TEST_F(TakeOutDialogTest, TitlesNoticesAndMailLayout)
{
    TakeOutDialog plain;
    fill(plain, TakeOutDialog::Decrypted);
    ASSERT_TRUE(plain.prepare());
    EXPECT_EQ(plain.windowTitle(), MsgA(470));
    EXPECT_TRUE(shown(&plain, "copyButton"));
    EXPECT_TRUE(shown(&plain, "moveButton"));

    TakeOutDialog mail;
    fill(mail, TakeOutDialog::DecryptedForMail);
    ASSERT_TRUE(mail.prepare());
    EXPECT_EQ(mail.windowTitle(), MsgA(473));
    EXPECT_EQ(mail.findChild<QLabel*>(QStringLiteral("notice"))->text(), MsgA(474));
    EXPECT_FALSE(shown(&mail, "copyButton"));
    EXPECT_FALSE(shown(&mail, "moveButton"));
    EXPECT_EQ(plain.height() - mail.height(), 60);

    TakeOutDialog readOnly;
    fill(readOnly, TakeOutDialog::Encrypted);
    readOnly.readOnly = 1;
    ASSERT_TRUE(readOnly.prepare());
    EXPECT_EQ(readOnly.windowTitle(), MsgA(471));
    EXPECT_TRUE(shown(&readOnly, "copyButton"));
    EXPECT_FALSE(shown(&readOnly, "moveButton"));
    EXPECT_EQ(readOnly.findChild<QLabel*>(QStringLiteral("notice"))->text(), MsgA(477));

    // One item without a label.
    const auto* list = plain.findChild<QListWidget*>(QStringLiteral("iconList"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().isEmpty());
    EXPECT_FALSE(list->item(0)->icon().isNull());
}

TEST_F(TakeOutDialogTest, DragOffersMoveOnlyWhereTheItemsMayLeave)
{
    struct Case
    {
        TakeOutDialog::Type type;
        int readOnly;
        int ddMoveFlag;
        Qt::MouseButton button;
        Qt::DropActions expected;
    };
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    const Case cases[] = {
        {TakeOutDialog::Decrypted, 0, 0, Qt::LeftButton, Qt::CopyAction},
        {TakeOutDialog::Decrypted, 0, 0, Qt::RightButton, both},
        {TakeOutDialog::Decrypted, 1, 0, Qt::RightButton, Qt::CopyAction},
        {TakeOutDialog::DecryptedForMail, 0, 1, Qt::RightButton, Qt::CopyAction},
        {TakeOutDialog::NewPasswordForMail, 0, 1, Qt::RightButton, Qt::CopyAction},
        {TakeOutDialog::Encrypted, 0, 0, Qt::RightButton, Qt::CopyAction},
        {TakeOutDialog::Encrypted, 0, 1, Qt::RightButton, both},
        {TakeOutDialog::NewPassword, 0, 1, Qt::RightButton, both},
        {TakeOutDialog::Unchanged, 0, 0, Qt::RightButton, both},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        TakeOutDialog d;
        fill(d, c.type);
        d.readOnly = c.readOnly;
        d.outsideDDMoveFlg = c.ddMoveFlag;
        EXPECT_EQ(d.allowedActions(c.button), c.expected) << "type " << int(c.type) << " button " << c.button;
    }

    TakeOutDialog d;
    fill(d, TakeOutDialog::Decrypted);
    std::unique_ptr<QMimeData> data(d.dragData());
    ASSERT_EQ(data->urls().size(), 2);
    EXPECT_EQ(data->urls().at(1).toLocalFile(), area + QStringLiteral("/album"));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/uri-list")));
    EXPECT_TRUE(data->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("copy\nfile://"));
}

TEST_F(TakeOutDialogTest, RightButtonDragOnTheIconMovesItemsOut)
{
    ScriptedDrag d;
    fill(d, TakeOutDialog::Decrypted);
    d.target = [](QMimeData* data) {
        for (const QUrl& url : data->urls()) {
            QDir(url.toLocalFile()).removeRecursively();
            QFile::remove(url.toLocalFile());
        }
        return Qt::MoveAction;
    };
    whenDialogOpens([](QWidget* w) {
        auto* list = w->findChild<QListWidget*>(QStringLiteral("iconList"));
        QWidget* viewport = list->viewport();
        const QPointF at = list->visualItemRect(list->item(0)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        const QPointF to = at + QPointF(30, 30);
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::RightButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    });
    EXPECT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_EQ(d.drags, 1);
    EXPECT_EQ(d.offered, Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(d.moved, 1);
}

TEST_F(TakeOutDialogTest, DropOutcomesDecideWhetherTheDialogEnds)
{
    // A refused drop keeps the dialog open for another attempt.
    ScriptedDrag refused;
    fill(refused, TakeOutDialog::Decrypted);
    ASSERT_TRUE(refused.prepare());
    refused.show();
    refused.dragItems(Qt::LeftButton);
    EXPECT_TRUE(refused.isVisible());
    EXPECT_EQ(refused.moved, 0);
    refused.close();

    // A copy into a mail ends with the reminder to check the attachment.
    ScriptedDrag mail;
    fill(mail, TakeOutDialog::DecryptedForMail);
    mail.target = [](QMimeData*) { return Qt::CopyAction; };
    whenDialogOpens([&mail](QWidget*) { mail.dragItems(Qt::LeftButton); });
    EXPECT_EQ(mail.exec(), QDialog::Accepted);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(479)});
    EXPECT_EQ(messages.shown().first().style, MessageStyle::information());
    EXPECT_EQ(mail.moved, 0);
}

TEST_F(TakeOutDialogTest, VanishedItemEndsAtOnceWithNothingToClean)
{
    QFile::remove(area + QStringLiteral("/memo.txt"));
    TakeOutDialog d;
    fill(d, TakeOutDialog::Decrypted);
    EXPECT_EQ(d.exec(), QDialog::Rejected);
    EXPECT_EQ(d.nothingToClean, 1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(478)});
    EXPECT_EQ(messages.shown().first().style, MessageStyle::error());
    EXPECT_FALSE(d.isVisible());
}

TEST_F(TakeOutDialogTest, CopyButtonCopiesIntoTheChosenFolder)
{
    ChosenFolder browser(outside);
    TakeOutDialog d;
    fill(d, TakeOutDialog::Decrypted);
    clickWhenOpen(QStringLiteral("copyButton"));
    EXPECT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_EQ(browser.lastTitle, MsgA(480));
    EXPECT_EQ(browser.lastCaption, QStringLiteral("項目のコピー"));
    EXPECT_EQ(browser.lastOk, QStringLiteral("コピー"));
    EXPECT_EQ(d.moved, 0);
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/memo.txt")), "memo");
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/album/p1.jpg")), "p1");
    EXPECT_TRUE(QFile::exists(area + QStringLiteral("/memo.txt")));
}

TEST_F(TakeOutDialogTest, MoveIntoTheEncryptedFolderIsRefused)
{
    for (const QString& inside : {root, root + QStringLiteral("/sub")}) {
        QDir().mkpath(inside);
        ChosenFolder browser(inside);
        TakeOutDialog d;
        fill(d, TakeOutDialog::Decrypted);
        whenDialogOpens([](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("moveButton"))->click();
            EXPECT_TRUE(w->isVisible()); // still open after the refusal
            w->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        });
        EXPECT_EQ(d.exec(), QDialog::Rejected);
        EXPECT_EQ(d.moved, 0);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_TRUE(messages.texts().first().startsWith(
            QStringLiteral("現在の暗号フォルダー内に移動はできません。")));
        EXPECT_EQ(messages.shown().first().style, MessageStyle::warning());
        EXPECT_TRUE(QFile::exists(area + QStringLiteral("/memo.txt")));
        messages.clear();
    }

    // A sibling whose name merely starts with the root's name lies outside it.
    const QString sibling = root + QStringLiteral("Copies");
    QDir().mkpath(sibling);
    ChosenFolder browser(sibling);
    TakeOutDialog d;
    fill(d, TakeOutDialog::Decrypted);
    clickWhenOpen(QStringLiteral("moveButton"));
    EXPECT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_EQ(browser.lastCaption, QStringLiteral("項目の移動"));
    EXPECT_EQ(d.moved, 1);
    EXPECT_EQ(ReadTestFile(sibling + QStringLiteral("/album/p1.jpg")), "p1");
    EXPECT_FALSE(QFile::exists(area + QStringLiteral("/memo.txt")));
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(TakeOutDialogTest, TransferAsksAboutTakenNames)
{
    WriteTestFile(outside + QStringLiteral("/memo.txt"), "old memo");
    QDir().mkpath(outside + QStringLiteral("/album"));
    WriteTestFile(outside + QStringLiteral("/album/p1.jpg"), "old p1");
    WriteTestFile(outside + QStringLiteral("/album/keep.jpg"), "keep");
    const QStringList items = {area + QStringLiteral("/memo.txt"), area + QStringLiteral("/album")};

    // Skip the file, merge the folder, replace the file inside it.
    FileTransferRunner runner;
    // The questions come one after another; answer each as it opens.
    QStringList answers = {QStringLiteral("noButton"), QStringLiteral("yesButton"),
                           QStringLiteral("yesButton")};
    std::function<void()> next = [&] {
        if (answers.isEmpty()) {
            return;
        }
        whenDialogOpens([&](QWidget* w) {
            w->findChild<QAbstractButton*>(answers.takeFirst())->click();
            next();
        });
    };
    next();
    EXPECT_EQ(runner.run(FileTransferRunner::Mode::Copy, items, outside), 0);
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/memo.txt")), "old memo");
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/album/p1.jpg")), "p1");
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/album/keep.jpg")), "keep");

    // Cancel stops the run and leaves the rest untouched.
    WriteTestFile(area + QStringLiteral("/memo.txt"), "new memo");
    clickWhenOpen(QStringLiteral("cancelButton"));
    EXPECT_EQ(runner.run(FileTransferRunner::Mode::Move, items, outside), -9);
    EXPECT_EQ(ReadTestFile(outside + QStringLiteral("/memo.txt")), "old memo");
    EXPECT_TRUE(QFile::exists(area + QStringLiteral("/memo.txt")));
    EXPECT_TRUE(QFile::exists(area + QStringLiteral("/album/p1.jpg")));
}

TEST_F(TakeOutDialogTest, FolderIsNeverCopiedIntoItself)
{
    FileTransferRunner runner;
    EXPECT_EQ(runner.run(FileTransferRunner::Mode::Copy, {area + QStringLiteral("/album")},
                         area + QStringLiteral("/album/inner")),
              -1);
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_FALSE(QFile::exists(area + QStringLiteral("/album/inner/album")));
}
