#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QUuid>

// The byte layout of an encrypted container: a 384-byte header, a name block of K bytes and
// the enciphered zlib body. This file builds and parses the plaintext images; enciphering
// them is the pipelines' work.
namespace ContainerFormat {

inline constexpr int HeaderSize = 384;
inline constexpr int ChunkSize = 128000;
inline constexpr char FillByte = 0x30;
inline constexpr char UnreadableByte = 0x30; // an unreadable header is replaced by these
inline constexpr int SignatureLength = 12;   // UTF-16 code units
inline constexpr int PasswordCheckLength = 16;
inline constexpr int HintLength = 48;
inline constexpr int MinNameBlockLength = 16;
inline constexpr int MaxNameBlockLength = 544;
inline constexpr int MaxFileNameLength = (MaxNameBlockLength - 2) / 2; // 271
inline const QString FormatVersion = QStringLiteral("001");
inline const QString Extension = QStringLiteral("kbxf");
inline const QString ToolExtension = QStringLiteral(".kbxf2");
inline constexpr int ContainerNameLength = 33; // GUID text without the extension

// Header field offsets and sizes.
namespace Offset {
inline constexpr int Signature = 0;
inline constexpr int Version = 24;
inline constexpr int FillCount = 30;
inline constexpr int Hint = 32;
inline constexpr int Reserved1 = 128; // 10 zero bytes
inline constexpr int Reserved2 = 138; // 6 zero bytes
inline constexpr int PlainSize = 144;
inline constexpr int NameBlockLength = 152;
inline constexpr int ReservedText = 154; // 16 spaces
inline constexpr int Filler1 = 170;      // 44 spaces
inline constexpr int TailCheck = 214;
inline constexpr int Reserved3 = 278; // 2 zero bytes
inline constexpr int Times = 280;
inline constexpr int PasswordCheck = 296;
inline constexpr int Filler2 = 328; // 32 spaces
inline constexpr int Filler3 = 360; // 24 spaces
} // namespace Offset

inline constexpr int TailCheckSize = 64;
inline constexpr int TimesSize = 16;
inline constexpr int PasswordCheckSize = 32;

// The fields of a header. The three protected fields are kept as the bytes that stand in the
// header: plaintext before the folder key enciphers them, enciphered as read from a file.
struct Header
{
    QString signature; // 12 code units
    QString version;   // 3 code units
    quint16 fillCount = 0;
    QString hint; // up to 48 code units; stored padded with spaces
    qint64 plainSize = 0;
    qint16 nameBlockLength = 0;
    QByteArray tailCheck;     // 64 bytes
    QByteArray times;         // 16 bytes
    QByteArray passwordCheck; // 32 bytes
};

// The 384-byte plaintext image of a header. Texts longer than their fields are cut to them;
// missing protected bytes are zeros.
QByteArray BuildHeaderImage(const Header& header);
// Reads the fields of a 384-byte plaintext image; false when the image has another size.
bool ParseHeaderImage(const QByteArray& image, Header* header);
// 384 bytes that no signature comparison accepts: what a reader keeps of a header it could not read.
QByteArray UnreadableHeaderImage();

// The first 12 code units of the signature text (the caller passes catalogue entry B-6).
QString SignatureOf(const QString& signatureText);
bool HasSignature(const Header& header, const QString& signatureText);

// Version check: -1, 0 or 1 as the version compares with "001", code unit by code unit.
int CompareFormatVersion(QStringView version);
inline bool IsNewerFormat(QStringView version)
{
    return CompareFormatVersion(version) > 0;
}

// Plaintext of the protected fields.
QByteArray TailCheckPlain(const QByteArray& plainTail); // the last up to 16 bytes of the file
QByteArray TimesPlain(qint64 encryptionTime, qint64 modificationTime);
bool ParseTimesPlain(const QByteArray& times, qint64* encryptionTime, qint64* modificationTime);
QByteArray PasswordCheckPlain(const QString& checkText); // first 16 code units of B-7
// The 16 bytes of the file's tail as held in a deciphered tail check.
QByteArray TailOfTailCheck(const QByteArray& tailCheckPlain);

// Local date and time as the number whose digits read YYYYMMDDhhmmss.
qint64 EncryptionTimeValue(const QDateTime& localTime);
QDateTime EncryptionTimeFromValue(qint64 value);
// Whether a stored modification time (seconds since 1970 UTC) is one a file can have: from 1970
// to the end of the year 9999.
bool IsValidModificationTime(qint64 seconds);

// Name block: K = 2 + 2n rounded up to a multiple of 16.
int NameBlockLength(int nameUnits);
bool IsValidNameBlockLength(int length);
// The plaintext name block of a file name; empty when the name is too long for any block.
QByteArray BuildNameBlock(const QString& fileName);
// The name held in a plaintext block; false when the block cannot hold what it claims.
bool ParseNameBlock(const QByteArray& block, QString* fileName);

// "%08X%04X%04X-%02X%02X%02X%02X%02X%02X%02X%02X" of the GUID, plus ".kbxf".
QString ContainerFileName(const QUuid& guid);
// Whether a file name has the form of a generated container name.
bool IsContainerFileName(const QString& fileName);

} // namespace ContainerFormat
