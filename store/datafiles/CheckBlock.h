#pragma once

#include <QByteArray>
#include <QString>

class CryptEngine;

// Password check blocks of the data files: a fixed catalogue text enciphered under the key of a
// password, so that the password can be checked without being stored.
namespace CheckBlock {

inline constexpr qsizetype Size = 256;

// The plain block: the first 64 characters of the text in UTF-16LE, zeros up to 256 bytes.
QByteArray PlainBlock(const QString& text);
// Sets a temporary key from the password and enciphers the plain block of the text with it.
int Make(CryptEngine& engine, const QString& password, const QString& text, QByteArray* block);
// Sets a temporary key from the password and deciphers a copy of the block with it.
int Open(CryptEngine& engine, const QString& password, const QByteArray& block, QByteArray* plain);

} // namespace CheckBlock
