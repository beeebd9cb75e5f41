#include "store/checks/AttributeChanges.h"

#include "store/metadata/FolderEntries.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
    return Result::Failed;
}

int setTreeReadOnly(const QString& folder, bool clear)
{
    QList<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (setTreeReadOnly(entry.path, clear) != 0) {
                return Result::Failed;
            }
            continue;
        }
        QString error;
        if (SetAttributeBits(entry.path, FileAttribute::ReadOnly, clear, &error) != 0) {
            return showError(MsgA(276) + error + QLatin1Char('\n') + shown(entry.path));
        }
    }
    return 0;
}

} // namespace

int ChangeAttributes(const QString& path, quint32 bits, bool clear)
{
    quint32 current = 0;
    if (FileAttributeBits(path, &current) != 0) {
        return showError(MsgA(275) + shown(path));
    }
    if (!clear && (current & bits) == bits) {
        return 0;
    }
    QString error;
    if (SetAttributeBits(path, bits, clear, &error) != 0) {
        return showError(MsgA(274) + error + QLatin1Char('\n') + shown(path));
    }
    return 0;
}

int SetReadOnlyTree(const QString& path, bool clear)
{
    if (DirectoryExists(path) == 0) {
        return setTreeReadOnly(path, clear);
    }
    if (FileExists(path) != 0) {
        return 0;
    }
    QString error;
    if (SetAttributeBits(path, FileAttribute::ReadOnly, clear, &error) != 0) {
        return showError(MsgA(277) + error + QLatin1Char('\n') + shown(path));
    }
    return 0;
}

int IsReadOnlyFile(const QString& path, bool* readOnly)
{
    quint32 bits = 0;
    if (FileAttributeBits(path, &bits) != 0) {
        return showError(MsgA(332) + shown(path));
    }
    *readOnly = (bits & FileAttribute::ReadOnly) != 0;
    return 0;
}
