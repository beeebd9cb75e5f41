#include "store/datafiles/RecordFields.h"

#include <algorithm>
#include <cstring>

namespace RecordField {

void Fill(QByteArray& record, qsizetype offset, qsizetype length, char byte)
{
    std::memset(record.data() + offset, byte, static_cast<size_t>(length));
}

void PutText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text)
{
    const qsizetype count = std::min(chars, text.size());
    char* out = record.data() + offset;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = text.at(i).unicode();
        out[2 * i] = static_cast<char>(unit & 0xFF);
        out[2 * i + 1] = static_cast<char>(unit >> 8);
    }
}

void PutZeroFilledText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text)
{
    Fill(record, offset, chars * 2, 0);
    PutText(record, offset, chars, text);
}

void PutSpaceFilledText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text)
{
    for (qsizetype i = 0; i < chars; ++i) {
        record[offset + 2 * i] = ' ';
        record[offset + 2 * i + 1] = 0;
    }
    PutText(record, offset, chars, text);
}

QString GetText(const QByteArray& record, qsizetype offset, qsizetype chars)
{
    QString text;
    const auto* in = reinterpret_cast<const unsigned char*>(record.constData() + offset);
    for (qsizetype i = 0; i < chars; ++i) {
        const char16_t unit = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text.append(QChar(unit));
    }
    return text;
}

QString TrimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString TrimTrailingSpaces(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.left(end);
}

QByteArray Utf16Prefix(const QString& text, qsizetype length)
{
    QByteArray bytes(length, 0);
    PutText(bytes, 0, length / 2, text);
    return bytes;
}

} // namespace RecordField
