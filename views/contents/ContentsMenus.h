#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QWidget;
struct SelectionAnalysis;

// The commands of the contents list's own menus, by id.
namespace ListCommand {
inline constexpr int Open = 32788;
inline constexpr int OpenFolder = 32948;
inline constexpr int DecryptOnly = 32790;
inline constexpr int OpenWithChooser = 32842;
inline constexpr int OpenWithFirst = 63101; // the "プログラムから開く" entries, at most 20
inline constexpr int OpenWithCount = 20;
inline constexpr int TakeOut = 32789;
inline constexpr int Mail = 32846;
inline constexpr int TakeOutAsIs = 32870;
inline constexpr int TakeOutAsIsOnly = 32991; // the take-out-only state's single entry
inline constexpr int TakeOutEncrypted = 32793;
inline constexpr int TakeOutNewPassword = 32794;
inline constexpr int MailNewPassword = 32844;
inline constexpr int Cut = 32836;
inline constexpr int Copy = 32838;
inline constexpr int Paste = 32848;
inline constexpr int Delete = 32796;
inline constexpr int Rename = 32797;
inline constexpr int Properties = 32798;
inline constexpr int NewFolder = 32804;
inline constexpr int Encrypt = 32872;
inline constexpr int DropEncryptCopy = 32815;
inline constexpr int DropEncryptMove = 32817;
inline constexpr int DropCopyHere = 32807; // rows of the list dropped onto a folder: copy
inline constexpr int DropMoveHere = 32808; // ... or move
inline constexpr int NewFileFirst = 63001; // the new-file entries, one per template, at most 30
inline constexpr int NewFileCount = 30;
} // namespace ListCommand

// One entry of the new-file menu: the type's icon and the text shown.
struct NewFileEntry
{
    QIcon icon;
    QString text;
};

// What decides the entries of a menu besides the selection.
struct ContentsMenuContext
{
    bool takeOutOnly = false;
    QString pasteText;         // the paste entry's text; empty: disabled
    QStringList openWithNames; // the programs offered for the selection's one extension
    int selectedRows = 0;
    QList<NewFileEntry> newFiles; // the new-file menu's entries after the folder, in id order
    // Whether a command has an operation behind it; entries without one are shown disabled.
    std::function<bool(int)> available;
};

// Menu 195, 143 or 130 for a selection (see the list's rules), each action carrying its id as
// data; the default entry is the menu's default action.
QMenu* BuildSelectionMenu(const SelectionAnalysis& selection, const ContentsMenuContext& context,
                          QWidget* parent);
// Menu 137, for files dragged in from outside: encrypt them by copying or by moving.
QMenu* BuildDropMenu(QWidget* parent);
// Menu 135, for rows of the list dropped onto a folder: copy or move them there.
QMenu* BuildRowDropMenu(QWidget* parent);
// Menu 134, for a click on empty space in the list.
QMenu* BuildEmptySpaceMenu(const ContentsMenuContext& context, QWidget* parent);
