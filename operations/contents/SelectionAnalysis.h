#pragma once

#include <QString>
#include <QStringList>

class StoreContext;

// What a selection of the contents list holds, the basis of its context menu and of which
// commands are offered.
struct SelectionAnalysis
{
    int rows = 0;
    bool fileSelected = false;
    bool folderSelected = false;
    int plainFiles = 0;        // files that are no container the folder's key opens
    int foreignContainers = 0; // of those, containers of a newer format or another password
    QStringList extensions;    // of the containers the key opens, one per container
};

// Examines the selected entries (their full paths and the names the rows show, in list order).
// False when an entry has vanished or cannot be examined: the list is out of date.
bool AnalyseSelection(StoreContext& store, const QStringList& paths, const QStringList& names,
                      SelectionAnalysis* analysis);
