#include "cli/SharedTexts.h"

#include "cli/CliLanguage.h"

QString PasswordPrompt()
{
    return Tr("Password: ", "パスワード: ");
}

QString EncryptingLabel(const QString& name)
{
    return Tr("encrypting %1", "%1 を暗号化中").arg(name);
}

QString DecryptingLabel(const QString& name)
{
    return Tr("decrypting %1", "%1 を復号中").arg(name);
}

QString CheckingLabel(const QString& name)
{
    return Tr("checking %1", "%1 を確認中").arg(name);
}

QString ReplaceTargetHelp()
{
    return Tr("Replace an existing file at the target.", "出力先にあるファイルを置き換えます。");
}

QString NotAFolderText(const QString& path)
{
    return Tr("%1: not a folder", "%1: フォルダーではありません").arg(path);
}

QString FolderUnreadableText(const QString& path)
{
    return Tr("%1: the folder cannot be read", "%1: フォルダーを読めません").arg(path);
}

QString DecryptOntoItselfText(const QString& path)
{
    return Tr("%1: the file cannot be decrypted onto itself",
              "%1: ファイルをそれ自身の上に復号することはできません")
        .arg(path);
}
