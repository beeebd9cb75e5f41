#pragma once

#include <QString>

#include <functional>

class RegisteredFolderTable;

// Where the metadata of a folder in a registered folder lives: a folder that mirrors it below the
// "Nf" area of the registered folder's store folder in the working folder. The registered root's
// own metadata lies directly in "Nf".
class MetadataLocation
{
public:
    // workingFolder answers the current working folder.
    MetadataLocation(const RegisteredFolderTable& table, std::function<QString()> workingFolder);

    // The no-location marker (the text of message B-4), which the location operations return
    // instead of a path. A text is no location when it begins with the marker (ignoring case).
    static QString NoLocation();
    static bool IsNoLocation(const QString& text);

    // The metadata folder of a folder, created with every missing level when it does not exist.
    // The marker after A-306 (the folder is in no registered folder), A-303 (its registered
    // folder has no store folder of its own), the folder length limit text (218 characters or
    // more) or A-307 (the folder cannot be created).
    QString MetadataFolderOf(const QString& folder) const;
    // The metadata file of a folder: MetadataFolderOf + "/_snf.kbxn", or the marker.
    QString MetadataFileOf(const QString& folder) const;
    // The folder that a metadata folder mirrors; the marker after A-302 when the path lies in no
    // metadata area of a registered folder.
    QString RealFolderOf(const QString& metadataFolder) const;
    // 0 when the folder has a metadata location and its metadata file exists there.
    int MetadataExists(const QString& folder) const;
    // Deletes every metadata folder of the root whose mirrored folder no longer exists, and looks
    // below those that remain. -1 when a deletion fails.
    int PruneMetadataFolders(const QString& root) const;

    // The root's "Nf" area; empty when the root has no store folder of its own.
    QString MetadataArea(const QString& root) const;

private:
    int prune(const QString& metadataFolder) const;

    const RegisteredFolderTable& m_table;
    std::function<QString()> m_workingFolder;
};
