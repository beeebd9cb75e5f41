#include "store/checks/ItemComparison.h"

#include "store/checks/ContainerChecks.h"
#include "store/metadata/FolderEntries.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/TimeText.h"

#include <QDir>

namespace {

const QString StoredTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

bool writeTimeOf(const QString& path, QDateTime* time)
{
    return !path.isEmpty() && FileTimeText(path, FileTimeKind::LastWrite, nullptr, time) == 0;
}

// The size SameSize compares: -1 when it cannot be told.
qint64 comparedSize(ContainerChecks& checks, const QString& path, bool container, const QString& key)
{
    if (container) {
        ContainerInfo info;
        const int status = checks.StatusOf(path, key, &info);
        if (status < 0) {
            return Result::Failed;
        }
        return status == ContainerReadable ? info.plainSize : 0;
    }
    qint64 size = 0;
    return FileSize(path, &size) == 0 ? size : -1;
}

} // namespace

int FolderStatisticsChecked(const QString& path, int show, qint64* files, qint64* bytes, qint64* folders)
{
    *files = 0;
    *bytes = 0;
    *folders = 0;
    if (DirectoryExists(path) != 0 && FileExists(path) != 0) {
        if (show == 1) {
            ShowMessage(MsgA(308) + QDir::toNativeSeparators(path), MessageStyle::error());
        }
        return Result::Failed;
    }
    const FolderTotals totals = FolderStatistics(path);
    *files = totals.files;
    *bytes = totals.bytes;
    *folders = totals.folders;
    return 0;
}

int SameModifiedTime(const QString& a, const QString& b)
{
    QDateTime timeA;
    QDateTime timeB;
    return writeTimeOf(a, &timeA) && writeTimeOf(b, &timeB) && timeA == timeB ? 0 : -1;
}

int SameSize(ContainerChecks& checks, const QString& a, const QString& b, int kind, const QString& keyA,
             const QString& keyB)
{
    const bool aIsContainer = kind == BothContainers || kind == OnlyAContainer;
    const bool bIsContainer = kind == BothContainers || kind == OnlyBContainer;
    const qint64 sizeA = comparedSize(checks, a, aIsContainer, keyA);
    const qint64 sizeB = comparedSize(checks, b, bIsContainer, keyB);
    return sizeA >= 0 && sizeA == sizeB ? 0 : -1;
}

int IsIdenticalToContainer(ContainerChecks& checks, const QString& plainFile, const QString& container,
                           const QString& key)
{
    QDateTime written;
    qint64 size = 0;
    if (!writeTimeOf(plainFile, &written) || FileSize(plainFile, &size) != 0 || FileExists(container) != 0) {
        return Result::Failed;
    }
    ContainerInfo info;
    if (checks.StatusOf(container, key, &info) < 0) {
        return Result::Failed;
    }
    const bool identical = info.keyMatched && info.plainName == FileNamePart(plainFile) &&
                           info.plainSize == size && info.modifiedAt == written.toString(StoredTimeFormat);
    return identical ? 7 : 0;
}

int CheckTreeCollisions(ContainerChecks& checks, const QString& source, const QString& target,
                        int useOriginalNames, int sameTime, const QString& key, QString* offending)
{
    QList<FolderEntry> entries;
    ListFolderEntries(source, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (CheckTreeCollisions(checks, entry.path, target + QLatin1Char('/') + entry.name,
                                    useOriginalNames, sameTime, key, offending) != 0) {
                return Result::Failed;
            }
            continue;
        }
        QString targetName = entry.name;
        if (useOriginalNames == 1) {
            ContainerInfo info;
            const int status = checks.StatusOf(entry.path, key, &info);
            if (status < 0 || (status == ContainerReadable && !IsSingleFileName(info.plainName))) {
                *offending = entry.path;
                return Result::Failed;
            }
            if (status != ContainerReadable) {
                continue; // no original name, so nothing it could overwrite
            }
            targetName = info.plainName;
        }
        const QString existing = target + QLatin1Char('/') + targetName;
        if (FileExists(existing) != 0) {
            continue;
        }
        if (sameTime != 1) {
            *offending = entry.path;
            return Result::Failed;
        }
        QDateTime targetTime;
        QDateTime sourceTime;
        if (!writeTimeOf(existing, &targetTime)) {
            ShowMessage(MsgA(268) + QDir::toNativeSeparators(existing), MessageStyle::error());
            *offending = entry.name;
            return Result::Failed;
        }
        if (!writeTimeOf(entry.path, &sourceTime)) {
            ShowMessage(MsgA(269) + QDir::toNativeSeparators(entry.path), MessageStyle::error());
            *offending = entry.name;
            return Result::Failed;
        }
        if (targetTime != sourceTime) {
            *offending = entry.name;
            return Result::Failed;
        }
    }
    return 0;
}
