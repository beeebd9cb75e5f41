#include "operations/contents/ContentsRows.h"

#include "engine/ContainerCrypt.h"
#include "platform/AppAssociations.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataListing.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/SizeText.h"
#include "util/TimeText.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

const QString FolderTypeName = QStringLiteral("ファイル フォルダー");

// The extension of a name: the part behind its last dot, empty without one.
QString ExtensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString DisplayTimeOf(const QString& path)
{
    QString text;
    FileTimeText(path, FileTimeKind::LastWrite, &text);
    return text;
}

} // namespace

EntryIndex::EntryIndex(QStringList lines) : m_lines(std::move(lines))
{
    m_lineOf.reserve(m_lines.size());
    const qsizetype start = EntryMarker::StoredName.size();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (!line.startsWith(EntryMarker::StoredName)) {
            continue;
        }
        const qsizetype end = line.indexOf(EntryMarker::WriteTime, start);
        if (end < 0) {
            continue;
        }
        const QString name = DecodeRecordField(line.mid(start, end - start));
        if (!m_lineOf.contains(name)) {
            m_lineOf.insert(name, i);
        }
    }
}

bool EntryIndex::find(const QString& storedName, FoundEntry* found) const
{
    const auto it = m_lineOf.constFind(storedName);
    EntryRecord record;
    if (it == m_lineOf.cend() || ParseEntryRecord(m_lines.at(it.value()), &record) != 0) {
        return false;
    }
    found->DisplayName = record.DisplayName;
    found->isEncrypted = record.EntryKind == EntryRecord::EncryptedFile;
    found->OriginalSize = record.OriginalSize;
    found->EncryptedAt = record.EncryptedAt;
    found->ModifiedAt = record.ModifiedAt;
    return true;
}

int ContentsRows::ScanFolder(const QString& folder, FolderScan* scan)
{
    QList<MetadataListing::LeftOut> leftOut;
    if (MetadataListing::ListEntries(folder, &scan->listing, &leftOut) != 0) {
        return Result::Failed;
    }
    // What a killed write left behind is removed as soon as the folder is shown.
    for (const MetadataListing::LeftOut& entry : std::as_const(leftOut)) {
        if (entry.partial) {
            ContainerCrypt::RemoveAbandonedPartial(folder + QLatin1Char('/') + entry.name);
        }
    }
    scan->entries.clear();
    scan->entries.reserve(scan->listing.size());
    for (const MetadataListing::Entry& entry : std::as_const(scan->listing)) {
        if (entry.name.startsWith(QLatin1Char('.'))) {
            continue; // hidden
        }
        scan->entries.append({entry.name, folder + QLatin1Char('/') + entry.name, entry.writeTime,
                              entry.isFolder, entry.nameIsText});
    }
    return Result::Ok;
}

QStringList ContentsRows::SnapshotOf(const QList<ContentsEntry>& entries)
{
    QStringList snapshot;
    snapshot.reserve(entries.size());
    for (const ContentsEntry& entry : entries) {
        snapshot.append(entry.fullPath + entry.rawTime);
    }
    return snapshot;
}

int ContentsRows::LoadIndex(const QString& folder, const FolderScan& scan, EntryIndex* index)
{
    const QString root = m_store.folders().FindRegisteredRoot(folder, 0);
    QStringList lines;
    if (root.isEmpty() || m_store.metadata().SyncFolderMetadata(folder, root, &scan.listing, &lines) != 0) {
        return Result::Failed;
    }
    *index = EntryIndex(std::move(lines));
    return Result::Ok;
}

int ContentsRows::Fill(const QString& folder, QList<QStringList>* rows, QStringList* snapshot)
{
    rows->clear();
    snapshot->clear();
    FolderScan scan;
    EntryIndex index;
    if (ScanFolder(folder, &scan) != 0 || LoadIndex(folder, scan, &index) != 0) {
        return Result::Failed;
    }
    const QList<ContentsEntry>& entries = scan.entries;
    *snapshot = SnapshotOf(entries);
    for (const ContentsEntry& entry : std::as_const(entries)) {
        if (entry.isFolder) {
            rows->append(SubfolderRow(entry));
        }
    }
    for (const ContentsEntry& entry : std::as_const(entries)) {
        if (entry.isFolder) {
            continue;
        }
        QStringList row;
        if (!entry.nameIsText) {
            rows->append(plainRow(entry.name, entry.rawTime, entry.fullPath));
            continue;
        }
        if (RowFromRecords(entry, index, &row) != 0) {
            ShowMessage(MsgA(43), MessageStyle::error());
            return Result::Failed;
        }
        rows->append(row);
    }
    return Result::Ok;
}

QStringList ContentsRows::SubfolderRow(const ContentsEntry& entry) const
{
    return {entry.name,     QString(),     FolderTypeName,     DisplayTimeOf(entry.fullPath),
            QString(),      entry.rawTime, QString(),          entry.name,
            entry.fullPath, QString(),     QStringLiteral("1")};
}

int ContentsRows::RowFromRecords(const ContentsEntry& entry, const EntryIndex& index, QStringList* row)
{
    FoundEntry found;
    if (!index.find(entry.name, &found)) {
        return Result::Failed;
    }
    *row = found.isEncrypted ? containerRow(found.DisplayName, found.OriginalSize, found.ModifiedAt,
                                            found.EncryptedAt, entry.rawTime, entry.fullPath)
                             : plainRow(entry.name, entry.rawTime, entry.fullPath);
    return Result::Ok;
}

int ContentsRows::RowFromHeader(const QString& path, QStringList* row)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return Result::Failed;
    }
    const QString rawTime = MetadataListing::CompactLocalTime(info.lastModified().toSecsSinceEpoch());
    if (info.isDir()) {
        *row = SubfolderRow({info.fileName(), path, rawTime, true});
        return Result::Ok;
    }
    const QString root = m_store.folders().FindRegisteredRoot(path, 0);
    ContainerInfo header;
    int status = NotAContainer;
    QString text;
    if (m_store.crypt().GetContainerStatus(path, root, &header, false, &status, &text) != 0) {
        return Result::Failed;
    }
    *row = status == ContainerReadable ? containerRow(header.plainName, header.plainSize, header.modifiedAt,
                                                      header.encryptedAt, rawTime, path)
                                       : plainRow(info.fileName(), rawTime, path);
    return Result::Ok;
}

const ContentsRows::TypeFacts& ContentsRows::factsOf(const QString& extension)
{
    const QString key = extension.toLower();
    auto it = m_types.find(key);
    if (it == m_types.end()) {
        TypeFacts facts;
        if (!extension.isEmpty()) {
            facts.hasProgram = !DefaultProgramForExtension(extension).isEmpty();
            facts.typeName = TypeDescriptionForExtension(extension);
        }
        if (facts.typeName.isEmpty()) {
            facts.typeName = extension.isEmpty() ? QStringLiteral("ファイル")
                                                 : extension.toUpper() + QStringLiteral(" ファイル");
        }
        it = m_types.insert(key, facts);
    }
    return it.value();
}

QString ContentsRows::TitleOf(const QString& originalName)
{
    const QString extension = ExtensionOf(originalName);
    if (extension.isEmpty() || !factsOf(extension).hasProgram || m_store.settings().TitleMode != 0) {
        return originalName;
    }
    return originalName.left(originalName.size() - extension.size() - 1);
}

QString ContentsRows::TypeNameOf(const QString& originalName)
{
    return factsOf(ExtensionOf(originalName)).typeName;
}

QStringList ContentsRows::containerRow(const QString& name, qint64 size, const QString& modifiedAt,
                                       const QString& encryptedAt, const QString& rawTime,
                                       const QString& path)
{
    return {TitleOf(name),
            SizeKbText(size),
            TypeNameOf(name),
            modifiedAt,
            encryptedAt,
            rawTime,
            QString(),
            name,
            path,
            QStringLiteral("0"),
            QStringLiteral("0")};
}

QStringList ContentsRows::plainRow(const QString& name, const QString& rawTime, const QString& path)
{
    return {name,      QString(), QString(), QString(),           QString(),          rawTime,
            QString(), name,      path,      QStringLiteral("1"), QStringLiteral("0")};
}
