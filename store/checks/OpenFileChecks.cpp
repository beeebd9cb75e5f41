#include "store/checks/OpenFileChecks.h"

#include "platform/Platform.h"
#include "store/metadata/FolderEntries.h"
#include "util/ResultCodes.h"

int IsOpenElsewhere(const QString& path)
{
    return Platform::instance().IsOpenByOtherProcess(path) ? -1 : 0;
}

int AnyFileOpenElsewhere(const QString& folder, QString* fileName)
{
    QList<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (AnyFileOpenElsewhere(entry.path, fileName) != 0) {
                return Result::Failed;
            }
        } else if (IsOpenElsewhere(entry.path) != 0) {
            *fileName = entry.name;
            return Result::Failed;
        }
    }
    return 0;
}
