#include "dialogs/tools/ContainerCheckDialog.h"

#include "operations/check/FolderCheckRun.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int ProgressSteps = 1000;
constexpr int PollMs = 200;

QString mebibytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

} // namespace

QString ContainerCheckDialog::problemText(int kind)
{
    switch (static_cast<CheckFinding::Kind>(kind)) {
    case CheckFinding::Damaged:
        return QStringLiteral("破損しています");
    case CheckFinding::OtherPassword:
        return QStringLiteral("別のパスワードの暗号ファイルです");
    case CheckFinding::NewerFormat:
        return QStringLiteral("新しい形式の暗号ファイルです");
    case CheckFinding::Unreadable:
        return QStringLiteral("ヘッダーまたは名前ブロックを読めません");
    case CheckFinding::NameNotText:
        return QStringLiteral("ファイル名を読めません");
    case CheckFinding::Plain:
        return QStringLiteral("暗号化されていないファイルです");
    case CheckFinding::Duplicate:
        return QStringLiteral("同じ名前のファイルがあります");
    case CheckFinding::UnusableName:
        return QStringLiteral("元の名前がファイル名として使えません");
    case CheckFinding::Partial:
        return QStringLiteral("書き込みが終わらずに残ったファイルです");
    case CheckFinding::NotAFile:
        return QStringLiteral("暗号ファイルの名前ですがファイルではありません");
    }
    return QString();
}

ContainerCheckDialog::ContainerCheckDialog(const QString& root, const KeySlot& key, int jobs, QWidget* parent)
    : QDialog(parent), m_root(root), m_run(std::make_unique<FolderCheckRun>(root, true, key, jobs)),
      m_status(new QLabel), m_bar(new QProgressBar), m_list(new QTreeWidget), m_summary(new QLabel),
      m_stopButton(new QPushButton(QStringLiteral("中止(&S)"))),
      m_closeButton(new QPushButton(QStringLiteral("閉じる"))), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("ContainerCheckDialog"));
    setWindowTitle(QStringLiteral("暗号ファイルの検査"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setText(QStringLiteral("%1 のファイルを一覧しています…").arg(QDir::toNativeSeparators(root)));
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setAccessibleName(QStringLiteral("検査の進み具合"));
    m_bar->setRange(0, 0);
    m_list->setObjectName(QStringLiteral("results"));
    m_list->setAccessibleName(QStringLiteral("見つかった問題"));
    m_list->setHeaderLabels(
        {QStringLiteral("名前"), QStringLiteral("場所"), QStringLiteral("問題"), QStringLiteral("詳細")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumSize(640, 220);
    m_list->hide();
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_summary->hide();
    m_stopButton->setObjectName(QStringLiteral("stop"));
    m_stopButton->setAccessibleName(QStringLiteral("検査を中止"));
    m_closeButton->setObjectName(QStringLiteral("close"));
    m_closeButton->setEnabled(false);
    connect(m_stopButton, &QPushButton::clicked, this, &ContainerCheckDialog::stop);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    m_timer->setInterval(PollMs);
    connect(m_timer, &QTimer::timeout, this, &ContainerCheckDialog::showProgress);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);
    setMinimumWidth(480);
}

ContainerCheckDialog::~ContainerCheckDialog()
{
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void ContainerCheckDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_thread.joinable()) {
        start();
    }
}

void ContainerCheckDialog::start()
{
    m_stopButton->setFocus();
    m_timer->start();
    m_thread = std::thread([this] {
        const int result = m_run->Run([this] { return m_stop.load(); }, [] {});
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
    });
}

void ContainerCheckDialog::stop()
{
    if (isRunning()) {
        m_stop = true;
        m_stopButton->setEnabled(false);
        m_status->setText(QStringLiteral("検査中のファイルを終えてから中止します…"));
    }
}

// Escape and the window's close button stop a running check; the window closes once it ended.
void ContainerCheckDialog::reject()
{
    if (isRunning()) {
        stop();
        return;
    }
    QDialog::reject();
}

void ContainerCheckDialog::showProgress()
{
    if (m_stop) {
        return;
    }
    const qint64 files = m_run->filesTotal();
    const qint64 bytes = m_run->bytesTotal();
    if (files == 0) {
        return; // still listing
    }
    m_bar->setRange(0, ProgressSteps);
    m_bar->setValue(
        bytes > 0 ? int(std::min<qint64>(ProgressSteps, m_run->bytesDone() * ProgressSteps / bytes)) : 0);
    m_status->setText(
        QStringLiteral("暗号ファイルを検査しています（%1 / %2 個）").arg(m_run->filesDone()).arg(files));
}

void ContainerCheckDialog::finish(int result)
{
    m_thread.join();
    m_finished = true;
    m_timer->stop();
    m_bar->hide();
    m_stopButton->hide();
    m_closeButton->setEnabled(true);
    m_closeButton->setDefault(true);
    if (result != Result::Ok) {
        m_status->setText(m_run->unlistableFolder().isEmpty()
                              ? QStringLiteral("検査を始められませんでした。") + m_run->setUpFault()
                              : QStringLiteral("フォルダーの内容を読み取れません: ") +
                                    QDir::toNativeSeparators(m_run->unlistableFolder()));
    } else {
        fillResults();
    }
    // A list to read goes first; otherwise Enter closes the window.
    if (!m_list->isHidden()) {
        m_list->setFocus();
    } else {
        m_closeButton->setFocus();
    }
    emit checkFinished();
}

void ContainerCheckDialog::fillResults()
{
    const CheckSummary& summary = m_run->summary();
    const QString parent = QFileInfo(m_root).path();
    QString text = QStringLiteral("%1 個の暗号ファイルを検査しました（%2 MiB）。")
                       .arg(summary.checked)
                       .arg(mebibytes(summary.bytes));
    if (!summary.complete) {
        text = QStringLiteral("中止しました: %1 個のうち %2 個のファイルを検査しました。")
                   .arg(m_run->filesTotal())
                   .arg(m_run->filesDone()) +
               text;
    }
    if (m_run->findings().isEmpty()) {
        m_status->setText(summary.complete ? QStringLiteral("すべての暗号ファイルは正常です。")
                                           : QStringLiteral("ここまでに問題は見つかりませんでした。"));
        m_summary->setText(text);
        m_summary->show();
        return;
    }
    for (const CheckFinding& finding : m_run->findings()) {
        const QFileInfo file(finding.path);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, finding.originalName.isEmpty() ? file.fileName() : finding.originalName);
        item->setText(1, QDir::toNativeSeparators(QDir(parent).relativeFilePath(file.path())));
        item->setText(2, problemText(finding.kind));
        // The file on disk, for the user who looks for it in a file manager.
        QString detail = finding.detail;
        if (finding.kind != CheckFinding::Duplicate && !finding.originalName.isEmpty()) {
            detail = file.fileName() + (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail);
        }
        item->setText(3, detail);
        item->setToolTip(3, detail);
    }
    m_status->setText(QStringLiteral("問題が %1 件見つかりました。").arg(m_run->findings().size()));
    m_summary->setText(text);
    m_summary->show();
    m_list->show();
    m_list->setCurrentItem(m_list->topLevelItem(0));
    for (int column = 0; column < 3; ++column) {
        m_list->resizeColumnToContents(column);
    }
    adjustSize();
}
