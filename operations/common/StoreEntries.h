#pragma once

#include "util/FileQueries.h"

#include <QString>

// Small facts and steps about entries of the store that several operations share (what an entry
// is: EntryTypeOf).

// Whether anything (a dangling link too) stands at the path.
bool ExistsAsEntry(const QString& path);
// Files left below a folder at any depth (links and special files count too).
bool HasEntriesLeft(const QString& folder);
// Whole-folder operations refuse a folder that holds, at any depth, an entry whose name is no
// valid UTF-8: its name in text reaches no file (or another one), so the operation could neither
// take it along nor leave it knowingly. Shows which entry and returns true when it refuses.
bool RefuseNameNotText(const QString& folder);
// Shows the text with the error icon.
void ShowError(const QString& text);
// Copies a container byte for byte under a new name: written beside the target under the
// engine's partial name and renamed over it, so a failure leaves no half-written container and an
// existing target stays whole until the copy is complete. 0, or -1 with the reason.
int CopyContainer(const QString& source, const QString& target, QString* error);
