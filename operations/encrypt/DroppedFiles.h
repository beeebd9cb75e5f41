#pragma once

#include <QStringList>

class QMimeData;

// The files a drop or a paste from a file manager carries: "text/uri-list" with local file URLs,
// and whether they were cut (moved) rather than copied: "x-special/gnome-copied-files" whose
// first line reads "cut", or "application/x-kde-cutselection" reading "1". Anything else is a
// copy.
struct DroppedFiles
{
    QStringList paths;
    bool cut = false;
};

// False when the data carries no local file.
bool ReadDroppedFiles(const QMimeData& data, DroppedFiles* files);
