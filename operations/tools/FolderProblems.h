#pragma once

#include <QString>

class StoreContext;

// The check of a folder tree for plain files and for files that show the same name.
struct FolderProblemReport
{
    bool duplicates = false; // entries with the same display name: the take-out-only state
    QString text;            // the findings, when collected
};

// Scans the folder and every folder below it. The findings (A-184/A-185 with the plain files,
// with the duplicate names; takeOutWording chooses the first of each pair) are
// shown as warnings, or collected into report->text when collect is set. 0 when nothing was
// found, -1 when something was or the scan failed.
int ScanFolderForProblems(StoreContext& store, const QString& folder, bool takeOutWording, bool collect,
                          FolderProblemReport* report);
