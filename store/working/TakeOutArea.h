#pragma once

#include <QString>

// The "To" area of a store folder holds the decrypted take-out copies. It is a folder only while
// a take-out runs; between take-outs an empty file of the same name stands in its place.
enum class TakeOutAreaKind
{
    Open = 0,  // before a take-out: "To" becomes a folder (made when missing)
    Close = 1, // after a take-out: the folder is wiped and the empty file put back
};

// Turns storeFolder + "/To" into a folder or back into an empty file. A symbolic link in its
// place is removed, never followed. On failure, A-642 (opening) or A-643 (closing) with the
// cause and the area is shown when show is set, otherwise handed back in errorText; -1.
int PrepareTakeOutArea(TakeOutAreaKind kind, const QString& storeFolder, bool show,
                       QString* errorText = nullptr);
