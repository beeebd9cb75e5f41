#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/CommandKeys.h"
#include "cli/ExitStatus.h"
#include "cli/FolderOptions.h"
#include "cli/PasswordInput.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerFormat.h"
#include "util/PasswordRules.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFileInfo>

namespace {

const QString ForceOption = QStringLiteral("force");
const QString HintOption = QStringLiteral("hint");
const QString KeyOption = QStringLiteral("key");

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// An existing file at the container path is replaced only when it is an encrypted file
// (under any key); anything else needs --force.
int refuseReplacingOtherFile(CliSession& session, const QString& container, const QString& slot)
{
    if (!QFileInfo::exists(container)) {
        return 0;
    }
    ContainerInfo info;
    int status = ContainerReadable;
    QString text;
    if (session.crypt().GetContainerStatus(container, slot, &info, true, &status, &text) != 0) {
        return Result::Failed;
    }
    if (status == NotAContainer) {
        ReportError(
            Tr("%1: the file exists and is not an encrypted file; give --force to replace it",
               "%1: 暗号ファイルではないファイルがあります。置き換えるには --force を指定してください")
                .arg(container));
        return Result::Failed;
    }
    return 0;
}

int runEncrypt(const ParsedCommand& command, CliSession& session)
{
    const QString source = AbsolutePath(command.operands.at(0));
    const QString container = AbsolutePath(command.operands.at(1));
    const QString hint = command.value(HintOption);
    if (PasswordRules::CheckHintLength(hint) != 0 || RequireInputFile(source) != 0 ||
        RequireFolderWhenMarked(command.operands.at(1)) != 0) {
        return ExitFailure;
    }
    // Only a folder is refused here; what replaces an existing file is decided once the key is known.
    if (RequireFreeOutput(container, true) != 0) {
        return ExitFailure;
    }
    if (SameFile(source, container)) {
        ReportError(Tr("%1: the file cannot be encrypted onto itself",
                       "%1: ファイルをそれ自身の上に暗号化することはできません")
                        .arg(source));
        return ExitFailure;
    }
    QString password;
    if (ReadNewPassword(Tr("New password: ", "新しいパスワード: "), &password) != 0) {
        return ExitFailure;
    }
    if (PasswordRules::CheckNewPassword(password) != 0 ||
        PasswordRules::CheckHintDiffers(hint, password) != 0) {
        SecureWipe(password);
        return ExitFailure;
    }
    const QString slot = session.TakePassword(password, hint);
    if (slot.isEmpty()) {
        return ExitFailure;
    }
    if (!command.hasFlag(ForceOption) && refuseReplacingOtherFile(session, container, slot) != 0) {
        return ExitFailure;
    }
    return ExitStatusOf(session.RunWriting(
        EncryptingLabel(fileNameOf(source)), container,
        [&] { return session.crypt().EncryptIntoFolder(source, container, slot); },
        CheckingLabel(fileNameOf(container))));
}

int runDecrypt(const ParsedCommand& command, CliSession& session)
{
    // The check of the target below is only for an early message; the output itself never
    // replaces a file that appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption));
    const QString container = AbsolutePath(command.operands.at(0));
    QString target = AbsolutePath(command.operands.at(1));
    if (RequireInputFile(container) != 0 || RequireFolderWhenMarked(command.operands.at(1)) != 0) {
        return ExitFailure;
    }
    QString slot;
    if (ReadKey(session, PasswordPrompt(), &slot) != 0) {
        return ExitFailure;
    }
    const bool intoFolder = QFileInfo(target).isDir();
    if (intoFolder) {
        ContainerInfo info;
        if (RequireReadableContainer(session, container, slot, &info) != 0 ||
            OutputPathInFolder(target, info.plainName, &target) != 0) {
            return ExitFailure;
        }
    }
    if (SameFile(container, target)) {
        ReportError(DecryptOntoItselfText(container));
        return ExitFailure;
    }
    if (RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    const int result = session.RunWriting(DecryptingLabel(fileNameOf(container)), target, [&] {
        return session.crypt().DecryptToFile(container, target, slot);
    });
    if (result == 0 && intoFolder) {
        PrintLine(target);
    }
    return ExitStatusOf(result);
}

// The status field of `kbx info`: data for scripts, English in every locale.
QString statusWord(int status, bool withKey)
{
    switch (status) {
    case ContainerReadable:
        return withKey ? QStringLiteral("readable") : QStringLiteral("encrypted file");
    case NotAContainer:
        return QStringLiteral("not an encrypted file");
    case NewerFormat:
        return QStringLiteral("newer format");
    case OtherKey:
        return withKey ? QStringLiteral("other password") : QStringLiteral("encrypted file");
    }
    return QString::number(status);
}

// What the header shows to anyone: the program's own key opens it, no password is needed.
int showOpenHeader(CliSession& session, const QString& container)
{
    ContainerInfo info;
    int status = ContainerReadable;
    QString text;
    if (session.crypt().GetContainerStatus(container, CryptEngine::IntrinsicSlotName, &info, true, &status,
                                           &text) != 0) {
        return ExitFailure;
    }
    PrintField(QStringLiteral("status"), statusWord(status, false));
    if (status == NotAContainer || status == NewerFormat) {
        ReportError(text);
        return ExitFailure;
    }
    ContainerFormat::Header header;
    ContainerFormat::ParseHeaderImage(info.header, &header);
    PrintField(QStringLiteral("format"), header.version);
    PrintField(QStringLiteral("hint"), ShownHint(info.hint));
    PrintField(QStringLiteral("size"), QString::number(info.plainSize));
    PrintField(QStringLiteral("name-block"), QString::number(info.nameBlockLength));
    PrintField(QStringLiteral("fill"), QString::number(info.fillCount));
    return ExitSuccess;
}

// What the password opens besides: the original name and both times.
int showKeyedHeader(CliSession& session, const QString& container)
{
    QString slot;
    if (ReadKey(session, PasswordPrompt(), &slot) != 0) {
        return ExitFailure;
    }
    ContainerInfo info;
    int status = ContainerReadable;
    QString text;
    if (session.crypt().GetContainerStatus(container, slot, &info, true, &status, &text) != 0) {
        return ExitFailure;
    }
    PrintField(QStringLiteral("status"), statusWord(status, true));
    if (status == ContainerReadable) {
        PrintField(QStringLiteral("name"), info.plainName);
        PrintField(QStringLiteral("size"), QString::number(info.plainSize));
        PrintField(QStringLiteral("encrypted"), info.encryptedAt);
        PrintField(QStringLiteral("modified"), info.modifiedAt);
        PrintField(QStringLiteral("hint"), ShownHint(info.hint));
        return ExitSuccess;
    }
    if (status == OtherKey) {
        PrintField(QStringLiteral("hint"), ShownHint(info.hint));
    }
    ShowMessage(text, status == OtherKey ? MessageStyle::warning() : MessageStyle::error());
    return ExitFailure;
}

int runInfo(const ParsedCommand& command, CliSession& session)
{
    const QString container = AbsolutePath(command.operands.at(0));
    if (RequireInputFile(container) != 0) {
        return ExitFailure;
    }
    return command.hasFlag(KeyOption) ? showKeyedHeader(session, container)
                                      : showOpenHeader(session, container);
}

int runSetHint(const ParsedCommand& command, CliSession& session)
{
    const QString container = AbsolutePath(command.operands.at(0));
    const QString hint = command.operands.at(1);
    if (RequireInputFile(container) != 0 || PasswordRules::CheckHintLength(hint) != 0) {
        return ExitFailure;
    }
    return ExitStatusOf(
        session.RunWriting(Tr("changing the hint of %1", "%1 のヒントを変更中").arg(fileNameOf(container)),
                           container, [&] { return session.crypt().UpdateContainerHint(container, hint); }));
}

int runRename(const ParsedCommand& command, CliSession& session)
{
    const QString source = AbsolutePath(command.operands.at(0));
    const QString target = AbsolutePath(command.operands.at(1));
    const QString newName = command.operands.at(2);
    if (!IsSingleFileName(newName)) {
        ReportError(Tr("'%1' is not a file name", "'%1' はファイル名ではありません").arg(newName));
        return ExitFailure;
    }
    if (RequireInputFile(source) != 0) {
        return ExitFailure;
    }
    // Renaming in place is safe: the engine writes the copy beside the target and puts it in
    // place only when it is complete.
    if (!SameFile(source, target) && RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    QString slot;
    if (ReadKey(session, PasswordPrompt(), &slot) != 0) {
        return ExitFailure;
    }
    // The check above is only for an early message; the copy never replaces a file that
    // appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption) || SameFile(source, target));
    return ExitStatusOf(
        session.RunWriting(Tr("renaming %1", "%1 の名前を変更中").arg(fileNameOf(source)), target, [&] {
            return session.crypt().RenameContainer(source, target, newName, slot, true);
        }));
}

} // namespace

QList<CliCommand> ContainerCommands()
{
    const OptionSyntax force{ForceOption, QString(), ReplaceTargetHelp()};
    return {
        {{QStringLiteral("encrypt"),
          {QStringLiteral("SOURCE"), QStringLiteral("CONTAINER")},
          Tr("encrypt a file into an encrypted file", "ファイルを暗号化して暗号ファイルにする"),
          Tr("Encrypts SOURCE into the encrypted file CONTAINER under a new password.\n"
             "An encrypted file already at CONTAINER is replaced once the new one is\n"
             "written and checked; any other file there needs --force.\n"
             "The new password has 8 to 32 characters: digits, ASCII letters and the\n"
             "symbols !#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\" and the half-width marks U+FF61 to\n"
             "U+FF65. It is typed twice on a terminal, or taken from the first line of\n"
             "standard input.",
             "SOURCE を新しいパスワードで暗号化し、暗号ファイル CONTAINER に書き込みます。\n"
             "CONTAINER に暗号ファイルが既にあれば、新しいファイルを書き込んで確認してから\n"
             "置き換えます。それ以外のファイルがあるときは --force が必要です。\n"
             "新しいパスワードは 8～32 文字で、数字、ASCII の英字、記号\n"
             "!#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\" と半角の U+FF61～U+FF65 が使えます。\n"
             "端末では二度入力し、それ以外では標準入力の最初の行から読みます。"),
          {{HintOption, QStringLiteral("TEXT"),
            Tr("Password hint stored in the header (at most 48 characters).",
               "ヘッダーに記録するパスワードのヒント（48 文字まで）。")},
           {ForceOption, QString(),
            Tr("Replace CONTAINER also when it is not an encrypted file.",
               "CONTAINER が暗号ファイルでなくても置き換えます。")}}},
         runEncrypt},
        {{QStringLiteral("decrypt"),
          {QStringLiteral("CONTAINER"), QStringLiteral("TARGET")},
          Tr("decrypt an encrypted file", "暗号ファイルを復号する"),
          Tr("Decrypts CONTAINER into the file TARGET, or, when TARGET is a folder, into\n"
             "that folder under the original file name (the path written is printed).\n"
             "An existing file is never replaced without --force. The password is read\n"
             "from the terminal or from the first line of standard input.",
             "CONTAINER を復号してファイル TARGET に書き込みます。TARGET がフォルダーなら、\n"
             "その中に元のファイル名で書き込みます（書き込んだパスを表示します）。\n"
             "既にあるファイルは --force なしでは置き換えません。パスワードは端末か、\n"
             "標準入力の最初の行から読みます。"),
          {force}},
         runDecrypt},
        {{QStringLiteral("info"),
          {QStringLiteral("CONTAINER")},
          Tr("show the header of an encrypted file", "暗号ファイルのヘッダーを表示する"),
          Tr("Shows what the header of CONTAINER tells without a password: status,\n"
             "format, hint, size, name block length and fill count. With --key the\n"
             "password is read and the status under it, the original name, the size and\n"
             "both times are shown. Exits with 1 when the file is not readable that way.",
             "CONTAINER のヘッダーからパスワードなしで分かること（状態、形式、ヒント、サイズ、\n"
             "名前ブロックの長さ、埋め草の数）を表示します。--key ではパスワードを読み、\n"
             "そのパスワードでの状態、元の名前、サイズ、二つの日時を表示します。\n"
             "そのように読めないファイルでは 1 で終了します。項目名と状態の値は、スクリプト\n"
             "向けに英語のまま表示します。"),
          {{KeyOption, QString(),
            Tr("Read the password and show what it opens.",
               "パスワードを読み、それで分かることを表示します。")}}},
         runInfo},
        {{QStringLiteral("set-hint"),
          {QStringLiteral("CONTAINER"), QStringLiteral("HINT")},
          Tr("change the password hint of an encrypted file", "暗号ファイルのパスワードのヒントを変更する"),
          Tr("Stores HINT (at most 48 characters, may be empty) as the password hint of\n"
             "CONTAINER. No password is needed.",
             "HINT（48 文字まで、空でも可）を CONTAINER のパスワードのヒントとして記録します。\n"
             "パスワードは要りません。"),
          {}},
         runSetHint},
        {{QStringLiteral("rename"),
          {QStringLiteral("CONTAINER"), QStringLiteral("TARGET"), QStringLiteral("NEWNAME")},
          Tr("write a copy of an encrypted file with a new original name",
             "元の名前を変えた暗号ファイルの複製を書き込む"),
          Tr("Writes a copy of CONTAINER at TARGET whose original file name is NEWNAME.\n"
             "CONTAINER is left as it is, unless TARGET is CONTAINER itself: then it is\n"
             "replaced once the copy is complete. The password must open CONTAINER.",
             "元のファイル名を NEWNAME にした CONTAINER の複製を TARGET に書き込みます。\n"
             "CONTAINER はそのまま残ります。ただし TARGET が CONTAINER 自身なら、複製が\n"
             "できあがってから置き換えます。パスワードは CONTAINER を開けるものが必要です。"),
          {force}},
         runRename},
    };
}
