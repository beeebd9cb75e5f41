#pragma once

#include <QString>

#include <functional>

class ContainerChecks;

// Copies of files and folder trees, and the renaming of take-out copies to their display names.
// Copies inside the working folder are private to the user, like everything else there: the
// folders made for them are 0700, and each file keeps only the owner's read and write bits of
// its source's permissions. A partly copied or renamed tree stays as it is after a failure.
class TreeCopies
{
public:
    // workingFolder answers the current working folder.
    TreeCopies(ContainerChecks& checks, std::function<QString()> workingFolder);

    // Copies the file to the target path, creating its folder with every missing level (A-294
    // with the cause and the folder). A failed copy gives -1 without a message.
    int CopyFileTo(const QString& source, const QString& target) const;
    // Copies the folder's files and subfolders into the target folder, creating it with every
    // missing level (A-293 with the cause and the target). The first failure ends with -1.
    int CopyFolderTree(const QString& source, const QString& target) const;

    // Renames every file below the folder, at any depth, to its display name + suffix: the
    // original names of containers the key opens, the file's own name otherwise. Warns with the
    // limit text when a new path is too long; A-292 with the cause and both paths when a rename
    // fails, when a stored name cannot be a file name, or when another item already has the new
    // name (nothing is overwritten).
    int RenameContainersToDisplayNames(const QString& folder, const QString& key,
                                       const QString& suffix) const;

private:
    bool inWorkingFolder(const QString& path) const;
    int makeFolder(const QString& folder, QString* errorText) const;
    // Copies the file to `to` (a file path, or a folder to copy it into); 0 or -1.
    int copy(const QString& source, const QString& to) const;

    ContainerChecks& m_checks;
    std::function<QString()> m_workingFolder;
};
