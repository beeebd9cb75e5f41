#include "store/metadata/EntryRecord.h"

#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <array>

namespace {

constexpr QChar Escape(0xE000);

// Characters that may not stand in a field as they are, and the letter that follows Escape
// in their place.
struct EscapedChar
{
    QChar plain;
    QChar letter;
};
constexpr std::array<EscapedChar, 5> EscapedChars = {{
    {QChar(0xE000), QLatin1Char('e')},
    {QLatin1Char('*'), QLatin1Char('a')},
    {QLatin1Char('\r'), QLatin1Char('r')},
    {QLatin1Char('\n'), QLatin1Char('n')},
    {QChar(0), QLatin1Char('0')},
}};

bool needsEscape(QChar c)
{
    return c == Escape || c == QLatin1Char('*') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
           c.isNull();
}

} // namespace

QString EncodeRecordField(const QString& text)
{
    qsizetype first = 0;
    while (first < text.size() && !needsEscape(text[first])) {
        ++first;
    }
    if (first == text.size()) {
        return text;
    }
    QString encoded = text.left(first);
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!needsEscape(c)) {
            encoded += c;
            continue;
        }
        for (const EscapedChar& e : EscapedChars) {
            if (e.plain == c) {
                encoded += Escape;
                encoded += e.letter;
            }
        }
    }
    return encoded;
}

QString DecodeRecordField(const QString& text)
{
    if (!text.contains(Escape)) {
        return text;
    }
    QString decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != Escape || i + 1 == text.size()) {
            decoded += text[i];
            continue;
        }
        const QChar letter = text[++i];
        QChar plain = letter; // an unknown pair keeps its second character
        for (const EscapedChar& e : EscapedChars) {
            if (e.letter == letter) {
                plain = e.plain;
            }
        }
        decoded += plain;
    }
    return decoded;
}

QString FormatEntryRecord(const EntryRecord& record)
{
    return EntryMarker::StoredName + EncodeRecordField(record.StoredName) + EntryMarker::WriteTime +
           record.WriteTime + EntryMarker::DisplayName + EncodeRecordField(record.DisplayName) +
           EntryMarker::EntryKind + QString::number(record.EntryKind) + EntryMarker::OriginalSize +
           QString::number(record.OriginalSize) + EntryMarker::EncryptedAt + record.EncryptedAt +
           EntryMarker::ModifiedAt + record.ModifiedAt;
}

int ParseEntryRecord(const QString& line, EntryRecord* record)
{
    if (!line.contains(EntryMarker::ModifiedAt)) {
        return Result::Failed;
    }
    const std::array<const QString*, 7> markers = {
        &EntryMarker::StoredName, &EntryMarker::WriteTime,    &EntryMarker::DisplayName,
        &EntryMarker::EntryKind,  &EntryMarker::OriginalSize, &EntryMarker::EncryptedAt,
        &EntryMarker::ModifiedAt,
    };
    // Each field runs from the end of its marker to the start of the next one.
    std::array<QString, 7> fields;
    qsizetype start = line.indexOf(*markers[0]);
    if (start < 0) {
        return Result::Failed;
    }
    start += markers[0]->size();
    for (std::size_t i = 1; i < markers.size(); ++i) {
        const qsizetype end = line.indexOf(*markers[i], start);
        if (end < 0) {
            return Result::Failed;
        }
        fields[i - 1] = line.mid(start, end - start);
        start = end + markers[i]->size();
    }
    fields[6] = line.mid(start);

    EntryRecord parsed;
    parsed.StoredName = DecodeRecordField(fields[0]);
    parsed.WriteTime = fields[1];
    parsed.DisplayName = DecodeRecordField(fields[2]);
    parsed.EntryKind = fields[3].toInt();
    parsed.OriginalSize = fields[4].toLongLong();
    parsed.EncryptedAt = fields[5];
    parsed.ModifiedAt = fields[6];
    *record = parsed;
    return 0;
}

QString EntryRecordKey(const QString& storedName, const QString& writeTime)
{
    return EntryMarker::StoredName + EncodeRecordField(storedName) + EntryMarker::WriteTime + writeTime;
}

QStringView RecordKeyOfLine(const QString& line)
{
    const qsizetype end = line.indexOf(EntryMarker::DisplayName);
    return QStringView(line).left(end < 0 ? line.size() : end);
}

bool IsSubfolderRecord(const QString& line)
{
    static const QString folderKind =
        EntryMarker::EntryKind + QString::number(EntryRecord::Subfolder) + EntryMarker::OriginalSize;
    return line.contains(folderKind);
}

int FindEntryByStoredName(const QStringList& lines, const QString& storedName, FoundEntry* found)
{
    const QString start = EntryMarker::StoredName + EncodeRecordField(storedName) + EntryMarker::WriteTime;
    for (const QString& line : lines) {
        EntryRecord record;
        if (!line.startsWith(start) || ParseEntryRecord(line, &record) != 0) {
            continue;
        }
        found->DisplayName = record.DisplayName;
        found->isEncrypted = record.EntryKind == EntryRecord::EncryptedFile;
        found->OriginalSize = record.OriginalSize;
        found->EncryptedAt = record.EncryptedAt;
        found->ModifiedAt = record.ModifiedAt;
        return 0;
    }
    return Result::Failed;
}

QStringList SplitRecordLines(const QString& text, qsizetype position)
{
    QStringList lines;
    QString line;
    for (;;) {
        qsizetype next = 0;
        const int rc = NextLine(text, position, &line, &next);
        if (!line.isEmpty()) {
            lines.append(line);
        }
        if (rc != 0) {
            break;
        }
        position = next;
    }
    return lines;
}
