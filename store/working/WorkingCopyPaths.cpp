#include "store/working/WorkingCopyPaths.h"

#include "engine/ContainerNaming.h"
#include "store/checks/ContainerChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderEntries.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QDir>

namespace {

constexpr int NotInRegisteredFolder = 156;
constexpr int NotInStoreFolder = 158;
constexpr int NoStoreFolderForCopy = 159;
constexpr int NotInCopyArea = 160;
constexpr int ContainerFolderMissing = 161;
constexpr int ContainerMissing = 162;
constexpr int InvalidName = 290;
constexpr int NoStoreFolder = 303;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString fail(int message, const QString& path, const MessageStyle& style)
{
    ShowMessage(MsgA(message) + (path.isEmpty() ? QString() : shown(path)), style);
    return MetadataLocation::NoLocation();
}

} // namespace

WorkingCopyPaths::WorkingCopyPaths(const RegisteredFolderTable& table, FolderMetadata& metadata,
                                   ContainerChecks& checks, std::function<QString()> workingFolder)
    : m_table(table), m_metadata(metadata), m_checks(checks), m_workingFolder(std::move(workingFolder))
{
}

QString WorkingCopyPaths::storeFolderOf(const QString& root, int message, const QString& path) const
{
    const QString store = m_table.StoreFolderOf(root, 0);
    if (MetadataLocation::IsNoLocation(store) || !IsStoreFolderIn(m_workingFolder(), store)) {
        fail(message, path, MessageStyle::warning());
        return {};
    }
    return store;
}

QString WorkingCopyPaths::copyPathOf(const QString& item, const QString& area) const
{
    const QString path = QDir::cleanPath(item);
    const QString root = m_table.FindRegisteredRoot(path, 0);
    if (root.isEmpty() || !QDir::isAbsolutePath(path) || !PathIsInside(path, root)) {
        return fail(NotInRegisteredFolder, item, MessageStyle::error());
    }
    const QString store = storeFolderOf(root, NoStoreFolder, root);
    if (store.isEmpty()) {
        return MetadataLocation::NoLocation();
    }
    QString relative = path.mid(root.size());
    if (DirectoryExists(path) != 0) {
        if (FileExists(path) != 0) {
            return MetadataLocation::NoLocation();
        }
        QString name;
        if (m_checks.DisplayNameOf(path, root, &name) < 0) {
            return fail(InvalidName, path, MessageStyle::warning());
        }
        relative = DirectoryPart(relative) + QLatin1Char('/') + name;
    }
    return store + QLatin1Char('/') + area + relative;
}

QString WorkingCopyPaths::WorkingCopyPathOf(const QString& item) const
{
    return copyPathOf(item, WorkingArea::WorkingCopies);
}

QString WorkingCopyPaths::TakeOutCopyPathOf(const QString& item) const
{
    return copyPathOf(item, WorkingArea::TakeOut);
}

QString WorkingCopyPaths::ContainerPathOf(const QString& copy, bool propose, QString* proposal) const
{
    if (proposal) {
        proposal->clear();
    }
    const QString path = QDir::cleanPath(copy);
    const QString root = m_table.RootOfStorePath(path, 0);
    if (MetadataLocation::IsNoLocation(root) || root.isEmpty()) {
        return fail(NotInStoreFolder, copy, MessageStyle::warning());
    }
    const QString store = storeFolderOf(root, NoStoreFolderForCopy, copy);
    if (store.isEmpty()) {
        return MetadataLocation::NoLocation();
    }
    QString relative;
    for (const QString& area : {WorkingArea::WorkingCopies, WorkingArea::TakeOut, WorkingArea::Staging}) {
        const QString areaPath = store + QLatin1Char('/') + area;
        if (path != areaPath && PathIsInside(path, areaPath)) {
            relative = path.mid(areaPath.size());
            break;
        }
    }
    if (relative.isEmpty()) {
        return fail(NotInCopyArea, copy, MessageStyle::warning());
    }
    const QString inFolder = root + relative;
    const QString folder = DirectoryPart(inFolder);
    if (DirectoryExists(folder) != 0) {
        return fail(ContainerFolderMissing, QString(), MessageStyle::warning());
    }
    QString container;
    int kind = 0;
    if (m_metadata.ResolveDisplayName(folder, FileNamePart(inFolder), root, &container, &kind) == 0) {
        return container;
    }
    if (!propose) {
        return fail(ContainerMissing, QString(), MessageStyle::error());
    }
    QString name;
    if (ContainerName(folder, &name) != 0) {
        return MetadataLocation::NoLocation();
    }
    if (proposal) {
        *proposal = folder + QLatin1Char('/') + name;
    }
    return {};
}

QStringList WorkingCopyPaths::TakeOutCopiesOf(const QStringList& items) const
{
    QStringList copies;
    copies.reserve(items.size());
    for (const QString& item : items) {
        copies.append(TakeOutCopyPathOf(item));
    }
    return copies;
}

namespace {

// The copy paths below a folder's copy, as the take-out will write them.
int checkBelow(const QString& folder, const QString& copy, ContainerChecks& checks, const QString& root,
               QString* errorText)
{
    QList<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    for (const FolderEntry& entry : entries) {
        QString name = entry.name;
        if (!entry.isFolder) {
            checks.DisplayNameOf(entry.path, root, &name);
        }
        const QString target = copy + QLatin1Char('/') + name;
        QString text;
        const int rc =
            entry.isFolder ? CheckFolderPathLength(target, &text) : CheckFilePathLength(target, &text);
        if (rc != 0) {
            *errorText = text + QLatin1Char('\n') + shown(target);
            return Result::Failed;
        }
        if (entry.isFolder && checkBelow(entry.path, target, checks, root, errorText) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

} // namespace

int WorkingCopyPaths::CheckTakeOutPathLengths(const QStringList& items, QString* errorText) const
{
    errorText->clear();
    for (const QString& item : items) {
        const QString copy = TakeOutCopyPathOf(item);
        if (MetadataLocation::IsNoLocation(copy)) {
            return Result::Failed;
        }
        const bool isFile = FileExists(item) == 0;
        QString text;
        const int rc = isFile ? CheckFilePathLength(copy, &text) : CheckFolderPathLength(copy, &text);
        if (rc != 0) {
            *errorText = text + QLatin1Char('\n') + shown(copy);
            return Result::Failed;
        }
        if (!isFile &&
            checkBelow(item, copy, m_checks, m_table.FindRegisteredRoot(item, 0), errorText) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}
