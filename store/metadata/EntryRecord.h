#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// One line of a folder metadata file: what the contents list shows of one directory entry.
//
//   ":*0*:" StoredName ":*1*:" WriteTime ":*2*:" DisplayName ":*3*:" EntryKind
//   ":*4*:" OriginalSize ":*5*:" EncryptedAt ":*6*:" ModifiedAt
//
// Names are written as they are, except for the few characters that would break a line apart or
// fake a marker ("*", line breaks, NUL): those are written as an escape pair led by U+E000 and
// read back into the name. Names without them stand in the line unchanged.
struct EntryRecord
{
    enum Kind
    {
        PlainFile = 0, // anything but a container this folder's key opens
        EncryptedFile = 1,
        Subfolder = 2,
    };

    QString StoredName;  // the entry's name on disk
    QString WriteTime;   // its last-write time, local, "YYYYMMDDhhmmss"
    QString DisplayName; // the original name of an encrypted file, else StoredName
    int EntryKind = PlainFile;
    qint64 OriginalSize = 0;                   // encrypted files only
    QString EncryptedAt = QStringLiteral("0"); // "YYYY/MM/DD hh:mm:ss", encrypted files only
    QString ModifiedAt = QStringLiteral("0");  // "YYYY/MM/DD hh:mm:ss", encrypted files only

    bool operator==(const EntryRecord&) const = default;
};

namespace EntryMarker {
inline const QString StoredName = QStringLiteral(":*0*:");
inline const QString WriteTime = QStringLiteral(":*1*:");
inline const QString DisplayName = QStringLiteral(":*2*:");
inline const QString EntryKind = QStringLiteral(":*3*:");
inline const QString OriginalSize = QStringLiteral(":*4*:");
inline const QString EncryptedAt = QStringLiteral(":*5*:");
inline const QString ModifiedAt = QStringLiteral(":*6*:");
} // namespace EntryMarker

// The line of a record (without its line break).
QString FormatEntryRecord(const EntryRecord& record);
// Splits one line into its seven fields. -1 when the line lacks a marker, or has them out of order.
int ParseEntryRecord(const QString& line, EntryRecord* record);

// ":*0*:" + name + ":*1*:" + time: the start of every line of that entry at that time.
QString EntryRecordKey(const QString& storedName, const QString& writeTime);
// The part of a line up to its ":*2*:" marker: the key it was written under (the whole line when
// it has no such marker). A view into the line.
QStringView RecordKeyOfLine(const QString& line);
// Whether the line is the record of a subfolder.
bool IsSubfolderRecord(const QString& line);

// The answer of FindEntryByStoredName.
struct FoundEntry
{
    QString DisplayName;
    bool isEncrypted = false;
    qint64 OriginalSize = 0;
    QString EncryptedAt;
    QString ModifiedAt;
};
// The fields of the first line recorded for that name on disk (exact comparison); -1 when no
// line is.
int FindEntryByStoredName(const QStringList& lines, const QString& storedName, FoundEntry* found);

// The non-empty lines of the text from position on.
QStringList SplitRecordLines(const QString& text, qsizetype position = 0);

// A name as it stands in a line, and back.
QString EncodeRecordField(const QString& text);
QString DecodeRecordField(const QString& text);
