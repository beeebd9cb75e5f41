#include "engine/ContainerCrypt.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataFile.h"
#include "util/EventPump.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <QDir>

namespace {

constexpr int ResolveBadRecord = 289;
constexpr int InUseBadRecord = 304;
constexpr int ScanBadRecord = 305;

constexpr int ListedPaths = 10;
const QString MoreMark = QStringLiteral("　：");

// Counts one finding and lists its path while there are at most ten, then marks that more follow.
void countFinding(int* count, QString* list, const QString& path)
{
    ++*count;
    if (*count <= ListedPaths) {
        *list += path + QLatin1Char('\n');
    } else if (*count == ListedPaths + 1) {
        *list += MoreMark;
    }
}

int failWith(int message)
{
    ShowMessage(MsgA(message), MessageStyle::error());
    return Result::Failed;
}

} // namespace

FolderMetadata::Resolved FolderMetadata::resolve(const QString& folder, const QString& displayName,
                                                 const QString& root, QString* fullPath, int* kind)
{
    // The folder resolved last time was brought up to date then; callers synchronise a folder
    // after every change they make to it.
    QString& lastFolder = MetadataFlags::instance().lastResolvedFolder;
    if (folder != lastFolder) {
        lastFolder.clear();
        if (SyncFolderMetadata(folder, root) != 0) {
            return ResolveFailed;
        }
        lastFolder = folder;
    }
    QStringList lines;
    if (LoadEntryRecords(folder, root, 0, &lines) != 0) {
        return ResolveFailed;
    }
    bool matched = false;
    EntryRecord match;
    for (const QString& line : lines) {
        EntryRecord record;
        if (ParseEntryRecord(line, &record) != 0) {
            failWith(ResolveBadRecord);
            return ResolveFailed;
        }
        if (record.DisplayName != displayName) {
            continue;
        }
        match = record;
        matched = true;
        if (record.EntryKind == EntryRecord::EncryptedFile) {
            break;
        }
    }
    if (!matched) {
        return NotFound;
    }
    if (fullPath) {
        *fullPath = folder + QLatin1Char('/') + match.StoredName;
    }
    if (kind) {
        *kind = match.EntryKind;
    }
    return Found;
}

int FolderMetadata::ResolveDisplayName(const QString& folder, const QString& displayName, const QString& root,
                                       QString* fullPath, int* kind)
{
    return resolve(folder, displayName, root, fullPath, kind) == Found ? 0 : -1;
}

int FolderMetadata::IsNameInUse(const QString& folder, const QString& name, int mode, const QString& root,
                                int* inUse)
{
    *inUse = 0;
    if (!name.isEmpty() && DirectoryExists(folder + QLatin1Char('/') + name) == 0) {
        *inUse = 1;
        return Result::Failed;
    }
    QStringList lines;
    if (SyncFolderMetadata(folder, root) != 0 || LoadEntryRecords(folder, root, 0, &lines) != 0) {
        return Result::Failed;
    }
    for (const QString& line : lines) {
        EntryRecord record;
        if (ParseEntryRecord(line, &record) != 0) {
            return failWith(InUseBadRecord);
        }
        const bool hit = mode == 2
                             ? record.EntryKind == EntryRecord::PlainFile && record.StoredName == name
                             : record.EntryKind == EntryRecord::EncryptedFile && record.DisplayName == name;
        if (hit) {
            *inUse = 1;
            return Result::Failed;
        }
    }
    return 0;
}

int FolderMetadata::HasSubfolderRecords(const QString& folder, const QString& root)
{
    if (MetadataExists(folder) != 0) {
        return HasSubfolder(folder);
    }
    QStringList lines;
    if (LoadEntryRecords(folder, root, 1, &lines) != 0) {
        return Result::Failed;
    }
    for (const QString& line : lines) {
        if (IsSubfolderRecord(line)) {
            return 0;
        }
    }
    return Result::Failed;
}

int FolderMetadata::ScanPlainAndDuplicates(const QString& folder, bool recursive, const QString& root,
                                           PlainScan* scan)
{
    *scan = PlainScan{};
    return scanFolder(folder, recursive, root, scan);
}

int FolderMetadata::scanFolder(const QString& folder, bool recursive, const QString& root, PlainScan* scan)
{
    PumpMessages();
    QStringList lines;
    if (SyncFolderMetadata(folder, root) != 0 || LoadEntryRecords(folder, root, 0, &lines) != 0) {
        return Result::Failed;
    }
    QStringList displayNames;
    for (const QString& line : lines) {
        EntryRecord record;
        if (ParseEntryRecord(line, &record) != 0) {
            return failWith(ScanBadRecord);
        }
        if (record.EntryKind == EntryRecord::EncryptedFile) {
            displayNames.append(record.DisplayName);
        } else {
            countFinding(&scan->plainCount, &scan->plainList, folder + QLatin1Char('/') + record.StoredName);
        }
    }
    for (const QString& name : RepeatedTexts(displayNames)) {
        countFinding(&scan->duplicateCount, &scan->duplicateList, folder + QLatin1Char('/') + name);
    }
    if (!recursive) {
        return 0;
    }
    // Links are not followed: one that points back up would never end.
    const QStringList subfolders = QDir(folder).entryList(
        QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString& name : subfolders) {
        if (scanFolder(folder + QLatin1Char('/') + name, true, root, scan) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

int FolderMetadata::MakeUniqueDisplayName(const QString& folder, const QString& base, const QString& ext,
                                          const QString& root, QString* name)
{
    for (qint64 n = 1;; ++n) {
        const QString candidate = n == 1 ? base + ext : base + QStringLiteral(" (%1)").arg(n) + ext;
        const Resolved resolved = resolve(folder, candidate, root, nullptr, nullptr);
        if (resolved == ResolveFailed) {
            return Result::Failed;
        }
        if (resolved == NotFound) {
            *name = candidate;
            return 0;
        }
    }
}

int FolderMetadata::MakeCopyDisplayName(const QString& folder, const QString& source, const QString& root,
                                        QString* name)
{
    bool failed = false;
    const QString candidate = CopyFileName(source, [&](const QString& candidate) {
        const Resolved resolved = resolve(folder, candidate, root, nullptr, nullptr);
        failed = resolved == ResolveFailed;
        return resolved == Found;
    });
    if (failed || candidate.isEmpty()) {
        return Result::Failed;
    }
    *name = candidate;
    return 0;
}
