#include "store/checks/FolderAccessCheck.h"

#include "platform/Platform.h"
#include "store/metadata/FolderEntries.h"
#include "util/EventPump.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

// Pipes, sockets and devices are no files to check: opening a pipe would wait for a writer.
bool isRegularFile(const QString& path)
{
    struct stat st;
    return FileExists(path) == 0 && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

// 0 when the file opens (or is no file); -1 with the refusal text otherwise.
int checkItem(const QString& path, QString* refusal)
{
    PumpMessages();
    if (!isRegularFile(path)) {
        return 0;
    }
    QString cause;
    if (TestOpen(path, &cause) == 0) {
        return 0;
    }
    *refusal = MsgA(621) + cause + QStringLiteral("\n\n") + QDir::toNativeSeparators(path);
    return Result::Failed;
}

int checkTree(const QString& folder, QString* refusal)
{
    if (checkItem(folder, refusal) != 0) {
        return Result::Failed;
    }
    QList<FolderEntry> entries;
    if (ListFolderEntries(folder, &entries) != 0) {
        return 0;
    }
    for (const FolderEntry& entry : entries) {
        const int rc = entry.isFolder ? checkTree(entry.path, refusal) : checkItem(entry.path, refusal);
        if (rc != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

} // namespace

int CheckFolderAccess(const QString& path, int show, QString* text)
{
    text->clear();
    QString fileSystem;
    quint32 flags = 0;
    if (VolumeFileSystem(path, &fileSystem, &flags) != 0 || !(flags & VolumeFlag::PersistentAcls)) {
        return 0;
    }
    QString refusal;
    const int rc = DirectoryExists(path) != 0 ? checkItem(path, &refusal) : checkTree(path, &refusal);
    if (rc == 0) {
        return 0;
    }
    if (show == 1) {
        ShowMessage(refusal, MessageStyle::warning());
    } else {
        *text = refusal;
    }
    return Result::Failed;
}
