#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FolderOptions.h"
#include "cli/PasswordInput.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerFormat.h"
#include "engine/FormatConstants.h"
#include "util/PasswordRules.h"
#include "util/SecureWipe.h"

#include <QFileInfo>

namespace {

const QString ForceOption = QStringLiteral("force");

// An empty password stands for the built-in passphrase of the tool format.
QString takeRawPassword(CliSession& session, QString& password)
{
    if (password.isEmpty()) {
        password = QString::fromUtf16(FormatConstants::kBuiltInPassphrase);
    }
    return session.TakePassword(password);
}

int runRawEncrypt(const ParsedCommand& command, CliSession& session)
{
    // The check of the target below is only for an early message; the output itself never
    // replaces a file that appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption));
    const QString plain = AbsolutePath(command.operands.at(0));
    const QString target = plain + ContainerFormat::ToolExtension;
    if (RequireInputFile(plain) != 0 || RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    QString password;
    if (ReadNewPassword(Tr("New password (empty for the built-in one): ",
                           "新しいパスワード（空なら組み込みのパスフレーズ）: "),
                        &password) != 0) {
        return ExitFailure;
    }
    if (!password.isEmpty() && PasswordRules::CheckNewPassword(password) != 0) {
        SecureWipe(password);
        return ExitFailure;
    }
    const QString slot = takeRawPassword(session, password);
    if (slot.isEmpty()) {
        return ExitFailure;
    }
    QString written;
    const int result = session.RunWriting(EncryptingLabel(QFileInfo(plain).fileName()), target, [&] {
        return session.crypt().RawEncryptFile(plain, slot, &written);
    });
    if (result == 0) {
        PrintLine(written.isEmpty() ? target : written);
    }
    return ExitStatusOf(result);
}

int runRawDecrypt(const ParsedCommand& command, CliSession& session)
{
    // The check of the target below is only for an early message; the output itself never
    // replaces a file that appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption));
    const QString enciphered = AbsolutePath(command.operands.at(0));
    QString target = AbsolutePath(command.operands.at(1));
    if (RequireInputFile(enciphered) != 0) {
        return ExitFailure;
    }
    if (RequireFolderWhenMarked(command.operands.at(1)) != 0) {
        return ExitFailure;
    }
    const bool intoFolder = QFileInfo(target).isDir();
    if (intoFolder) {
        const QString name = QFileInfo(enciphered).fileName();
        if (!name.endsWith(ContainerFormat::ToolExtension)) {
            ReportError(Tr("%1: the name does not end in %2; give the target file",
                           "%1: 名前が %2 で終わっていません。出力先のファイルを指定してください")
                            .arg(enciphered, ContainerFormat::ToolExtension));
            return ExitFailure;
        }
        if (OutputPathInFolder(target, name.chopped(ContainerFormat::ToolExtension.size()), &target) != 0) {
            return ExitFailure;
        }
    }
    if (SameFile(enciphered, target)) {
        ReportError(DecryptOntoItselfText(enciphered));
        return ExitFailure;
    }
    if (RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    QString password;
    if (ReadPassword(
            Tr("Password (empty for the built-in one): ", "パスワード（空なら組み込みのパスフレーズ）: "),
            &password) != 0) {
        return ExitFailure;
    }
    const QString slot = takeRawPassword(session, password);
    if (slot.isEmpty()) {
        return ExitFailure;
    }
    const int result = session.RunWriting(DecryptingLabel(QFileInfo(enciphered).fileName()), target, [&] {
        return session.crypt().RawDecryptFile(enciphered, target, slot);
    });
    if (result == 0 && intoFolder) {
        PrintLine(target);
    }
    return ExitStatusOf(result);
}

} // namespace

QList<CliCommand> RawFileCommands()
{
    const OptionSyntax force{ForceOption, QString(), ReplaceTargetHelp()};
    return {
        {{QStringLiteral("raw-encrypt"),
          {QStringLiteral("FILE")},
          Tr("encrypt a file in the tool format (FILE.kbxf2)",
             "ファイルをツール形式（FILE.kbxf2）で暗号化する"),
          Tr("Encrypts FILE as one block chain, zero-filled to whole 16-byte blocks and\n"
             "without header or compression, into FILE.kbxf2 (the path is printed).\n"
             "An empty password uses the built-in passphrase; any other follows the\n"
             "password rules of `kbx encrypt`.",
             "FILE を一つのブロック連鎖として、16 バイト単位までゼロで埋め、ヘッダーも圧縮も\n"
             "なしで FILE.kbxf2 に暗号化します（そのパスを表示します）。空のパスワードでは\n"
             "組み込みのパスフレーズを使います。それ以外は `kbx encrypt` のパスワードの決まりに\n"
             "従います。"),
          {force}},
         runRawEncrypt},
        {{QStringLiteral("raw-decrypt"),
          {QStringLiteral("FILE.kbxf2"), QStringLiteral("TARGET")},
          Tr("decrypt a file of the tool format", "ツール形式のファイルを復号する"),
          Tr("Decrypts FILE.kbxf2 into TARGET, or into the folder TARGET under the name\n"
             "without \".kbxf2\". The length is not stored: the output keeps the zero fill\n"
             "of its last block. An empty password uses the built-in passphrase. A wrong\n"
             "password cannot be detected and gives meaningless bytes.",
             "FILE.kbxf2 を復号して TARGET に書き込みます。TARGET がフォルダーなら、その中に\n"
             "\".kbxf2\" を除いた名前で書き込みます。長さは記録されないため、出力の最後の\n"
             "ブロックにはゼロの埋め草が残ります。空のパスワードでは組み込みのパスフレーズを\n"
             "使います。パスワードの誤りは検出できず、意味のないバイト列になります。"),
          {force}},
         runRawDecrypt},
    };
}
