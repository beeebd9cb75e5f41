#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's whole content safely: the data goes into a new file beside it, is flushed to
// disk, and only then is renamed over the old file. A failure at any point leaves the old file
// as it was and removes the new one. An existing file keeps its permissions.
//
// Returns 0, or -1 with the errno of the failure. writeLimit >= 0 makes the write stop after
// that many bytes with ENOSPC, as a full disk would (for tests of the failure path).
int ReplaceWholeFile(const QString& path, const QByteArray& data, int* error, qint64 writeLimit = -1);
