#pragma once

class QWidget;
class StoreContext;

// What a run of the settings sheet changed, for the window to follow.
struct SettingsSheetOutcome
{
    bool accepted = false;
    bool titleModeChanged = false;     // the contents list shows names anew
    bool workingFolderChanged = false; // the working folder is in another place from now on
};

// The settings command: shows "環境設定" over `parent` with the store's settings and working-folder
// choice, opening at *firstPage, which is handed back after OK so the next run opens there. OK
// puts the changes into the store's records and saves them at once, so that nothing is lost if
// the program ends abnormally: the settings file when a setting changed (A-154 when it cannot
// be written; the save at exit tries again), the common data when the working folder changed.
// Returns 0 after OK (also when there was nothing to save), -1 when a save failed (its message
// shown), -9 when the sheet was cancelled.
int RunSettingsSheet(QWidget* parent, StoreContext& store, int* firstPage,
                     SettingsSheetOutcome* outcome = nullptr);
