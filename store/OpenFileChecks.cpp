#include "store/OpenFileChecks.h"

#include "platform/Platform.h"
#include "store/FolderEntries.h"

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
                return -1;
            }
        } else if (IsOpenElsewhere(entry.path) != 0) {
            *fileName = entry.name;
            return -1;
        }
    }
    return 0;
}
