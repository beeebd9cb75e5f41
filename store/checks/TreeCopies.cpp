#include "store/checks/TreeCopies.h"

#include "store/checks/ContainerChecks.h"
#include "store/metadata/FolderEntries.h"
#include "store/working/AreaFolders.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

// Anything at the path, a dangling symbolic link included.
bool somethingAt(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
    return Result::Failed;
}

int renameFailed(const QString& cause, const QString& from, const QString& to)
{
    return showError(MsgA(292) + cause + QStringLiteral("\n( ") + shown(from) + QStringLiteral(" )") +
                     QStringLiteral("\n→( ") + shown(to) + QStringLiteral(" )"));
}

} // namespace

TreeCopies::TreeCopies(ContainerChecks& checks, std::function<QString()> workingFolder)
    : m_checks(checks), m_workingFolder(std::move(workingFolder))
{
}

bool TreeCopies::inWorkingFolder(const QString& path) const
{
    const QString working = m_workingFolder ? m_workingFolder() : QString();
    return !working.isEmpty() && PathIsInside(QDir::cleanPath(path), working);
}

int TreeCopies::makeFolder(const QString& folder, QString* errorText) const
{
    return inWorkingFolder(folder) ? CreatePrivateFolderTree(folder, errorText)
                                   : CreateDirectoryTree(folder, errorText);
}

int TreeCopies::copy(const QString& source, const QString& to) const
{
    return (inWorkingFolder(to) ? ShellCopyPrivate({source}, to) : ShellCopy({source}, to)) == 0 ? 0 : -1;
}

int TreeCopies::CopyFileTo(const QString& source, const QString& target) const
{
    const QString folder = DirectoryPart(target);
    QString error;
    if (DirectoryExists(folder) != 0 && makeFolder(folder, &error) != 0) {
        return showError(MsgA(294) + error + QLatin1Char('\n') + shown(folder));
    }
    return copy(source, target);
}

int TreeCopies::CopyFolderTree(const QString& source, const QString& target) const
{
    QString error;
    if (DirectoryExists(target) != 0 && makeFolder(target, &error) != 0) {
        return showError(MsgA(293) + error + QLatin1Char('\n') + shown(target));
    }
    QList<FolderEntry> entries;
    ListFolderEntries(source, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.unreadableName) {
            // A copy without it would lose the file; its name cannot be written anywhere else.
            return showError(MsgA(299) + shown(entry.path) + QStringLiteral("\n\n") + ErrnoText(EILSEQ));
        }
        const int rc = entry.isFolder ? CopyFolderTree(entry.path, target + QLatin1Char('/') + entry.name)
                                      : copy(entry.path, target);
        if (rc != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

int TreeCopies::RenameContainersToDisplayNames(const QString& folder, const QString& key,
                                               const QString& suffix) const
{
    // The listing is taken before the first rename, so that no renamed file comes round again.
    QList<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (RenameContainersToDisplayNames(entry.path, key, suffix) != 0) {
                return Result::Failed;
            }
            continue;
        }
        QString name;
        const bool usable = m_checks.DisplayNameOf(entry.path, key, &name) >= 0;
        const QString target = DirectoryPart(entry.path) + QLatin1Char('/') + name + suffix;
        if (!usable || !IsSingleFileName(name + suffix)) {
            return renameFailed(ErrnoText(EINVAL), entry.path, target);
        }
        QString error;
        if (CheckFilePathLength(target, &error) != 0) {
            ShowMessage(error + QLatin1Char('\n') + shown(target), MessageStyle::warning());
            return Result::Failed;
        }
        if (somethingAt(target)) {
            return renameFailed(ErrnoText(EEXIST), entry.path, target);
        }
        if (MovePath(entry.path, target, &error) != 0) {
            return renameFailed(error, entry.path, target);
        }
    }
    return 0;
}
