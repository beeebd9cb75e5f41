#include "dialogs/takeout/FileTransferRunner.h"

#include "dialogs/confirmation/ReplaceFileDialog.h"
#include "dialogs/confirmation/ReplaceFolderDialog.h"
#include "util/ErrorText.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QProgressDialog>

#include <cerrno>
#include <limits>

namespace {

constexpr int Stopped = Result::Cancelled;
constexpr int Skipped = 1; // an item left where it is; the run goes on

bool isRealFolder(const QFileInfo& info)
{
    return info.isDir() && !info.isSymLink();
}

bool existsOrDangles(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

int countFiles(const QStringList& from)
{
    qint64 files = 0;
    for (const QString& path : from) {
        files += isRealFolder(QFileInfo(path)) ? FolderStatistics(path).files : 1;
    }
    return static_cast<int>(qMin<qint64>(files, std::numeric_limits<int>::max()));
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

FileTransferRunner::FileTransferRunner(QWidget* owner) : m_owner(owner) {}

FileTransferRunner::~FileTransferRunner()
{
    delete m_progress;
}

int FileTransferRunner::run(Mode mode, const QStringList& from, const QString& to)
{
    m_mode = mode;
    m_single = from.size() == 1 && !isRealFolder(QFileInfo(from.first()));
    m_yesToAllFiles = false;
    m_yesToAllFolders = false;
    m_done = 0;

    delete m_progress;
    m_progress = new QProgressDialog(m_owner);
    m_progress->setWindowTitle(mode == Mode::Copy ? QStringLiteral("コピー") : QStringLiteral("移動"));
    m_progress->setCancelButtonText(QStringLiteral("キャンセル"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(500);
    m_progress->setMinimumWidth(420);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->setRange(0, qMax(1, countFiles(from)));
    m_progress->setValue(0);

    for (const QString& source : from) {
        if (isRealFolder(QFileInfo(source)) &&
            PathIsInside(to + QLatin1Char('/') + FileNamePart(source), source)) {
            return refuseIntoItself(source);
        }
    }
    if (DirectoryExists(to) != 0 && !QDir().mkpath(to)) {
        return fail(to, errno ? errno : EACCES);
    }
    int rc = 0;
    for (const QString& source : from) {
        rc = transfer(source, to);
        if (rc < 0) {
            break;
        }
        rc = 0;
    }
    m_progress->hide();
    return rc;
}

// 0 or Skipped to go on, Stopped or -1 to end the run.
int FileTransferRunner::transfer(const QString& source, const QString& targetFolder)
{
    if (m_progress->wasCanceled()) {
        return Stopped;
    }
    const QFileInfo info(source);
    if (!existsOrDangles(info)) {
        return fail(source, ENOENT);
    }
    const QString target = targetFolder + QLatin1Char('/') + FileNamePart(source);
    if (SamePath(source, target)) {
        // Already there: a move has nothing to do, a copy would overwrite the item with itself.
        if (m_mode == Mode::Copy) {
            ShowMessage(QStringLiteral("コピー元とコピー先が同じです。\n\n") + shown(source),
                        MessageStyle::warning());
        }
        return Skipped;
    }
    if (isRealFolder(info)) {
        if (PathIsInside(target, source)) {
            return refuseIntoItself(source);
        }
        return transferFolder(source, target);
    }
    return transferFile(source, targetFolder);
}

int FileTransferRunner::transferFolder(const QString& source, const QString& target)
{
    const QFileInfo existing(target);
    if (existsOrDangles(existing) && !isRealFolder(existing)) {
        ShowMessage(QStringLiteral("同じ名前のファイルがあるため、フォルダーを置けません。\n\n") +
                        shown(target),
                    MessageStyle::error());
        return Result::Failed;
    }
    if (!existsOrDangles(existing)) {
        if (m_mode == Mode::Move) {
            // A whole folder moves in one step (on another volume it is copied, then removed).
            const int files = static_cast<int>(FolderStatistics(source).files);
            if (const int error = ShellMove({source}, DirectoryPart(target))) {
                return fail(source, error);
            }
            m_done += files;
            advance(FileNamePart(source));
            return 0;
        }
        if (!QDir().mkdir(target)) {
            return fail(target, errno ? errno : EACCES);
        }
    } else {
        const int answer = askFolder(source);
        if (answer != 0) {
            if (answer == Skipped) {
                m_done += static_cast<int>(FolderStatistics(source).files);
                advance(FileNamePart(source));
            }
            return answer;
        }
    }
    const QStringList entries = QDir(source).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    bool skippedSome = false;
    for (const QString& name : entries) {
        const int rc = transfer(source + QLatin1Char('/') + name, target);
        if (rc < 0) {
            return rc;
        }
        skippedSome = skippedSome || rc == Skipped;
    }
    if (m_mode == Mode::Move && !skippedSome) {
        QDir().rmdir(source);
    }
    return 0;
}

int FileTransferRunner::transferFile(const QString& source, const QString& targetFolder)
{
    const QString target = targetFolder + QLatin1Char('/') + FileNamePart(source);
    const QFileInfo existing(target);
    if (existsOrDangles(existing)) {
        if (isRealFolder(existing)) {
            ShowMessage(QStringLiteral("同じ名前のフォルダーがあるため、ファイルを置けません。\n\n") +
                            shown(target),
                        MessageStyle::error());
            return Result::Failed;
        }
        const int answer = askFile(source, target);
        if (answer != 0) {
            if (answer == Skipped) {
                ++m_done;
                advance(FileNamePart(source));
            }
            return answer;
        }
    }
    advance(FileNamePart(source));
    const int error =
        m_mode == Mode::Copy ? ShellCopy({source}, targetFolder) : ShellMove({source}, targetFolder);
    if (error) {
        return fail(source, error);
    }
    ++m_done;
    advance(FileNamePart(source));
    return m_progress->wasCanceled() ? Stopped : 0;
}

// What an overwrite answer means for the run: go on (0), skip the item, or stop.
int FileTransferRunner::followAnswer(int answer, bool* yesToAll)
{
    switch (answer) {
    case OverwriteYesToAll:
        *yesToAll = true;
        return 0;
    case OverwriteYes:
        return 0;
    case OverwriteNo:
        return Skipped;
    default:
        return Stopped;
    }
}

int FileTransferRunner::askFile(const QString& source, const QString& target)
{
    if (m_yesToAllFiles) {
        return 0;
    }
    ReplaceFileDialog question(m_owner);
    question.single = m_single ? 1 : 0;
    question.displayName = FileNamePart(target);
    question.existingPath = target;
    question.newPath = source;
    question.icon = QFileIconProvider().icon(QFileInfo(source));
    question.exec();
    return followAnswer(question.answer, &m_yesToAllFiles);
}

int FileTransferRunner::askFolder(const QString& source)
{
    if (m_yesToAllFolders) {
        return 0;
    }
    ReplaceFolderDialog question(m_owner);
    question.single = 0;
    question.folderName = FileNamePart(source);
    question.icon = QFileIconProvider().icon(QFileIconProvider::Folder);
    question.exec();
    return followAnswer(question.answer, &m_yesToAllFolders);
}

int FileTransferRunner::refuseIntoItself(const QString& folder)
{
    ShowMessage(
        QStringLiteral("フォルダーをそのフォルダー自身の中にコピーまたは移動することはできません。\n\n") +
            shown(folder),
        MessageStyle::warning());
    return Result::Failed;
}

int FileTransferRunner::fail(const QString& path, int error)
{
    const QString what = m_mode == Mode::Copy ? QStringLiteral("次の項目をコピーできませんでした。\n\n")
                                              : QStringLiteral("次の項目を移動できませんでした。\n\n");
    QString reason = SystemErrorText(error);
    if (reason.isEmpty()) {
        reason = ErrnoText(error);
    }
    if (m_progress) {
        m_progress->hide();
    }
    ShowMessage(what + shown(path) + QStringLiteral("\n\n") + reason, MessageStyle::error());
    return Result::Failed;
}

void FileTransferRunner::advance(const QString& name)
{
    const QString verb =
        m_mode == Mode::Copy ? QStringLiteral("コピーしています: ") : QStringLiteral("移動しています: ");
    m_progress->setLabelText(verb + name);
    m_progress->setValue(qMin(m_done, m_progress->maximum()));
    QCoreApplication::processEvents();
}
