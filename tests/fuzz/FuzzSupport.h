#pragma once

// What the fuzz targets share: one started engine with the real catalogues and the program's
// own key, a scratch folder, and messages that go nowhere.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class CryptEngine;
class ContainerCrypt;

namespace Fuzz {

CryptEngine& Engine();
ContainerCrypt& Crypt();
// A folder of its own for this process; targets overwrite their files in it.
QString Scratch();
QString ScratchPath(const QString& name);
// The data folder inside the scratch folder.
QString DataFolder();
// Forgets the messages shown so far.
void ClearMessages();

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Writes `plain`, zero-filled to whole blocks, enciphered with the program's own key: a data
// file whose records are the input.
void WriteDataFile(const QString& path, QByteArray plain);

} // namespace Fuzz
