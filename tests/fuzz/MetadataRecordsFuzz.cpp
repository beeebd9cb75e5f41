// The lines of a folder metadata file as deciphered: every line parsed as an entry record, and
// a record that parses written and parsed again to the same fields.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/metadata/EntryRecord.h"

#include <QStringList>

#include <cstdlib>

KURA_FUZZ_TARGET(MetadataRecords)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        RecordKeyOfLine(line);
        IsSubfolderRecord(line);
        EntryRecord record;
        if (ParseEntryRecord(line, &record) == 0) {
            EntryRecord again;
            if (ParseEntryRecord(FormatEntryRecord(record), &again) != 0 || !(again == record)) {
                std::abort();
            }
        }
    }
    FoundEntry found;
    if (!lines.isEmpty()) {
        FindEntryByStoredName(lines, lines.first(), &found);
    }
    return 0;
}
