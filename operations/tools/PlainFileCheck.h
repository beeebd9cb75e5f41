#pragma once

#include <QString>

class StoreContext;

// The check of a logged-in encrypted folder for files that are not encrypted, started by the
// user: asked first (A-195 with the folder), then the scan for plain files and repeated names
// (its findings shown as warnings), then, unless the folder is on an optical disc, whether every
// file can be opened at all (A-621 with the first that cannot). A-200 when nothing was found.
// Runs in the busy state with its own busy texts.
//
// *duplicates tells whether files that show the same name were found: the window then offers
// only the as-is take-out. 0 when nothing was found; -1 when something was, the check failed or
// the folder is not logged in (no message); -9 when the user said no.
int CheckFolderForPlainFiles(StoreContext& store, const QString& root, bool* duplicates);
