#include "operations/backup/FolderBackup.h"

#include "engine/ContainerCrypt.h"
#include "operations/common/StoreEntries.h"
#include "store/StoreContext.h"
#include "store/checks/PathChecks.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int NewFolderAllowed = 0; // the chooser's mode that offers making a new folder
constexpr mode_t PermissionBits = 07777;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonOf(int error)
{
    const QString text = SystemErrorText(error);
    return text.isEmpty() ? ErrnoText(error) : text;
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The names in a folder, sorted; false with errno when it cannot be read (an unreadable folder
// must not pass for an empty one).
bool ListEntries(const QString& folder, QStringList* names, int* error)
{
    DIR* dir = ::opendir(native(folder).constData());
    if (!dir) {
        *error = errno;
        return false;
    }
    names->clear();
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String("..")) {
            names->append(name);
        }
        errno = 0;
    }
    *error = errno;
    ::closedir(dir);
    std::sort(names->begin(), names->end());
    return *error == 0;
}

// The path with every link resolved, for comparing where things really are.
QString RealPath(const QString& path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}

bool StopRequested()
{
    PumpMessages();
    return MainWindowServices::instance().CancelRequested();
}

} // namespace

int FolderBackup::Run(const QString& folder)
{
    if (CheckFolderReachable(folder, &m_store.folders()) != 0) {
        return Result::Failed;
    }
    QString destination;
    if (PromptService::instance().BrowseForFolder(MsgA(260), QString(),
                                                  QStringLiteral("バックアップ先の選択"), QString(),
                                                  NewFolderAllowed, &destination) != 0) {
        return Result::Cancelled;
    }
    int result = Result::Failed;
    {
        BusyScope busy(true);
        result = CopyFolderTo(folder, destination);
    }
    if (result == Result::Ok) {
        ShowMessage(MsgA(261) + shown(folder), MessageStyle::information());
    }
    return result;
}

int FolderBackup::CopyFolderTo(const QString& folder, const QString& destination)
{
    m_done = 0;
    m_total = 0;
    m_replaceAllFiles = false;
    m_replaceAllFolders = false;
    m_stopped = false;
    // A backup into the folder itself would copy its own copies without end.
    if (CheckCopyMoveTarget(RealPath(folder), RealPath(destination), false, true, m_store.checks(),
                            m_store.folders()) != 0) {
        return Result::Failed;
    }
    if (RefuseNameNotText(folder)) {
        return Result::Failed;
    }
    const bool mountPoint = ClassifyPath(folder) == 1;
    const QString target = mountPoint ? destination : destination + QLatin1Char('/') + FileNamePart(folder);
    if (!mountPoint) {
        const QFileInfo existing(target);
        if (existing.isDir() && !existing.isSymLink()) {
            // An earlier backup: merged only when the user agrees.
            Step step = Step::Next;
            if (!replaceExisting(folder, target, true, &step)) {
                return Result::Cancelled;
            }
        } else if (::mkdir(native(target).constData(), 0700) != 0) {
            ShowMessage(MsgA(262) + reasonOf(errno) + QLatin1Char('\n') + shown(target),
                        MessageStyle::error());
            return Result::Failed;
        } else {
            struct stat st;
            if (::stat(native(folder).constData(), &st) == 0) {
                ::chmod(native(target).constData(), st.st_mode & PermissionBits);
            }
        }
    }
    QStringList names;
    int error = 0;
    if (!ListEntries(folder, &names, &error)) {
        ShowMessage(MsgA(263), MessageStyle::error());
        return Result::Failed;
    }
    if (names.isEmpty()) {
        ShowMessage(MsgA(646), MessageStyle::information());
        return Result::Ok;
    }
    m_total = FolderStatistics(folder).bytes;
    const Step step = copyEntries(folder, target);
    MainWindowServices::instance().ClearBusyText();
    if (step == Step::Stop) {
        return m_stopped ? Result::Cancelled : Result::Failed;
    }
    return Result::Ok;
}

FolderBackup::Step FolderBackup::copyEntries(const QString& source, const QString& target)
{
    QStringList names;
    int error = 0;
    if (!ListEntries(source, &names, &error)) {
        return fail(source, error);
    }
    for (const QString& name : names) {
        if (StopRequested()) {
            m_stopped = true;
            return Step::Stop;
        }
        const QString from = source + QLatin1Char('/') + name;
        const QString to = target + QLatin1Char('/') + name;
        struct stat st;
        if (::lstat(native(from).constData(), &st) != 0) {
            return fail(from, errno);
        }
        Step step = Step::Next;
        if (S_ISLNK(st.st_mode)) {
            step = copyLink(from, to);
        } else if (S_ISDIR(st.st_mode)) {
            step = copyFolder(from, to);
        } else if (S_ISREG(st.st_mode)) {
            step = copyFile(from, to);
        } else {
            step = fail(from, EINVAL); // a pipe, a socket or a device has nothing to back up
        }
        if (step == Step::Stop) {
            return step;
        }
    }
    return Step::Next;
}

FolderBackup::Step FolderBackup::copyFolder(const QString& source, const QString& target)
{
    const QFileInfo existing(target);
    if (existing.isDir() && !existing.isSymLink()) {
        Step step = Step::Next;
        if (!replaceExisting(source, target, true, &step)) {
            if (step == Step::Next) {
                m_done += FolderStatistics(source).bytes; // skipped as a whole
            }
            return step;
        }
    } else if (existing.exists() || existing.isSymLink()) {
        return fail(target, EEXIST);
    } else if (::mkdir(native(target).constData(), 0700) != 0) {
        return fail(target, errno);
    }
    const Step step = copyEntries(source, target);
    struct stat st;
    if (::stat(native(source).constData(), &st) == 0) {
        ::chmod(native(target).constData(), st.st_mode & PermissionBits);
    }
    return step;
}

FolderBackup::Step FolderBackup::copyFile(const QString& source, const QString& target)
{
    MainWindowServices::instance().SetBusyText(source, true);
    Step step = Step::Next;
    if (!mayWriteFile(source, target, QFileInfo(source).size(), &step)) {
        return step;
    }
    const QString partial = ContainerCrypt::PartialPathFor(target);
    if (!ContainerCrypt::RemoveLeftoverPartial(partial)) {
        return fail(target, EBUSY);
    }
    const qint64 before = m_done;
    const int error = CopyFileVia(source, target, partial, PermissionBits, [this, before](qint64 copied) {
        m_done = before + copied;
        if (m_progress) {
            m_progress->progress(m_done, m_total);
        }
        return !StopRequested();
    });
    if (error == ECANCELED) {
        m_stopped = true;
        return Step::Stop;
    }
    if (error != 0) {
        return fail(source, error);
    }
    return Step::Next;
}

FolderBackup::Step FolderBackup::copyLink(const QString& source, const QString& target)
{
    QByteArray link(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(native(source).constData(), link.data(), link.size());
    if (length < 0) {
        return fail(source, errno);
    }
    link.truncate(length);
    Step step = Step::Next;
    if (!mayWriteFile(source, target, 0, &step)) {
        return step;
    }
    // The link is made beside its place and renamed over what may be there.
    const QString partial = ContainerCrypt::PartialPathFor(target);
    ::unlink(native(partial).constData());
    if (::symlink(link.constData(), native(partial).constData()) != 0) {
        return fail(target, errno);
    }
    if (::rename(native(partial).constData(), native(target).constData()) != 0) {
        const int error = errno;
        ::unlink(native(partial).constData());
        return fail(target, error);
    }
    return Step::Next;
}

bool FolderBackup::mayWriteFile(const QString& source, const QString& target, qint64 size, Step* step)
{
    const QFileInfo existing(target);
    if (existing.isDir() && !existing.isSymLink()) {
        *step = fail(target, EISDIR);
        return false;
    }
    if ((existing.exists() || existing.isSymLink()) && !replaceExisting(source, target, false, step)) {
        if (*step == Step::Next) {
            m_done += size; // skipped
        }
        return false;
    }
    return true;
}

bool FolderBackup::replaceExisting(const QString& source, const QString& target, bool folder, Step* step)
{
    OverwriteQuestion question;
    question.folder = folder;
    question.single = false;
    question.displayName = FileNamePart(target);
    question.existingPath = target;
    question.newPath = source;
    switch (AskOverwriteOnce(question, folder ? &m_replaceAllFolders : &m_replaceAllFiles)) {
    case OverwriteYes:
        return true;
    case OverwriteNo:
        *step = Step::Next;
        return false;
    default:
        m_stopped = true;
        *step = Step::Stop;
        return false;
    }
}

FolderBackup::Step FolderBackup::fail(const QString& path, int error)
{
    ShowMessage(QStringLiteral("次の項目をバックアップできませんでした。\n\n") + shown(path) +
                    QStringLiteral("\n\n") + reasonOf(error),
                MessageStyle::error());
    return Step::Stop;
}

void ShowBackupImportNotice()
{
    ShowMessage(MsgA(193) + QStringLiteral("Kurabox") + MsgA(194), MessageStyle::information());
}
