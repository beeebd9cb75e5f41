#pragma once

#include <QList>
#include <QString>

// The commands of the main window: their ids (kept as the commands' identity), menu texts,
// the top-level menu they stand in and the general rules that decide whether they are enabled.
namespace Command {

inline constexpr int Login = 32956;
inline constexpr int Logout = 32955;
inline constexpr int Register = 32877;
inline constexpr int Unregister = 32892;
inline constexpr int Open = 32878;
inline constexpr int TakeOut = 32880;
inline constexpr int Mail = 32882;
inline constexpr int DecryptOnly = 32884;
inline constexpr int TakeOutEncrypted = 32886;
inline constexpr int TakeOutNewPassword = 32888;
inline constexpr int MailNewPassword = 32890;
inline constexpr int Delete = 32894;
inline constexpr int Rename = 32896;
inline constexpr int Properties = 32898;
inline constexpr int Exit = 57665;
inline constexpr int Undo = 32927;
inline constexpr int Cut = 32905;
inline constexpr int Copy = 32906;
inline constexpr int Paste = 32909;
inline constexpr int SelectAll = 32910;
inline constexpr int UpFolder = 32917;
inline constexpr int SwitchView = 32942;
inline constexpr int IconView = 32938;
inline constexpr int ListView = 32939;
inline constexpr int DetailView = 32941;
inline constexpr int Refresh = 33015;
inline constexpr int ReflectSelected = 32920;
inline constexpr int ReflectAll = 32921;
inline constexpr int EraseSelected = 32969;
inline constexpr int ToggleWatch = 32973;
inline constexpr int ToggleDragEncrypted = 33026;
inline constexpr int Backup = 32924;
inline constexpr int ImportBackup = 32981;
inline constexpr int Settings = 32926;
inline constexpr int AdminPassword = 32994;
inline constexpr int ChangePasswords = 32975;
inline constexpr int PlainFileCheck = 32990;
inline constexpr int ContainerCheck = 33030;
inline constexpr int HintWindow = 32997;
inline constexpr int Help = 32929;
inline constexpr int HomePage = 33013;
inline constexpr int About = 33005;
inline constexpr int Stop = 33004;
inline constexpr int TestDisplayMode = 32786;
inline constexpr int TestTool = 33009;

inline constexpr int Separator = 0;

} // namespace Command

struct CommandEntry
{
    int id;                 // Command::Separator for a separator line
    int menu;               // index of the top-level menu
    QString text;           // "&" marks the access key, "\t" starts the shortcut
    bool general;           // rule G: disabled while busy
    bool takeOutOnlyBlocks; // disabled in the take-out-only state
    bool checkable;         // shown with a check mark while its setting is on
    bool listOnly;          // works on rows of the contents list: disabled while the tree has the focus
    bool needsSelection;    // works on the selected items: disabled when none is selected
};

// The top-level menus, in order. All of them are greyed while the program is busy.
QList<QString> TopLevelMenus();
// Every command with a menu item, in menu order (separators included). Removed items are not
// in it; the stop command lives on the toolbar only.
const QList<CommandEntry>& MenuCommands();
// The entry of a command with a menu item; nullptr for the toolbar-only stop command and for
// removed items.
const CommandEntry* FindCommand(int id);
// The toolbar: its ten entries, separators as Command::Separator.
QList<int> ToolbarCommands();
QString ToolbarTip(int id);
