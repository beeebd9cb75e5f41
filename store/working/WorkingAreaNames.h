#pragma once

#include <QString>

// The fixed folder names below each registered folder's store folder in the working folder.
namespace WorkingArea {

// Decrypted working copies of opened files, mirroring the registered folder's tree.
inline const QString WorkingCopies = QStringLiteral("Ac");
// Staging area of the take-out operations (encrypted copies).
inline const QString Staging = QStringLiteral("Re");
// The folder metadata files, mirroring the registered folder's tree.
inline const QString Metadata = QStringLiteral("Nf");
// Scratch area of the file operations; removed at every start.
inline const QString Scratch = QStringLiteral("Ce");
// Decrypted take-out copies. A folder only while a take-out runs; between take-outs an empty file
// of the same name stands in its place.
inline const QString TakeOut = QStringLiteral("To");

} // namespace WorkingArea
