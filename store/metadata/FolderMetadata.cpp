#include "store/metadata/FolderMetadata.h"

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "store/datafiles/DamagedDataFile.h"
#include "store/metadata/MetadataFile.h"
#include "store/metadata/MetadataListing.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringView>

#include <algorithm>
#include <iterator>
#include <sys/stat.h>

namespace {

constexpr int SyncWaitTries = 10;
constexpr int SyncWaitMs = 200;
constexpr int PumpEveryRecords = 100;

const QString LineBreak = QStringLiteral("\r\n");

void showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

// Everything runs on the window thread: a synchronisation that is busy while another call waits
// for it lies further down that call's own stack (the call came from one of its event
// dispatches), so it cannot go on before the wait ends. The wait is therefore short, and the
// waiting call then goes on: files are only ever replaced whole, so it reads the old file or the
// new one.
void waitForSync()
{
    const MetadataFlags& flags = MetadataFlags::instance();
    for (int i = 0; flags.syncBusy && i < SyncWaitTries; ++i) {
        WaitPumping(SyncWaitMs);
    }
}

// Where the records start: after the header line and its line break.
qsizetype recordsStart(const QString& text, const QString& header)
{
    qsizetype position = header.size();
    if (text.mid(position, 2) == LineBreak) {
        return position + 2;
    }
    return position;
}

// The metadata file is a cache of the folder's names, rebuilt from the containers whenever it
// is missing or unusable: a link in its place is removed (never what it points to), and a file
// that is not a whole number of cipher blocks is started afresh; the sync then adds the records
// again. A folder (or anything else) standing in its place is set aside with a message naming
// it, and the records are made anew.
int PrepareMetadataFile(CryptEngine& engine, const QString& file, const QString& root,
                        const QString& emptyText)
{
    struct stat st;
    if (::lstat(QFile::encodeName(file).constData(), &st) != 0) {
        return Result::Ok; // missing: made below
    }
    if (S_ISLNK(st.st_mode)) {
        QString cause;
        if (RemoveFile(file, &cause) != 0) {
            showError(MsgA(281) + cause + QLatin1Char('\n') + QDir::toNativeSeparators(file));
            return Result::Failed;
        }
        qWarning().noquote()
            << QStringLiteral("Removed the link in place of %1; its records are rebuilt").arg(file);
        return Result::Ok;
    }
    if (!S_ISREG(st.st_mode)) {
        // Whatever stands there is not ours to delete: it is set aside, named, and the records are
        // made anew.
        return SetDamagedFileAside(
            file, NotARegularFile(file),
            QStringLiteral("このフォルダーの内容の記録は、暗号ファイルから作り直します。"));
    }
    if (st.st_size % MetadataCipherBlock != 0) {
        qWarning().noquote() << QStringLiteral("%1 was cut short (%2 bytes); its records are rebuilt")
                                    .arg(file)
                                    .arg(qint64(st.st_size));
        return WriteEncipheredText(engine, file, emptyText, root);
    }
    return Result::Ok;
}

} // namespace

FolderMetadata::FolderMetadata(const RegisteredFolderTable& table, std::function<QString()> workingFolder,
                               ContainerCrypt& crypt)
    : m_location(table, std::move(workingFolder)), m_crypt(crypt)
{
}

int FolderMetadata::SyncFolderMetadata(const QString& folder, const QString& root)
{
    return SyncFolderMetadata(folder, root, nullptr, nullptr);
}

int FolderMetadata::SyncFolderMetadata(const QString& folder, const QString& root,
                                       const QList<MetadataListing::Entry>* listing, QStringList* records)
{
    waitForSync();
    MetadataFlags::Hold busy(MetadataFlags::instance().syncBusy);
    const QString file = m_location.MetadataFileOf(folder);
    if (MetadataLocation::IsNoLocation(file)) {
        return Result::Failed;
    }
    return syncFile(file, folder, root, listing, records);
}

int FolderMetadata::syncFile(const QString& file, const QString& folder, const QString& root,
                             const QList<MetadataListing::Entry>* listing, QStringList* records)
{
    CryptEngine& engine = m_crypt.engine();
    const QString header = MetadataHeaderLine();
    const QString emptyText = header + LineBreak;

    if (PrepareMetadataFile(engine, file, root, emptyText) != 0) {
        return Result::Failed;
    }
    qint64 size = -1;
    if (FileExists(file) == 0 && FileSize(file, &size) == 0 && size == 0) {
        QString cause;
        if (RemoveFile(file, &cause) != 0) {
            showError(MsgA(281) + cause + QLatin1Char('\n') + QDir::toNativeSeparators(file));
            return Result::Failed;
        }
    }
    if (FileExists(file) != 0 && WriteEncipheredText(engine, file, emptyText, root) != 0) {
        return Result::Failed;
    }
    QString text;
    if (ReadEncipheredText(engine, file, root, &text) != 0) {
        return Result::Failed;
    }
    // Records of an older layout lack the last field: start afresh.
    if (text.size() > emptyText.size() && !text.contains(EntryMarker::ModifiedAt)) {
        if (WriteEncipheredText(engine, file, emptyText, root) != 0 ||
            ReadEncipheredText(engine, file, root, &text) != 0) {
            return Result::Failed;
        }
    }
    if (!text.startsWith(header)) {
        showError(MsgA(282) + QDir::toNativeSeparators(file));
        return Result::Failed;
    }
    QStringList lines = SplitRecordLines(text, recordsStart(text, header));
    text.clear();

    QList<MetadataListing::Entry> listed;
    if (!listing && MetadataListing::ListEntries(folder, &listed) != 0) {
        return Result::Failed;
    }
    const QList<MetadataListing::Entry>& all = listing ? *listing : listed;
    // An entry whose name cannot be written as text has no record: it cannot be reached by name.
    QList<MetadataListing::Entry> textNames;
    const bool someUnreadable =
        std::any_of(all.cbegin(), all.cend(), [](const MetadataListing::Entry& e) { return !e.nameIsText; });
    if (someUnreadable) {
        std::copy_if(all.cbegin(), all.cend(), std::back_inserter(textNames),
                     [](const MetadataListing::Entry& e) { return e.nameIsText; });
    }
    const QList<MetadataListing::Entry>& entries = someUnreadable ? textNames : all;

    // Up-to-date check: every entry has a line under its name and time, and nothing else is there.
    QHash<QStringView, qsizetype> lineOfKey;
    lineOfKey.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView key = RecordKeyOfLine(lines.at(i));
        if (!lineOfKey.contains(key)) {
            lineOfKey.insert(key, i);
        }
    }
    QStringList keys;
    keys.reserve(entries.size());
    bool upToDate = entries.size() == lines.size();
    for (const MetadataListing::Entry& entry : entries) {
        keys.append(EntryRecordKey(entry.name, entry.writeTime));
        upToDate = upToDate && lineOfKey.contains(QStringView(keys.last()));
    }
    if (upToDate) {
        if (records) {
            lineOfKey.clear();
            *records = std::move(lines);
        }
        return 0;
    }

    // Rebuild: keep the lines of unchanged entries, append records for the others, then drop
    // every line no entry claimed (entries that are gone, and the old times of changed ones).
    QList<bool> kept(lines.size(), false);
    int added = 0;
    for (qsizetype e = 0; e < entries.size(); ++e) {
        const MetadataListing::Entry& entry = entries.at(e);
        const auto found = lineOfKey.constFind(QStringView(keys.at(e)));
        if (found != lineOfKey.constEnd()) {
            kept[found.value()] = true;
            continue;
        }
        QString line;
        if (!recordOf(folder, entry.name, entry.isFolder, entry.writeTime, root, &line)) {
            continue;
        }
        lines.append(line);
        kept.append(true);
        if (++added % PumpEveryRecords == 0) {
            PumpMessages();
        }
    }
    lineOfKey.clear(); // it points into the lines

    qsizetype length = emptyText.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        length += kept.at(i) ? lines.at(i).size() + LineBreak.size() : 0;
    }
    QString composed;
    composed.reserve(length);
    composed += emptyText;
    QStringList written;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!kept.at(i)) {
            continue;
        }
        const QString& line = lines.at(i);
        if (!line.contains(EntryMarker::ModifiedAt)) {
            showError(MsgA(283));
            continue;
        }
        composed += line;
        composed += LineBreak;
        if (records) {
            written.append(line);
        }
    }
    const int result = WriteEncipheredText(engine, file, composed, root);
    if (records && result == 0) {
        *records = std::move(written);
    }
    return result;
}

bool FolderMetadata::recordOf(const QString& folder, const QString& name, bool isFolder,
                              const QString& writeTime, const QString& root, QString* line)
{
    EntryRecord record;
    record.StoredName = name;
    record.WriteTime = writeTime;
    record.DisplayName = name;
    if (isFolder) {
        record.EntryKind = EntryRecord::Subfolder;
        *line = FormatEntryRecord(record);
        return true;
    }
    ContainerInfo info;
    int status = 0;
    QString statusText;
    if (m_crypt.GetContainerStatus(folder + QLatin1Char('/') + name, root, &info, false, &status,
                                   &statusText) != 0) {
        return false;
    }
    if (status == ContainerReadable) {
        record.DisplayName = info.plainName;
        record.EntryKind = EntryRecord::EncryptedFile;
        record.OriginalSize = info.plainSize;
        record.EncryptedAt = info.encryptedAt;
        record.ModifiedAt = info.modifiedAt;
    }
    *line = FormatEntryRecord(record);
    return true;
}

int FolderMetadata::LoadEntryRecords(const QString& folder, const QString& root, int includeFolders,
                                     QStringList* lines)
{
    lines->clear();
    waitForSync();
    const QString file = m_location.MetadataFileOf(folder);
    if (MetadataLocation::IsNoLocation(file)) {
        return Result::Failed;
    }
    QString text;
    if (ReadEncipheredText(m_crypt.engine(), file, root, &text) != 0) {
        return Result::Failed;
    }
    const QString header = MetadataHeaderLine();
    if (!text.startsWith(header)) {
        showError(MsgA(288) + QDir::toNativeSeparators(file));
        return Result::Failed;
    }
    QStringList all = SplitRecordLines(text, recordsStart(text, header));
    if (includeFolders == 1) {
        *lines = std::move(all);
        return 0;
    }
    for (QString& line : all) {
        if (!IsSubfolderRecord(line)) {
            lines->append(std::move(line));
        }
    }
    return 0;
}
