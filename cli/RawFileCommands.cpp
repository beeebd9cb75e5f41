#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/PasswordInput.h"
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
    if (ReadNewPassword(QStringLiteral("New password (empty for the built-in one): "), &password) != 0) {
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
    const int result =
        session.RunWriting(QStringLiteral("encrypting %1").arg(QFileInfo(plain).fileName()), target,
                           [&] { return session.crypt().RawEncryptFile(plain, slot, &written); });
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
    const bool intoFolder = QFileInfo(target).isDir();
    if (intoFolder) {
        const QString name = QFileInfo(enciphered).fileName();
        if (!name.endsWith(ContainerFormat::ToolExtension)) {
            ReportError(QStringLiteral("%1: the name does not end in %2; give the target file")
                            .arg(enciphered, ContainerFormat::ToolExtension));
            return ExitFailure;
        }
        if (OutputPathInFolder(target, name.chopped(ContainerFormat::ToolExtension.size()), &target) != 0) {
            return ExitFailure;
        }
    }
    if (SameFile(enciphered, target)) {
        ReportError(QStringLiteral("%1: the file cannot be decrypted onto itself").arg(enciphered));
        return ExitFailure;
    }
    if (RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    QString password;
    if (ReadPassword(QStringLiteral("Password (empty for the built-in one): "), &password) != 0) {
        return ExitFailure;
    }
    const QString slot = takeRawPassword(session, password);
    if (slot.isEmpty()) {
        return ExitFailure;
    }
    const int result =
        session.RunWriting(QStringLiteral("decrypting %1").arg(QFileInfo(enciphered).fileName()), target,
                           [&] { return session.crypt().RawDecryptFile(enciphered, target, slot); });
    if (result == 0 && intoFolder) {
        PrintLine(target);
    }
    return ExitStatusOf(result);
}

} // namespace

QList<CliCommand> RawFileCommands()
{
    const OptionSyntax force{ForceOption, QString(),
                             QStringLiteral("Replace an existing file at the target.")};
    return {
        {{QStringLiteral("raw-encrypt"),
          {QStringLiteral("FILE")},
          QStringLiteral("encrypt a file in the tool format (FILE.kbxf2)"),
          QStringLiteral("Encrypts FILE as one block chain, zero-filled to whole 16-byte blocks and\n"
                         "without header or compression, into FILE.kbxf2 (the path is printed).\n"
                         "An empty password uses the built-in passphrase; any other follows the\n"
                         "password rules of `kbx encrypt`."),
          {force}},
         runRawEncrypt},
        {{QStringLiteral("raw-decrypt"),
          {QStringLiteral("FILE.kbxf2"), QStringLiteral("TARGET")},
          QStringLiteral("decrypt a file of the tool format"),
          QStringLiteral("Decrypts FILE.kbxf2 into TARGET, or into the folder TARGET under the name\n"
                         "without \".kbxf2\". The length is not stored: the output keeps the zero fill\n"
                         "of its last block. An empty password uses the built-in passphrase. A wrong\n"
                         "password cannot be detected and gives meaningless bytes."),
          {force}},
         runRawDecrypt},
    };
}
