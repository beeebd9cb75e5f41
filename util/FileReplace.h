#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's whole content safely: the data goes into a new file beside it, is flushed to
// disk, and only then is renamed over the old file. A failure at any point leaves the old file
// as it was and removes the new one.
//
// Every file replaced this way is one of the program's own and private to the user. The new file
// beside the target is created 0600 less what the umask takes away, so a file that did not exist
// is never looser than 0600 nor than the umask allows. An existing file keeps permissions that
// let no one but its owner in; looser ones are cut back to the owner's read and write bits, and
// that change is noted in the log.
//
// Returns 0, or -1 with the errno of the failure. writeLimit >= 0 makes the write stop after
// that many bytes with ENOSPC, as a full disk would (for tests of the failure path).
int ReplaceWholeFile(const QString& path, const QByteArray& data, int* error, qint64 writeLimit = -1);
