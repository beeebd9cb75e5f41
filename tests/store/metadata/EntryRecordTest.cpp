#include "store/metadata/EntryRecord.h"

#include <gtest/gtest.h>

TEST(EntryRecordTest, RecordsKeepTheirLayoutAndReadBack)
{
    EntryRecord record;
    record.StoredName = QStringLiteral("0A1B2C3D4E5F60718-293A4B5C6D7E8F90.kbxf");
    record.WriteTime = QStringLiteral("20240305070809");
    record.DisplayName = QStringLiteral("見積書 (2).xlsx");
    record.EntryKind = EntryRecord::EncryptedFile;
    record.OriginalSize = 5000000000;
    record.EncryptedAt = QStringLiteral("2024/03/05 07:08:10");
    record.ModifiedAt = QStringLiteral("2024/03/01 12:00:00");

    const QString line = FormatEntryRecord(record);
    EXPECT_EQ(line, QStringLiteral(":*0*:0A1B2C3D4E5F60718-293A4B5C6D7E8F90.kbxf:*1*:20240305070809"
                                   ":*2*:見積書 (2).xlsx:*3*:1:*4*:5000000000:*5*:2024/03/05 07:08:10"
                                   ":*6*:2024/03/01 12:00:00"));
    EntryRecord back;
    ASSERT_EQ(ParseEntryRecord(line, &back), 0);
    EXPECT_EQ(back, record);
    EXPECT_EQ(RecordKeyOfLine(line), EntryRecordKey(record.StoredName, record.WriteTime));

    FoundEntry found;
    const QStringList lines = {QStringLiteral(":*0*:x:*1*:1:*2*:x:*3*:0:*4*:0:*5*:0:*6*:0"), line};
    ASSERT_EQ(FindEntryByStoredName(lines, record.StoredName, &found), 0);
    EXPECT_EQ(found.DisplayName, record.DisplayName);
    EXPECT_TRUE(found.isEncrypted);
    EXPECT_EQ(found.OriginalSize, record.OriginalSize);
    EXPECT_EQ(found.ModifiedAt, record.ModifiedAt);
    EXPECT_EQ(FindEntryByStoredName(lines, record.StoredName.toLower(), &found), -1);
    EXPECT_EQ(FindEntryByStoredName(lines, QStringLiteral("0A1B"), &found), -1);
}

TEST(EntryRecordTest, MalformedLinesAreRefused)
{
    const char* lines[] = {
        "",
        ":*0*:a:*1*:20240101000000:*2*:a:*3*:0:*4*:0:*5*:0",  // no last field
        "a:*1*:20240101000000:*2*:a:*3*:0:*4*:0:*5*:0:*6*:0", // no first marker
        ":*0*:a:*1*:20240101000000:*3*:0:*2*:a:*4*:0:*5*:0:*6*:0",
    };
    for (const char* line : lines) {
        EntryRecord record;
        EXPECT_EQ(ParseEntryRecord(QString::fromUtf8(line), &record), -1) << line;
    }
}

TEST(EntryRecordTest, OnlyNamesThatWouldBreakALineAreEscaped)
{
    for (const QString& name :
         {QStringLiteral("plain name.txt"), QStringLiteral("a:b:c"), QStringLiteral("")}) {
        EXPECT_EQ(EncodeRecordField(name), name);
    }
    for (const QString& name : {QStringLiteral("a*b"), QStringLiteral(":*2*:"), QStringLiteral("x\r\ny"),
                                QStringLiteral("\uE000e"), QString(QChar(0))}) {
        const QString encoded = EncodeRecordField(name);
        EXPECT_FALSE(encoded.contains(QLatin1Char('*')) || encoded.contains(QLatin1Char('\n')) ||
                     encoded.contains(QLatin1Char('\r')) || encoded.contains(QChar(0)));
        EXPECT_EQ(DecodeRecordField(encoded), name);
    }
}
