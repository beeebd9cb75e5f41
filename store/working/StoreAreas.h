#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class RegisteredFolderTable;

// The store folders of the registered folders in the working folder: their scratch and
// take-out areas, which are cleaned at start and at close, and the removal of a whole store
// folder when its registered folder goes.
class StoreAreas
{
public:
    // workingFolder answers the current working folder.
    StoreAreas(const RegisteredFolderTable& table, std::function<QString()> workingFolder);

    // The "Ce" area of the registered folder that the path belongs to, or whose store folder
    // holds the path. A-324 when no registered folder owns the path, A-325 when it has no store
    // folder of its own; both with the path, -1. The area is not created here.
    int ScratchAreaOf(const QString& path, QString* folder) const;

    // Wipes the root's store folder with everything in it. A root without a store folder of its
    // own has nothing to remove. -1 without a message when the folder cannot be removed.
    int RemoveStoreFolder(const QString& root) const;

    // For every registered folder: wipes a "To" area left behind as a folder (an empty file "To"
    // stays). With report, the folders that resisted are named once after A-634.
    int CleanTakeOutAreas(bool report) const;
    // For every registered folder: wipes its "Ce" area when present. With report, each failure
    // shows A-201 with the area.
    int CleanScratchAreas(bool report) const;
    // Both of the above: the take-out areas first, then the scratch areas.
    int CleanTemporaryAreas(bool report) const;

private:
    // The store folders of all registered folders that have one, in slot order.
    QStringList storeFolders() const;

    const RegisteredFolderTable& m_table;
    std::function<QString()> m_workingFolder;
};
