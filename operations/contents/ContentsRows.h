#pragma once

#include "store/metadata/EntryRecord.h"
#include "store/metadata/MetadataListing.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class StoreContext;

// One directory entry of a shown folder.
struct ContentsEntry
{
    QString name;
    QString fullPath;
    QString rawTime; // local last-write time, "YYYYMMDDhhmmss"
    bool isFolder = false;
    bool nameIsText = true; // false: listed with a replacement mark, and out of reach by name
};

// The records of a folder's metadata file by the name on disk, for lookups while rows are made
// (the first record of a name counts, as in FindEntryByStoredName). A record is read in full
// only when it is looked up.
class EntryIndex
{
public:
    EntryIndex() = default;
    explicit EntryIndex(QStringList lines);
    // False when no record names the entry.
    bool find(const QString& storedName, FoundEntry* found) const;

private:
    QStringList m_lines;
    QHash<QString, qsizetype> m_lineOf;
};

// One listing of a shown folder: everything on disk (as the metadata sees it) and the entries
// the list shows.
struct FolderScan
{
    QList<MetadataListing::Entry> listing;
    QList<ContentsEntry> entries;
};

// The texts of the contents list's rows (eleven columns; see ContentsModel for their indices),
// made from a folder on disk, its metadata and the containers' headers. Type names and whether a
// program opens a type come from the desktop, asked once per extension.
class ContentsRows
{
public:
    explicit ContentsRows(StoreContext& store) : m_store(store) {}

    // Lists the folder; the entries the list shows leave out hidden ones (a leading dot) and the
    // engine's partial outputs. -1 when the folder cannot be listed.
    static int ScanFolder(const QString& folder, FolderScan* scan);
    // One text per entry: its full path followed by its raw time.
    static QStringList SnapshotOf(const QList<ContentsEntry>& entries);

    // Brings the folder's metadata up to date and makes every row: subfolders first, then the
    // files, each in listing order. -1 when the metadata cannot be brought up to date or read
    // (no rows); -1 with A-43 when a file has no record (the rows made so far are kept).
    int Fill(const QString& folder, QList<QStringList>* rows, QStringList* snapshot);

    // Brings the metadata up to date with the listing just taken and indexes its records; -1 on
    // failure.
    int LoadIndex(const QString& folder, const FolderScan& scan, EntryIndex* index);

    QStringList SubfolderRow(const ContentsEntry& entry) const;
    // A file's row from its record; -1 when it has none.
    int RowFromRecords(const ContentsEntry& entry, const EntryIndex& index, QStringList* row);
    // A file's row from its container header (read with the key of its registered folder); a file
    // that is no container this key opens is shown as a plain file. -1 when the file cannot be
    // read; a folder gets its subfolder row.
    int RowFromHeader(const QString& path, QStringList* row);

    // What the list shows for a container of that original name: the title (the name without its
    // extension when a program opens the type and titleMode is 0) and the type name.
    QString TitleOf(const QString& originalName);
    QString TypeNameOf(const QString& originalName);

private:
    struct TypeFacts
    {
        bool hasProgram = false;
        QString typeName;
    };
    const TypeFacts& factsOf(const QString& extension);
    QStringList containerRow(const QString& name, qint64 size, const QString& modifiedAt,
                             const QString& encryptedAt, const QString& rawTime, const QString& path);
    static QStringList plainRow(const QString& name, const QString& rawTime, const QString& path);

    StoreContext& m_store;
    QHash<QString, TypeFacts> m_types;
};
