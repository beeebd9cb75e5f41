#include "operations/encrypt/DestinationNames.h"

#include "store/metadata/EntryRecord.h"
#include "store/metadata/FolderMetadata.h"
#include "util/ResultCodes.h"

int DestinationNames::Load(FolderMetadata& metadata, const QString& folder, const QString& root)
{
    m_folder = folder;
    m_entries.clear();
    QStringList lines;
    if (metadata.SyncFolderMetadata(folder, root, nullptr, &lines) != 0) {
        return Result::Failed;
    }
    for (const QString& line : std::as_const(lines)) {
        EntryRecord record;
        if (ParseEntryRecord(line, &record) != 0 || record.EntryKind == EntryRecord::Subfolder) {
            continue;
        }
        Entry& entry = m_entries[record.DisplayName];
        if (entry.kind == Encrypted) {
            continue; // the first encrypted file keeps the name
        }
        entry.kind = record.EntryKind == EntryRecord::EncryptedFile ? Encrypted : Plain;
        entry.path = folder + QLatin1Char('/') + record.StoredName;
    }
    return Result::Ok;
}

DestinationNames::Kind DestinationNames::find(const QString& displayName, QString* path) const
{
    const auto it = m_entries.constFind(displayName);
    if (it == m_entries.cend()) {
        return None;
    }
    *path = it->path;
    return it->kind;
}

void DestinationNames::addEncrypted(const QString& displayName, const QString& path)
{
    Entry& entry = m_entries[displayName];
    if (entry.kind != Encrypted) {
        entry = {Encrypted, path};
    }
}
