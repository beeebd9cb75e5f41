#include "store/working/StoreAreas.h"

#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr int ScratchNotRemoved = 201;
constexpr int NoRegisteredFolder = 324;
constexpr int NoStoreFolder = 325;
constexpr int NoLocationMarker = 4; // catalogue B

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int fail(int message, const QString& path)
{
    ShowMessage(MsgA(message) + shown(path), MessageStyle::error());
    return Result::Failed;
}

} // namespace

StoreAreas::StoreAreas(const RegisteredFolderTable& table, std::function<QString()> workingFolder)
    : m_table(table), m_workingFolder(std::move(workingFolder))
{
}

QStringList StoreAreas::storeFolders() const
{
    const QString working = m_workingFolder ? m_workingFolder() : QString();
    QStringList folders;
    for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
        const RegisteredFolderTable::Slot& slot = m_table.slot(i);
        const QString store = working + QLatin1Char('/') + slot.storeName;
        if (!slot.rootPath.isEmpty() && IsStoreFolderIn(working, store)) {
            folders.append(store);
        }
    }
    return folders;
}

int StoreAreas::ScratchAreaOf(const QString& path, QString* folder) const
{
    const QString working = m_workingFolder ? m_workingFolder() : QString();
    const QString marker = MsgB(NoLocationMarker);
    QString store = m_table.StoreFolderOf(path, 0);
    if (store == marker) {
        // Not in a registered folder: perhaps in the store folder of one.
        const QString root = m_table.RootOfStorePath(path, 0);
        if (root == marker) {
            return fail(NoRegisteredFolder, path);
        }
        store = m_table.StoreFolderOf(root, 0);
    }
    if (!IsStoreFolderIn(working, store)) {
        return fail(NoStoreFolder, path);
    }
    *folder = store + QLatin1Char('/') + WorkingArea::Scratch;
    return 0;
}

int StoreAreas::RemoveStoreFolder(const QString& root) const
{
    const QString store = m_table.StoreFolderOf(root, 0);
    if (!IsStoreFolderIn(m_workingFolder ? m_workingFolder() : QString(), store)) {
        return 0;
    }
    return WipeArea(store, true);
}

int StoreAreas::CleanTakeOutAreas(bool report) const
{
    QStringList failed;
    for (const QString& store : storeFolders()) {
        const QString area = store + QLatin1Char('/') + WorkingArea::TakeOut;
        // The empty file that stands in for the area between take-outs stays.
        if ((QFileInfo(area).isSymLink() || DirectoryExists(area) == 0) && WipeArea(area, true) != 0) {
            failed.append(shown(area));
        }
    }
    if (failed.isEmpty()) {
        return 0;
    }
    if (report) {
        ShowMessage(MsgA(634) + failed.join(QStringLiteral("\n\n")), MessageStyle::error());
    }
    return Result::Failed;
}

int StoreAreas::CleanScratchAreas(bool report) const
{
    int rc = 0;
    for (const QString& store : storeFolders()) {
        const QString area = store + QLatin1Char('/') + WorkingArea::Scratch;
        if (WipeArea(area, true) != 0) {
            rc = -1;
            if (report) {
                fail(ScratchNotRemoved, area);
            }
        }
    }
    return rc;
}

int StoreAreas::CleanTemporaryAreas(bool report) const
{
    const int takeOut = CleanTakeOutAreas(report);
    const int scratch = CleanScratchAreas(report);
    return takeOut == 0 && scratch == 0 ? 0 : -1;
}
