#pragma once

#include <QList>
#include <QString>

#include <ctime>

// One directory listing of a folder as its metadata sees it.
namespace MetadataListing {

struct Entry
{
    QString name;
    QString writeTime; // local last-write time, "YYYYMMDDhhmmss"
    bool isFolder = false;
    // False for a name whose bytes are no valid text in the file system's encoding: `name`
    // shows a replacement mark and cannot be used to reach the entry.
    bool nameIsText = true;
};

// The files and subfolders of a folder, hidden ones included, in ascending order of their names;
// symbolic links count as what they point to. Left out: "." and "..", entries that are neither
// file nor folder (pipes, sockets, devices, dangling links) and the partial outputs of the engine
// that a running or crashed write leaves beside its target. -1 when the folder cannot be listed.
// What is left out, but for "." and "..", goes to leftOut when given (a check names it).
struct LeftOut
{
    QString name;
    bool partial = false; // a partial output; otherwise neither file nor folder
};
int ListEntries(const QString& folder, QList<Entry>* entries, QList<LeftOut>* leftOut = nullptr);

// A time as the local "YYYYMMDDhhmmss" digits.
QString CompactLocalTime(std::time_t time);

} // namespace MetadataListing
