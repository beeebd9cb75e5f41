#pragma once

// What the enable rules of the commands look at, taken from the window and its panes each time
// the rules are evaluated. A plain value, so that the rules can be checked without a window.
struct PaneState
{
    enum Focus
    {
        Elsewhere,
        Tree,
        Contents,
        Decrypted,
    };

    bool busy = false;        // an operation runs
    bool abortable = false;   // the running operation can be stopped
    bool takeOutOnly = false; // a folder with duplicate display names is shown
    Focus focus = Elsewhere;  // the pane with the keyboard focus
    int contentsSelected = 0; // rows selected in the contents list
    bool treeItem = false;    // the tree has an item concerned (the selected or right-clicked one)
    bool treeItemIsRoot = false;
    bool rootShown = false;         // a registered folder is logged in and shown
    bool shownFolderIsRoot = false; // the shown folder is the registered folder itself
    int decryptedRows = 0;          // rows of the decrypted-files list
    int decryptedSelected = 0;      // rows selected in it
    bool undoAvailable = false;     // an undo record exists
};

// Whether the command is enabled in that state: the general rule (disabled while busy), the
// take-out-only state, the selection rule of the focused pane and the tree rule, then each
// command's own condition. Commands without a rule of their own are enabled.
bool CommandEnabled(int id, const PaneState& state);
