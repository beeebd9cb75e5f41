#include "dialogs/takeout/TakeOutDialog.h"

#include "dialogs/common/DialogPictures.h"
#include "dialogs/takeout/FileTransferRunner.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/PromptService.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>

namespace {

// The band of the copy and move buttons; mail take-outs hide it, which makes the window
// exactly this much shorter.
constexpr int ButtonBandHeight = 60;

// The icon list: a press on the item and a move beyond the drag distance start a drag with the
// button that was pressed, the left or the right one.
class DragIconList : public QListWidget
{
public:
    std::function<void(Qt::MouseButton)> onDrag;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_button = Qt::NoButton;
        if ((event->button() == Qt::LeftButton || event->button() == Qt::RightButton) &&
            itemAt(event->position().toPoint())) {
            m_button = event->button();
            m_pressedAt = event->position().toPoint();
        }
        QListWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_button != Qt::NoButton && (event->buttons() & m_button) &&
            (event->position().toPoint() - m_pressedAt).manhattanLength() >=
                QApplication::startDragDistance()) {
            const Qt::MouseButton button = m_button;
            m_button = Qt::NoButton;
            if (onDrag) {
                onDrag(button);
            }
            return;
        }
        QListWidget::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_button = Qt::NoButton;
        QListWidget::mouseReleaseEvent(event);
    }

private:
    Qt::MouseButton m_button = Qt::NoButton;
    QPoint m_pressedAt;
};

QString withSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

TakeOutDialog::TakeOutDialog(QWidget* parent)
    : OpeningDialog(parent), m_list(new DragIconList), m_buttonBand(new QWidget),
      m_copy(new QPushButton(QStringLiteral("場所を指定してコピーする..."))),
      m_move(new QPushButton(QStringLiteral("場所を指定して移動する..."))), m_notice(new QLabel),
      m_cancel(new QPushButton(QStringLiteral("キャンセル"))),
      m_mail(new QPushButton(QStringLiteral("メールに添付")))
{
    setWindowTitle(QStringLiteral("取り出し"));
    m_list->setObjectName(QStringLiteral("iconList"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(32, 32));
    m_list->setGridSize(QSize(78, 75));
    m_list->setMovement(QListView::Static);
    m_list->setDragEnabled(false);
    m_list->setFixedSize(96, 90);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setAccessibleName(QStringLiteral("取り出すアイコン"));
    m_list->setAccessibleDescription(QStringLiteral("ドラッグして取り出します"));
    static_cast<DragIconList*>(m_list)->onDrag = [this](Qt::MouseButton button) { dragItems(button); };

    m_copy->setObjectName(QStringLiteral("copyButton"));
    m_move->setObjectName(QStringLiteral("moveButton"));
    m_notice->setObjectName(QStringLiteral("notice"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_notice->setWordWrap(true);
    m_notice->setFixedWidth(520);
    m_buttonBand->setFixedHeight(ButtonBandHeight);

    auto* band = new QHBoxLayout(m_buttonBand);
    band->setContentsMargins(0, 0, 0, 0);
    band->addStretch();
    band->addWidget(m_copy);
    band->addSpacing(12);
    band->addWidget(m_move);
    band->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(m_list, 0, Qt::AlignHCenter);
    layout->addWidget(m_buttonBand);
    layout->addSpacing(8);
    layout->addWidget(m_notice);
    layout->addSpacing(12);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_mail);
    bottom->addStretch();
    bottom->addWidget(m_cancel);
    m_mail->setObjectName(QStringLiteral("mailButton"));
    m_mail->setAutoDefault(false);
    m_mail->setToolTip(
        QStringLiteral("メールのプログラムで新しいメールを作り、取り出すファイルを添付します"));
    connect(m_mail, &QPushButton::clicked, this, &TakeOutDialog::attachToMail);
    layout->addLayout(bottom);

    for (QPushButton* button : {m_copy, m_move}) {
        button->setAutoDefault(false);
    }
    connect(m_copy, &QPushButton::clicked, this, &TakeOutDialog::copyTo);
    connect(m_move, &QPushButton::clicked, this, &TakeOutDialog::moveTo);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TakeOutDialog::MailProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

void TakeOutDialog::attachToMail()
{
    QStringList arguments;
    for (const QString& path : paths) {
        arguments << QStringLiteral("--attach") << path;
    }
    if (!QProcess::startDetached(MailProgram(), arguments)) {
        ShowMessage(QStringLiteral("メールのプログラムを起動できませんでした。"), MessageStyle::warning());
    }
}

bool TakeOutDialog::initDialog()
{
    nothingToClean = 0;
    moved = 0;
    QString notice =
        QStringLiteral("上記アイコンをドラッグ＆ドロップするか、コピーまたは移動先を指定してください。");
    switch (type) {
    case Decrypted:
        setWindowTitle(MsgA(470));
        break;
    case Encrypted:
        setWindowTitle(MsgA(471));
        break;
    case NewPassword:
        setWindowTitle(MsgA(472));
        break;
    case DecryptedForMail:
        setWindowTitle(MsgA(473));
        notice = MsgA(474);
        break;
    case NewPasswordForMail:
        setWindowTitle(MsgA(475));
        notice = MsgA(476);
        break;
    case Unchanged:
        setWindowTitle(QStringLiteral("取り出し"));
        break;
    default:
        setWindowTitle(QString());
        break;
    }
    // Where the desktop has a mail handler, the copies can also be handed to it as attachments;
    // they stay in place until the dialog closes.
    m_mail->setVisible(isMail() && !MailProgram().isEmpty() && hasFile == 1 && hasFolder == 0);
    if (isMail()) {
        // Mail take-outs can only be dragged into the mail.
        m_buttonBand->hide();
    } else if (readOnly == 1) {
        m_move->hide();
        notice = MsgA(477);
    }
    m_notice->setText(notice);

    m_list->clear();
    auto* item = new QListWidgetItem(QIcon(TakeOutIcon(iconIndex())), QString(), m_list);
    item->setFlags(Qt::ItemIsEnabled);
    item->setSizeHint(QSize(78, 75));
    item->setToolTip(QStringLiteral("ドラッグして取り出します"));
    // The item shows only a picture; a screen reader reads what it stands for.
    item->setData(Qt::AccessibleTextRole, itemsName());
    // The dialog opens on キャンセル, its default: Enter closes it as before, and Tab reaches the
    // ways out in reading order from there.
    m_cancel->setFocus();
    fitToContents();

    if (anyEntryMissing()) {
        ShowMessage(MsgA(478), MessageStyle::error());
        nothingToClean = 1;
        endAtOpening(Rejected);
        return false;
    }
    return true;
}

int TakeOutDialog::iconIndex() const
{
    const int column = hasFile == 1 && hasFolder == 1 ? 2 : hasFolder == 1 ? 1 : 0;
    const bool encrypted = type == Encrypted || type == NewPassword || type == NewPasswordForMail;
    return (encrypted ? 3 : 0) + column;
}

QString TakeOutDialog::itemsName() const
{
    const qsizetype n = qMin<qsizetype>(count, paths.size());
    if (n == 1) {
        return FileNamePart(paths.first());
    }
    return QStringLiteral("%1 個の項目").arg(n);
}

bool TakeOutDialog::anyEntryMissing() const
{
    const qsizetype n = qMin<qsizetype>(count, paths.size());
    for (qsizetype i = 0; i < n; ++i) {
        const bool folder = i < kinds.size() && kinds.at(i) == QStringLiteral("1");
        if ((folder ? DirectoryExists(paths.at(i)) : FileExists(paths.at(i))) != 0) {
            return true;
        }
    }
    return false;
}

Qt::DropActions TakeOutDialog::allowedActions(Qt::MouseButton button) const
{
    if (button != Qt::RightButton || isMail() || readOnly == 1) {
        return Qt::CopyAction;
    }
    if ((type == Encrypted || type == NewPassword) && outsideDDMoveFlg != 1) {
        return Qt::CopyAction;
    }
    return Qt::CopyAction | Qt::MoveAction;
}

QMimeData* TakeOutDialog::dragData() const
{
    QList<QUrl> urls;
    QByteArray copied("copy");
    for (const QString& path : paths.mid(0, count)) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls.append(url);
        copied += '\n' + url.toEncoded();
    }
    auto* data = new QMimeData;
    data->setUrls(urls); // also text/uri-list
    data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    return data;
}

Qt::DropAction TakeOutDialog::runDrag(QMimeData* data, Qt::DropActions allowed)
{
    QDrag drag(this);
    drag.setMimeData(data);
    drag.setPixmap(TakeOutIcon(iconIndex()));
    drag.setHotSpot(QPoint(16, 16));
    return drag.exec(allowed, Qt::CopyAction);
}

void TakeOutDialog::dragItems(Qt::MouseButton button)
{
    const Qt::DropAction action = runDrag(dragData(), allowedActions(button));
    const bool vanished = anyEntryMissing();
    moved = vanished ? 1 : 0;
    const bool dropped = action != Qt::IgnoreAction;
    if (isMail()) {
        if (dropped) {
            ShowMessage(MsgA(479), MessageStyle::information());
            accept();
        }
        return;
    }
    if (vanished || dropped) {
        accept();
    }
}

void TakeOutDialog::copyTo()
{
    QString chosen;
    if (PromptService::instance().BrowseForFolder(MsgA(480), QString(), QStringLiteral("項目のコピー"),
                                                  QStringLiteral("コピー"), 1, &chosen) != 0) {
        return;
    }
    FileTransferRunner(this).run(FileTransferRunner::Mode::Copy, paths.mid(0, count), chosen);
    moved = 0;
    accept();
}

void TakeOutDialog::moveTo()
{
    QString chosen;
    if (PromptService::instance().BrowseForFolder(MsgA(481), QString(), QStringLiteral("項目の移動"),
                                                  QStringLiteral("移動"), 1, &chosen) != 0) {
        return;
    }
    if (PathsOverlap(withSeparator(chosen), withSeparator(rootPath)) == 0) {
        ShowMessage(QStringLiteral("現在の暗号フォルダー内に移動はできません。\n取り出し画面では暗号フォルダ"
                                   "ーの外へ取り出してください。"),
                    MessageStyle::warning());
        return;
    }
    FileTransferRunner(this).run(FileTransferRunner::Mode::Move, paths.mid(0, count), chosen);
    moved = 1;
    accept();
}
