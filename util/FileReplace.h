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

// Renames `from` to `to`. With replace false an existing `to` is never replaced, not even one
// that appeared a moment before: the rename fails with EEXIST. Where the file system cannot
// rename without replacing, a hard link and the unlink of `from` do the same. Returns 0 or an
// errno value.
int RenameInto(const QString& from, const QString& to, bool replace);

// The path a whole-file write to `path` should replace: the file a symbolic link points to (so
// the link stays a link), or `path` itself. Returns false with ELOOP for a link that leads
// nowhere, which must not be replaced by a plain file.
bool ResolveReplacedPath(const QString& path, QString* resolved, int* error);
