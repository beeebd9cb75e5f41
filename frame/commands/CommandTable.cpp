#include "frame/commands/CommandTable.h"

namespace {

using namespace Command;

QList<CommandEntry> buildTable()
{
    // menu 0: ファイル, 1: 編集, 2: 表示, 3: 復号中ファイル, 4: ツール, 5: ヘルプ
    const QList<int> takeOutOnly = {Open,
                                    TakeOut,
                                    Mail,
                                    DecryptOnly,
                                    TakeOutEncrypted,
                                    TakeOutNewPassword,
                                    MailNewPassword,
                                    Delete,
                                    Rename,
                                    Properties,
                                    Cut,
                                    Copy,
                                    Paste,
                                    Undo};
    const QList<int> checkable = {IconView, DetailView, ToggleWatch, ToggleDragEncrypted};
    const QList<int> listOnly = {
        Open, TakeOut, Mail, DecryptOnly, TakeOutEncrypted, TakeOutNewPassword, MailNewPassword, Rename};
    const QList<int> needsSelection = {
        Open,   TakeOut,    Mail, DecryptOnly, TakeOutEncrypted, TakeOutNewPassword, MailNewPassword, Delete,
        Rename, Properties, Cut,  Copy};
    struct Row
    {
        int id;
        int menu;
        const char* text;
        bool general;
    };
    const Row rows[] = {
        {Login, 0, "ログイン(&I)...", true},
        {Logout, 0, "ログアウト(&E)...", true},
        {Separator, 0, "", false},
        {Register, 0, "暗号フォルダーの登録(&A)...", true},
        {Unregister, 0, "選択された暗号フォルダーを解除(&K)", true},
        {Separator, 0, "", false},
        {Open, 0, "開く(&O)", true},
        {TakeOut, 0, "取り出す(&G)...", true},
        {Mail, 0, "メールに添付(&H)...", true},
        {DecryptOnly, 0, "選択したファイルの復号のみを行う(&F)", true},
        {TakeOutEncrypted, 0, "暗号化したまま取り出す(&S)...", true},
        {TakeOutNewPassword, 0, "暗号化パスワードを変更して取り出す(&U)...", true},
        {MailNewPassword, 0, "暗号化パスワードを変更してメールに添付(&V)...", true},
        {Separator, 0, "", false},
        {Delete, 0, "削除(&D)", true},
        {Rename, 0, "名前の変更(&M)", true},
        {Properties, 0, "プロパティ(&R)", true},
        {Separator, 0, "", false},
        {Exit, 0, "アプリケーションの終了(&X)", false},
        {Undo, 1, "元に戻す(&U)\tCtrl+Z", true},
        {Separator, 1, "", false},
        {Cut, 1, "切り取り （inside） (&T)\tCtrl+X", true},
        {Copy, 1, "コピー （inside） (&C)\tCtrl+C", true},
        {Paste, 1, "貼り付け(&P)\tCtrl+V", true},
        {Separator, 1, "", false},
        {SelectAll, 1, "すべて選択(&A)\tCtrl+A", true},
        {UpFolder, 2, "上位フォルダーへ移動(&U)\tCtrl+U", true},
        {Separator, 2, "", false},
        {IconView, 2, "アイコン(&I)", true},
        {DetailView, 2, "詳細(&D)", true},
        {Separator, 2, "", false},
        {Refresh, 2, "最新の情報に更新(&R)", true},
        {ReflectSelected, 3, "選択した復号中のファイルを暗号化する(&S)", true},
        {ReflectAll, 3, "すべての復号中のファイルを暗号化する(&A)", true},
        {EraseSelected, 3, "選択した復号中のファイルを削除する(&D)", true},
        {Separator, 3, "", false},
        {ToggleWatch, 3, "開いたファイルの終了監視を行わない(&E)", true},
        {ToggleDragEncrypted, 3, "ドラッグ＆ドロップ操作で暗号化したまま取り出す(&F)", false},
        {Backup, 4, "バックアップ(&B)...", true},
        {ImportBackup, 4, "バックアップデータを取り込む(&R)...", true},
        {Separator, 4, "", false},
        {Settings, 4, "環境設定(&K)...", true},
        {AdminPassword, 4, "管理パスワード設定(&K)...", true},
        {ChangePasswords, 4, "変更用パスワードの登録(&H)...", true},
        {Separator, 4, "", false},
        {PlainFileCheck, 4, "非暗号ファイル存在チェック(&C)...", true},
        {ContainerCheck, 4, "暗号ファイルの検査(&E)...", true},
        {HintWindow, 4, "ヒント確認ウィンドウの表示(&H)...", true},
        {Help, 5, "ヘルプ(&H)", true},
        {HomePage, 5, "ホームページ(&W)", true},
        {Separator, 5, "", false},
        {About, 5, "バージョン情報(&A)...", true},
    };
    QList<CommandEntry> table;
    for (const Row& r : rows) {
        table.append({r.id, r.menu, QString::fromUtf8(r.text), r.general, takeOutOnly.contains(r.id),
                      checkable.contains(r.id), listOnly.contains(r.id), needsSelection.contains(r.id)});
    }
    return table;
}

} // namespace

QList<QString> TopLevelMenus()
{
    return {QStringLiteral("ファイル(&F)"),       QStringLiteral("編集(&E)"),   QStringLiteral("表示(&V)"),
            QStringLiteral("復号中ファイル(&D)"), QStringLiteral("ツール(&T)"), QStringLiteral("ヘルプ(&H)")};
}

const QList<CommandEntry>& MenuCommands()
{
    static const QList<CommandEntry> table = buildTable();
    return table;
}

const CommandEntry* FindCommand(int id)
{
    for (const CommandEntry& entry : MenuCommands()) {
        if (entry.id == id && id != Separator) {
            return &entry;
        }
    }
    return nullptr;
}

QList<int> ToolbarCommands()
{
    return {Login,     Logout,     Separator, ReflectAll, UpFolder,
            Separator, SwitchView, Stop,      Separator,  ToggleDragEncrypted};
}

QString ToolbarTip(int id)
{
    switch (id) {
    case Login:
        return QStringLiteral("ログイン");
    case Logout:
        return QStringLiteral("ログアウト");
    case ReflectAll:
        return QStringLiteral("すべての復号中のファイルを暗号化する");
    case UpFolder:
        return QStringLiteral("上位フォルダーへ移動");
    case SwitchView:
        return QStringLiteral("表示切り替え");
    case Stop:
        return QStringLiteral("処理の中止");
    case ToggleDragEncrypted:
        return QStringLiteral("ドラッグ＆ドロップ操作で暗号化したまま取り出す");
    default:
        return {};
    }
}
