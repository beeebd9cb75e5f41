#include "store/metadata/MetadataLocation.h"

#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/MetadataFile.h"
#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QDir>

namespace {

constexpr int NoLocationMessage = 4; // catalogue B

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

} // namespace

MetadataLocation::MetadataLocation(const RegisteredFolderTable& table, std::function<QString()> workingFolder)
    : m_table(table), m_workingFolder(std::move(workingFolder))
{
}

QString MetadataLocation::NoLocation()
{
    return MsgB(NoLocationMessage);
}

bool MetadataLocation::IsNoLocation(const QString& text)
{
    const QString marker = NoLocation();
    const qsizetype length = qMin(text.size(), marker.size());
    return QStringView(text).left(length).compare(QStringView(marker).left(length), Qt::CaseInsensitive) == 0;
}

QString MetadataLocation::MetadataArea(const QString& root) const
{
    const QString store = m_table.StoreFolderOf(root);
    if (!IsStoreFolderIn(m_workingFolder ? m_workingFolder() : QString(), store)) {
        return {};
    }
    return store + QLatin1Char('/') + WorkingArea::Metadata;
}

QString MetadataLocation::MetadataFolderOf(const QString& folder) const
{
    const QString root = m_table.FindRegisteredRoot(folder, 0);
    // A folder that merely holds a registered folder has no place of its own in it.
    if (root.isEmpty() || !PathIsInside(folder, root)) {
        showError(MsgA(306) + shown(folder));
        return NoLocation();
    }
    const QString area = MetadataArea(root);
    if (area.isEmpty()) {
        showError(MsgA(303) + shown(root));
        return NoLocation();
    }
    const QString location = area + folder.mid(root.size());
    QString error;
    if (CheckFolderPathLength(location, &error) != 0) {
        showError(error + QLatin1Char('\n') + shown(location));
        return NoLocation();
    }
    if (DirectoryExists(location) != 0 && CreatePrivateFolderTree(location, &error) != 0) {
        showError(MsgA(307) + error + QStringLiteral("　\n\n") + shown(location));
        return NoLocation();
    }
    return location;
}

QString MetadataLocation::MetadataFileOf(const QString& folder) const
{
    const QString location = MetadataFolderOf(folder);
    return IsNoLocation(location) ? location : location + QLatin1Char('/') + MetadataFileName;
}

QString MetadataLocation::RealFolderOf(const QString& metadataFolder) const
{
    const QString root = m_table.RootOfStorePath(metadataFolder, 0);
    const QString area = IsNoLocation(root) ? QString() : MetadataArea(root);
    if (area.isEmpty() || !PathIsInside(metadataFolder, area)) {
        showError(MsgA(302) + shown(metadataFolder));
        return NoLocation();
    }
    return root + metadataFolder.mid(area.size());
}

int MetadataLocation::MetadataExists(const QString& folder) const
{
    const QString file = MetadataFileOf(folder);
    return !IsNoLocation(file) && FileExists(file) == 0 ? 0 : -1;
}

int MetadataLocation::PruneMetadataFolders(const QString& root) const
{
    const QString area = MetadataArea(root);
    if (area.isEmpty() || DirectoryExists(area) != 0) {
        return 0;
    }
    return prune(area);
}

int MetadataLocation::prune(const QString& metadataFolder) const
{
    const QStringList names =
        QDir(metadataFolder)
            .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString& name : names) {
        const QString sub = metadataFolder + QLatin1Char('/') + name;
        const QString real = RealFolderOf(sub);
        if (IsNoLocation(real) || DirectoryExists(real) != 0) {
            if (ShellDelete({sub}) != 0) {
                return Result::Failed;
            }
        } else if (prune(sub) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}
