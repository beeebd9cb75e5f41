#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Replaces a data file as a whole without ever leaving it half written: the bytes go to a
// temporary file beside it, which is flushed to disk and renamed over the old file only once
// every byte is written. On failure the old file stays as it was and the temporary file is
// removed. The file is private to the user (see ReplaceWholeFile). Returns 0, or -1 with the
// file-exception text of the cause.
int SaveWholeFile(const QString& path, const QByteArray& data, QString* errorText = nullptr);

// Test seam: while a predicate is installed, a save whose path it accepts fails halfway through
// writing, as on a full disk. An empty function removes it.
using SaveFailurePredicate = std::function<bool(const QString& path)>;
void SetSaveFailureForTesting(SaveFailurePredicate fails);
