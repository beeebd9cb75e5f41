#include "views/contents/ContentsMenus.h"

#include "operations/contents/SelectionAnalysis.h"

#include <QMenu>

namespace {

QAction* AddCommand(QMenu* menu, int id, const QString& text, const ContentsMenuContext& context)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setEnabled(!context.available || context.available(id));
    return action;
}

} // namespace

QMenu* BuildSelectionMenu(const SelectionAnalysis& selection, const ContentsMenuContext& context,
                          QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("contentsMenu"));
    using namespace ListCommand;
    if (context.takeOutOnly) {
        AddCommand(menu, TakeOutAsIsOnly, QStringLiteral("このまま取り出す(&S)..."), context);
        return menu;
    }
    QAction* properties = nullptr;
    if (selection.plainFiles > 0) {
        const bool allPlain = selection.plainFiles == selection.rows;
        if (allPlain) {
            AddCommand(menu, TakeOutAsIs, QStringLiteral("このまま取り出す(&S)..."), context);
            if (selection.foreignContainers == 0) {
                AddCommand(menu, Encrypt, QStringLiteral("暗号化する(&U)"), context);
            }
            menu->addSeparator();
        }
        AddCommand(menu, Delete, QStringLiteral("削除(&D)"), context);
        properties = AddCommand(menu, Properties, QStringLiteral("プロパティ(&R)"), context);
    } else {
        const bool folder = selection.folderSelected;
        QAction* open = AddCommand(menu, folder ? OpenFolder : Open, QStringLiteral("開く(&O)"), context);
        menu->setDefaultAction(open);
        if (!folder) {
            QMenu* with = menu->addMenu(QStringLiteral("プログラムから開く"));
            with->setObjectName(QStringLiteral("openWith"));
            int id = OpenWithFirst;
            for (const QString& name : context.openWithNames) {
                if (!name.isEmpty() && id < OpenWithFirst + OpenWithCount) {
                    AddCommand(with, id++, name, context);
                }
            }
            if (with->isEmpty()) {
                with->addAction(QStringLiteral("なし"))->setEnabled(false);
            }
        }
        menu->addSeparator();
        AddCommand(menu, TakeOut, QStringLiteral("取り出す(&G)..."), context);
        if (!folder) {
            AddCommand(menu, Mail, QStringLiteral("メールに添付(&H)..."), context);
        }
        AddCommand(menu, TakeOutEncrypted, QStringLiteral("暗号化したまま取り出す(&S)..."), context);
        AddCommand(menu, TakeOutNewPassword, QStringLiteral("暗号化パスワードを変更して取り出す(&U)..."),
                   context);
        if (!folder) {
            AddCommand(menu, MailNewPassword, QStringLiteral("暗号化パスワードを変更してメールに添付(&V)..."),
                       context);
        }
        menu->addSeparator();
        AddCommand(menu, Cut, QStringLiteral("切り取り （inside） (&T)"), context);
        AddCommand(menu, Copy, QStringLiteral("コピー （inside） (&C)"), context);
        menu->addSeparator();
        AddCommand(menu, Delete, QStringLiteral("削除(&D)"), context);
        AddCommand(menu, Rename, QStringLiteral("名前の変更(&M)"), context);
        menu->addSeparator();
        properties = AddCommand(menu, Properties, QStringLiteral("プロパティ(&R)"), context);
    }
    if (context.selectedRows != 1) {
        properties->setEnabled(false);
    }
    return menu;
}

QMenu* BuildEmptySpaceMenu(const ContentsMenuContext& context, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("contentsMenu"));
    QAction* paste =
        AddCommand(menu, ListCommand::Paste,
                   context.pasteText.isEmpty() ? QStringLiteral("貼り付け(&P)") : context.pasteText, context);
    if (context.pasteText.isEmpty()) {
        paste->setEnabled(false);
    }
    menu->addSeparator();
    QMenu* create = menu->addMenu(QStringLiteral("新規作成(&W)"));
    AddCommand(create, ListCommand::NewFolder, QStringLiteral("フォルダー(&F)"), context);
    if (!context.newFiles.isEmpty()) {
        create->addSeparator();
    }
    for (int i = 0; i < context.newFiles.size() && i < ListCommand::NewFileCount; ++i) {
        QAction* entry =
            AddCommand(create, ListCommand::NewFileFirst + i, context.newFiles.at(i).text, context);
        entry->setIcon(context.newFiles.at(i).icon);
    }
    return menu;
}

QMenu* BuildRowDropMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("rowDropMenu"));
    menu->addAction(QStringLiteral("ここにコピー(&C)"))->setData(ListCommand::DropCopyHere);
    menu->addAction(QStringLiteral("ここに移動(&M)"))->setData(ListCommand::DropMoveHere);
    menu->addSeparator();
    menu->addAction(QStringLiteral("キャンセル"))->setData(0);
    return menu;
}

QMenu* BuildDropMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("dropMenu"));
    menu->addAction(QStringLiteral("暗号化してコピーする(&C)"))->setData(ListCommand::DropEncryptCopy);
    menu->addAction(QStringLiteral("暗号化して移動する(&M)"))->setData(ListCommand::DropEncryptMove);
    menu->addSeparator();
    menu->addAction(QStringLiteral("キャンセル"))->setData(0);
    return menu;
}
