#include "frame/commands/CommandRules.h"

#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"

#include <gtest/gtest.h>

namespace {

// A folder is shown, nothing runs, and the given pane has the focus.
PaneState shownWithFocus(PaneState::Focus focus)
{
    PaneState state;
    state.focus = focus;
    state.rootShown = true;
    state.shownFolderIsRoot = true;
    state.treeItem = true;
    state.treeItemIsRoot = true;
    return state;
}

} // namespace

TEST(CommandRulesTest, EnableRulesAsATable)
{
    const PaneState idleTree = shownWithFocus(PaneState::Tree);
    const PaneState idleList = shownWithFocus(PaneState::Contents);
    PaneState oneSelected = idleList;
    oneSelected.contentsSelected = 1;
    PaneState twoSelected = idleList;
    twoSelected.contentsSelected = 2;
    PaneState busy = oneSelected;
    busy.busy = true;
    PaneState abortable = busy;
    abortable.abortable = true;
    PaneState takeOutOnly = oneSelected;
    takeOutOnly.takeOutOnly = true;
    PaneState subfolderItem = idleTree;
    subfolderItem.treeItemIsRoot = false;
    PaneState loggedOut = idleTree;
    loggedOut.rootShown = false;
    PaneState inSubfolder = idleList;
    inSubfolder.shownFolderIsRoot = false;
    PaneState decrypted = shownWithFocus(PaneState::Decrypted);
    decrypted.decryptedRows = 2;
    decrypted.decryptedSelected = 1;
    PaneState decryptedElsewhere = decrypted;
    decryptedElsewhere.focus = PaneState::Contents;

    struct Case
    {
        const char* name;
        PaneState state;
        int command;
        bool enabled;
    };
    const Case cases[] = {
        {"open needs a selected row", idleList, Command::Open, false},
        {"open with a row selected", oneSelected, Command::Open, true},
        {"properties of one row", oneSelected, Command::Properties, true},
        {"properties of two rows", twoSelected, Command::Properties, false},
        {"open from the tree", idleTree, Command::Open, false},
        {"rename from the tree", idleTree, Command::Rename, false},
        {"properties of a tree item", idleTree, Command::Properties, true},
        {"unregister a root", idleTree, Command::Unregister, true},
        {"unregister a subfolder", subfolderItem, Command::Unregister, false},
        {"delete a root", idleTree, Command::Delete, false},
        {"delete a subfolder", subfolderItem, Command::Delete, true},
        {"unregister from the list", oneSelected, Command::Unregister, false},
        {"backup from the list", oneSelected, Command::Backup, false},
        {"backup from the tree", idleTree, Command::Backup, true},
        {"busy: open", busy, Command::Open, false},
        {"busy: exit", busy, Command::Exit, true},
        {"busy: stop", busy, Command::Stop, false},
        {"abortable: stop", abortable, Command::Stop, true},
        {"take-out-only: open", takeOutOnly, Command::Open, false},
        {"take-out-only: take out", takeOutOnly, Command::TakeOut, false},
        {"take-out-only: select all", takeOutOnly, Command::SelectAll, true},
        {"login while shown", idleTree, Command::Login, false},
        {"login while logged out", loggedOut, Command::Login, true},
        {"logout while shown", idleTree, Command::Logout, true},
        {"up from the root", idleList, Command::UpFolder, false},
        {"up from a subfolder", inSubfolder, Command::UpFolder, true},
        {"select all without a folder", loggedOut, Command::SelectAll, false},
        {"reflect selected in its pane", decrypted, Command::ReflectSelected, true},
        {"reflect selected elsewhere", decryptedElsewhere, Command::ReflectSelected, false},
        {"reflect all", decryptedElsewhere, Command::ReflectAll, true},
        {"reflect all with nothing out", idleList, Command::ReflectAll, false},
        {"erase selected", decryptedElsewhere, Command::EraseSelected, true},
        {"undo without a record", oneSelected, Command::Undo, false},
        {"list view always", busy, Command::ListView, true},
        {"focus elsewhere: copy", shownWithFocus(PaneState::Elsewhere), Command::Copy, false},
        {"register", idleList, Command::Register, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CommandEnabled(c.command, c.state), c.enabled);
    }
}

TEST(CommandRulesTest, TableKnowsWhichCommandsNeedWhat)
{
    const CommandEntry* open = FindCommand(Command::Open);
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->needsSelection && open->listOnly && open->takeOutOnlyBlocks && !open->checkable);
    const CommandEntry* detail = FindCommand(Command::DetailView);
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(detail->checkable && !detail->needsSelection);
    EXPECT_EQ(FindCommand(Command::Stop), nullptr); // on the toolbar only
}

TEST(CommandRouterTest, HandlersGiveTheirResultsBack)
{
    CommandRouter router;
    int runs = 0;
    router.route(Command::Open, [&] {
        ++runs;
        return -9;
    });
    EXPECT_EQ(router.run(Command::Open), -9);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(router.isRouted(Command::Backup));
    EXPECT_EQ(router.run(Command::Backup), -1); // nothing carries it out
    router.route(Command::Open, [] { return 0; });
    EXPECT_EQ(router.run(Command::Open), 0);
    EXPECT_EQ(runs, 1);
}
