#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Copy, move and delete of whole items, as a file manager does them. These are the silent
// variants: no progress, no questions, existing files in the way are replaced. They return 0,
// or the errno of the first failure; events are dispatched once before they start and between
// items.
//
// Copies and moves put each source item into the folder `to` under its own name (the folder is
// created when missing). A copied file keeps its last-write time and permissions; a file that
// replaces another is written beside it and renamed over it, so the old one survives a failure.

// Copies one regular file (a pipe or a device gives EINVAL) to `target` through `partial`, a
// temporary file beside it that is locked while it is written and renamed over the target only
// when the copy is complete and flushed; on every failure it is removed again. The copy keeps the
// last-write time and the permission bits of the source that `keptModeBits` lets through. `step`,
// when given, is called after every chunk with the bytes copied so far; returning false stops the
// copy with ECANCELED. Returns 0 or an errno value.
int CopyFileVia(const QString& source, const QString& target, const QString& partial, unsigned keptModeBits,
                const std::function<bool(qint64 copied)>& step = {});

int ShellCopy(const QStringList& from, const QString& to, bool showUi = false);
// ShellCopy for copies that stay private to the user, such as the take-out copies in the working
// folder: each copied file keeps only the owner's read and write bits of its source's
// permissions, and every folder made for the copies is 0700 (less what the umask takes away).
int ShellCopyPrivate(const QStringList& from, const QString& to);
int ShellMove(const QStringList& from, const QString& to, bool showUi = false);
// Deletes files and whole folder trees, without the Trash.
int ShellDelete(const QStringList& paths);
// Moves the items to the Trash, from where they can be restored.
int ShellDeleteToRecycleBin(const QStringList& paths, QString* errorText = nullptr);

// The trashed path of the first item in the Trash whose name matches `name` (the same name, or
// it with an extension) and whose last-write time text equals `timeText`. `near` names a path
// on the volume whose Trash is searched too.
int FindInRecycleBin(const QString& name, const QString& timeText, QString* trashedPath,
                     const QString& near = QString());
// Puts an item found by FindInRecycleBin back where it was deleted from.
int RestoreFromRecycleBin(const QString& trashedPath, QString* errorText = nullptr);
