#pragma once

#include <QByteArray>
#include <QString>

// Fixed fields of the data files' records. Texts are UTF-16LE; a text shorter than its field
// ends at the first zero character or at the field's end, and a longer one is cut at the field.
namespace RecordField {

void Fill(QByteArray& record, qsizetype offset, qsizetype length, char byte);
// Copies the text's characters (cut at `chars`) over the start of the field; the rest of the
// field keeps what it holds, so callers fill it first.
void PutText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text);
// Zero-fills the field, then copies the text in.
void PutZeroFilledText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text);
// Fills the field with spaces, then copies the text in.
void PutSpaceFilledText(QByteArray& record, qsizetype offset, qsizetype chars, const QString& text);
QString GetText(const QByteArray& record, qsizetype offset, qsizetype chars);
// The text without the spaces at its start and end, or only at its end.
QString TrimSpaces(const QString& text);
QString TrimTrailingSpaces(const QString& text);
// The first `length` bytes of the text's UTF-16LE form, zero-filled when the text is shorter.
QByteArray Utf16Prefix(const QString& text, qsizetype length);

} // namespace RecordField
