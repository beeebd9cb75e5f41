#pragma once

// What the two halves of InsideTransfer share: the batch (InsideTransfer.cpp) and the single
// entries (InsideTransferEntries.cpp).

#include "util/FileChanges.h"

#include <QFileInfo>
#include <QString>

namespace TransferHelpers {

// The result of a transfer the user stopped.
constexpr int Stopped = -9;

inline QString NameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

inline QString ParentOf(const QString& path)
{
    return QFileInfo(path).path();
}

// As the program leaves the containers it writes.
inline void MakeReadOnly(const QString& path)
{
    SetAttributeBits(path, FileAttribute::ReadOnly, false);
}

} // namespace TransferHelpers
