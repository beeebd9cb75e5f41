#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ContainerChecks;
class FolderMetadata;
class RegisteredFolderTable;

// The places of an item of a registered folder in the working folder, and back: the decrypted
// working copy below the "Ac" area of its store folder, the decrypted take-out copy below "To",
// and the container of a copy. A file maps to its display name (the original name of a
// container the folder's key opens), a folder under its own name. Failures show their message
// and return the no-location marker (MetadataLocation::NoLocation).
class WorkingCopyPaths
{
public:
    // workingFolder answers the current working folder.
    WorkingCopyPaths(const RegisteredFolderTable& table, FolderMetadata& metadata, ContainerChecks& checks,
                     std::function<QString()> workingFolder);

    // A-156 for a path in no registered folder, A-303 when its registered folder has no store
    // folder of its own, A-290 when a container's stored name cannot be a file name; the marker
    // without a message when nothing exists at the path.
    QString WorkingCopyPathOf(const QString& item) const;
    QString TakeOutCopyPathOf(const QString& item) const;

    // The container of a copy below the "Ac", "To" or "Re" area: the file of the matching folder
    // of the registered folder that shows the copy's name. A-158 (no store folder holds the
    // path), A-159 (its registered folder has none of its own), A-160 (not in one of the three
    // areas), A-161 (the folder is gone). When no file shows the name: with propose an empty
    // result and, in proposal, a fresh container path in that folder; without, A-162.
    QString ContainerPathOf(const QString& copy, bool propose, QString* proposal = nullptr) const;

    // The take-out copy path of each item, in the same order.
    QStringList TakeOutCopiesOf(const QStringList& items) const;
    // Whether the take-out copies fit the path limits: a file's copy path, a folder's copy path
    // and the copy paths of everything below it. The first that does not: its limit text, "\n"
    // and the copy path, -1. No message box.
    int CheckTakeOutPathLengths(const QStringList& items, QString* errorText) const;

private:
    QString copyPathOf(const QString& item, const QString& area) const;
    QString storeFolderOf(const QString& root, int message, const QString& path) const;

    const RegisteredFolderTable& m_table;
    FolderMetadata& m_metadata;
    ContainerChecks& m_checks;
    std::function<QString()> m_workingFolder;
};
