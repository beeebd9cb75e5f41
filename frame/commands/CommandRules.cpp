#include "frame/commands/CommandRules.h"

#include "frame/commands/CommandTable.h"

namespace {

// The tree rule: the item concerned must exist; unregistering needs a root, deleting and the
// inside clipboard an item below one.
bool treeItemAllows(int id, const PaneState& state)
{
    if (!state.treeItem) {
        return false;
    }
    if (id == Command::Unregister) {
        return state.treeItemIsRoot;
    }
    if (id == Command::Delete || id == Command::Cut || id == Command::Copy) {
        return !state.treeItemIsRoot;
    }
    return true;
}

// The selection rule: which commands the focused pane and its selection allow.
bool selectionAllows(int id, const CommandEntry* entry, const PaneState& state)
{
    switch (state.focus) {
    case PaneState::Contents:
        if (id == Command::Unregister || id == Command::Backup || id == Command::Login ||
            id == Command::Logout) {
            return false;
        }
        if (state.contentsSelected == 0 && entry && entry->needsSelection) {
            return false;
        }
        return !(id == Command::Properties && state.contentsSelected > 1);
    case PaneState::Tree:
        return !(entry && entry->listOnly) && treeItemAllows(id, state);
    default:
        return false;
    }
}

} // namespace

bool CommandEnabled(int id, const PaneState& state)
{
    if (id == Command::Stop) {
        return state.abortable;
    }
    if (id == Command::Exit || id == Command::ListView) {
        return true;
    }
    const CommandEntry* entry = FindCommand(id);
    if (entry && entry->general && state.busy) {
        return false;
    }
    if (entry && entry->takeOutOnlyBlocks && state.takeOutOnly) {
        return false;
    }
    switch (id) {
    case Command::Login:
        return !state.abortable && state.treeItem && state.treeItemIsRoot && !state.rootShown;
    case Command::Logout:
        return !state.abortable && state.treeItem && state.rootShown;
    case Command::UpFolder:
        return !state.abortable && state.rootShown && !state.shownFolderIsRoot;
    case Command::SwitchView:
        return !state.abortable && state.rootShown;
    case Command::ReflectAll:
        return !state.abortable && state.decryptedRows > 0;
    case Command::ReflectSelected:
        return state.focus == PaneState::Decrypted && state.decryptedSelected > 0;
    case Command::EraseSelected:
        return state.decryptedSelected > 0;
    case Command::SelectAll:
    case Command::IconView:
    case Command::DetailView:
    case Command::Refresh:
    case Command::ToggleDragEncrypted:
    case Command::PlainFileCheck:
    case Command::ContainerCheck:
        return state.rootShown;
    case Command::Unregister:
    case Command::Backup:
        return selectionAllows(id, entry, state) && treeItemAllows(id, state);
    case Command::Paste:
        return selectionAllows(id, entry, state);
    case Command::Undo:
        return state.undoAvailable;
    default:
        return entry && entry->needsSelection ? selectionAllows(id, entry, state) : true;
    }
}
