#include "engine/ContainerFormat.h"

#include <QRegularExpression>
#include <QtEndian>

#include <cstring>

namespace ContainerFormat {

namespace {

// Writes up to `units` code units of text as UTF-16LE at offset, padding with `pad`.
void putText(QByteArray& image, int offset, const QString& text, int units, char16_t pad)
{
    for (int i = 0; i < units; ++i) {
        const char16_t unit = i < text.size() ? text.at(i).unicode() : pad;
        qToLittleEndian<quint16>(unit, image.data() + offset + 2 * i);
    }
}

QString getText(const QByteArray& image, int offset, int units)
{
    QString text(units, Qt::Uninitialized);
    for (int i = 0; i < units; ++i) {
        text[i] = QChar(qFromLittleEndian<quint16>(image.constData() + offset + 2 * i));
    }
    return text;
}

void putBytes(QByteArray& image, int offset, const QByteArray& bytes, int size)
{
    std::memcpy(image.data() + offset, bytes.constData(),
                static_cast<size_t>(qMin<qsizetype>(bytes.size(), size)));
}

} // namespace

QByteArray BuildHeaderImage(const Header& header)
{
    QByteArray image(HeaderSize, '\0');
    putText(image, Offset::Signature, header.signature, SignatureLength, u'\0');
    putText(image, Offset::Version, header.version, 3, u'\0');
    qToLittleEndian<quint16>(header.fillCount, image.data() + Offset::FillCount);
    putText(image, Offset::Hint, header.hint, HintLength, u' ');
    // 128-143 stay zero.
    qToLittleEndian<qint64>(header.plainSize, image.data() + Offset::PlainSize);
    qToLittleEndian<qint16>(header.nameBlockLength, image.data() + Offset::NameBlockLength);
    std::memset(image.data() + Offset::ReservedText, 0x20, Offset::TailCheck - Offset::ReservedText);
    putBytes(image, Offset::TailCheck, header.tailCheck, TailCheckSize);
    // 278-279 stay zero.
    putBytes(image, Offset::Times, header.times, TimesSize);
    putBytes(image, Offset::PasswordCheck, header.passwordCheck, PasswordCheckSize);
    std::memset(image.data() + Offset::Filler2, 0x20, HeaderSize - Offset::Filler2);
    return image;
}

bool ParseHeaderImage(const QByteArray& image, Header* header)
{
    if (image.size() != HeaderSize) {
        return false;
    }
    header->signature = getText(image, Offset::Signature, SignatureLength);
    header->version = getText(image, Offset::Version, 3);
    header->fillCount = qFromLittleEndian<quint16>(image.constData() + Offset::FillCount);
    header->hint = getText(image, Offset::Hint, HintLength);
    header->plainSize = qFromLittleEndian<qint64>(image.constData() + Offset::PlainSize);
    header->nameBlockLength = qFromLittleEndian<qint16>(image.constData() + Offset::NameBlockLength);
    header->tailCheck = image.mid(Offset::TailCheck, TailCheckSize);
    header->times = image.mid(Offset::Times, TimesSize);
    header->passwordCheck = image.mid(Offset::PasswordCheck, PasswordCheckSize);
    return true;
}

QByteArray UnreadableHeaderImage()
{
    return QByteArray(HeaderSize, UnreadableByte);
}

QString SignatureOf(const QString& signatureText)
{
    return signatureText.left(SignatureLength);
}

bool HasSignature(const Header& header, const QString& signatureText)
{
    const QString expected = SignatureOf(signatureText);
    return expected.size() == SignatureLength && header.signature == expected;
}

int CompareFormatVersion(QStringView version)
{
    const QStringView current(FormatVersion);
    for (int i = 0; i < current.size(); ++i) {
        const char16_t unit = i < version.size() ? version.at(i).unicode() : u'\0';
        if (unit != current.at(i).unicode()) {
            return unit < current.at(i).unicode() ? -1 : 1;
        }
    }
    return 0;
}

QByteArray TailCheckPlain(const QByteArray& plainTail)
{
    QByteArray block(TailCheckSize, 0x20);
    std::memset(block.data(), 0, 16);
    const QByteArray tail = plainTail.right(16);
    std::memcpy(block.data(), tail.constData(), static_cast<size_t>(tail.size()));
    return block;
}

QByteArray TailOfTailCheck(const QByteArray& tailCheckPlain)
{
    return tailCheckPlain.left(16);
}

QByteArray TimesPlain(qint64 encryptionTime, qint64 modificationTime)
{
    QByteArray times(TimesSize, '\0');
    qToLittleEndian<qint64>(encryptionTime, times.data());
    qToLittleEndian<qint64>(modificationTime, times.data() + 8);
    return times;
}

bool ParseTimesPlain(const QByteArray& times, qint64* encryptionTime, qint64* modificationTime)
{
    if (times.size() != TimesSize) {
        return false;
    }
    *encryptionTime = qFromLittleEndian<qint64>(times.constData());
    *modificationTime = qFromLittleEndian<qint64>(times.constData() + 8);
    return true;
}

QByteArray PasswordCheckPlain(const QString& checkText)
{
    QByteArray block(PasswordCheckSize, '\0');
    putText(block, 0, checkText.left(PasswordCheckLength), PasswordCheckLength, u'\0');
    return block;
}

qint64 EncryptionTimeValue(const QDateTime& localTime)
{
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return ((((qint64(d.year()) * 100 + d.month()) * 100 + d.day()) * 100 + t.hour()) * 100 + t.minute()) *
               100 +
           t.second();
}

QDateTime EncryptionTimeFromValue(qint64 value)
{
    const int second = int(value % 100);
    const int minute = int(value / 100 % 100);
    const int hour = int(value / 10000 % 100);
    const int day = int(value / 1000000 % 100);
    const int month = int(value / 100000000 % 100);
    const int year = int(value / 10000000000LL);
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

bool IsValidModificationTime(qint64 seconds)
{
    return seconds >= 0 && seconds <= 253402300799LL; // 9999-12-31 23:59:59 UTC
}

int NameBlockLength(int nameUnits)
{
    const int raw = 2 + 2 * nameUnits;
    return (raw + 15) / 16 * 16;
}

bool IsValidNameBlockLength(int length)
{
    return length >= MinNameBlockLength && length <= MaxNameBlockLength && length % 16 == 0;
}

QByteArray BuildNameBlock(const QString& fileName)
{
    const int length = NameBlockLength(int(fileName.size()));
    if (fileName.size() > MaxFileNameLength || !IsValidNameBlockLength(length)) {
        return {};
    }
    QByteArray block(length, '\0');
    qToLittleEndian<qint16>(qint16(fileName.size()), block.data());
    putText(block, 2, fileName, (length - 2) / 2, u' ');
    return block;
}

bool ParseNameBlock(const QByteArray& block, QString* fileName)
{
    if (block.size() < 2) {
        return false;
    }
    const qint16 units = qFromLittleEndian<qint16>(block.constData());
    if (units < 0 || 2 + 2 * qsizetype(units) > block.size()) {
        return false;
    }
    *fileName = getText(block, 2, units);
    return true;
}

QString ContainerFileName(const QUuid& guid)
{
    QString text = QString::asprintf("%08X%04X%04X-", guid.data1, guid.data2, guid.data3);
    for (int i = 0; i < 8; ++i) {
        text += QString::asprintf("%02X", guid.data4[i]);
    }
    return text + QLatin1Char('.') + Extension;
}

bool IsContainerFileName(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-F]{16}-[0-9A-F]{16}\\.kbxf$"));
    return pattern.match(fileName).hasMatch();
}

} // namespace ContainerFormat
