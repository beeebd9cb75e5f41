#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/CommandKeys.h"
#include "cli/ExitStatus.h"
#include "cli/PasswordInput.h"
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
        ReportError(QStringLiteral("%1: the file exists and is not an encrypted file; give --force to "
                                   "replace it")
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
    if (PasswordRules::CheckHintLength(hint) != 0 || RequireInputFile(source) != 0) {
        return ExitFailure;
    }
    if (QFileInfo(container).isDir()) {
        ReportError(QStringLiteral("%1: is a folder").arg(container));
        return ExitFailure;
    }
    if (SameFile(source, container)) {
        ReportError(QStringLiteral("%1: the file cannot be encrypted onto itself").arg(source));
        return ExitFailure;
    }
    QString password;
    if (ReadNewPassword(QStringLiteral("New password: "), &password) != 0) {
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
        QStringLiteral("encrypting %1").arg(fileNameOf(source)), container,
        [&] { return session.crypt().EncryptIntoFolder(source, container, slot); },
        QStringLiteral("checking %1").arg(fileNameOf(container))));
}

int runDecrypt(const ParsedCommand& command, CliSession& session)
{
    // The check of the target below is only for an early message; the output itself never
    // replaces a file that appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption));
    const QString container = AbsolutePath(command.operands.at(0));
    QString target = AbsolutePath(command.operands.at(1));
    if (RequireInputFile(container) != 0) {
        return ExitFailure;
    }
    QString slot;
    if (ReadKey(session, QStringLiteral("Password: "), &slot) != 0) {
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
        ReportError(QStringLiteral("%1: the file cannot be decrypted onto itself").arg(container));
        return ExitFailure;
    }
    if (RequireFreeOutput(target, command.hasFlag(ForceOption)) != 0) {
        return ExitFailure;
    }
    const int result =
        session.RunWriting(QStringLiteral("decrypting %1").arg(fileNameOf(container)), target,
                           [&] { return session.crypt().DecryptToFile(container, target, slot); });
    if (result == 0 && intoFolder) {
        PrintLine(target);
    }
    return ExitStatusOf(result);
}

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
    if (ReadKey(session, QStringLiteral("Password: "), &slot) != 0) {
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
        session.RunWriting(QStringLiteral("changing the hint of %1").arg(fileNameOf(container)), container,
                           [&] { return session.crypt().UpdateContainerHint(container, hint); }));
}

int runRename(const ParsedCommand& command, CliSession& session)
{
    const QString source = AbsolutePath(command.operands.at(0));
    const QString target = AbsolutePath(command.operands.at(1));
    const QString newName = command.operands.at(2);
    if (!IsSingleFileName(newName)) {
        ReportError(QStringLiteral("'%1' is not a file name").arg(newName));
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
    if (ReadKey(session, QStringLiteral("Password: "), &slot) != 0) {
        return ExitFailure;
    }
    // The check above is only for an early message; the copy never replaces a file that
    // appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(command.hasFlag(ForceOption) || SameFile(source, target));
    return ExitStatusOf(
        session.RunWriting(QStringLiteral("renaming %1").arg(fileNameOf(source)), target, [&] {
            return session.crypt().RenameContainer(source, target, newName, slot, true);
        }));
}

} // namespace

QList<CliCommand> ContainerCommands()
{
    const OptionSyntax force{ForceOption, QString(),
                             QStringLiteral("Replace an existing file at the target.")};
    return {
        {{QStringLiteral("encrypt"),
          {QStringLiteral("SOURCE"), QStringLiteral("CONTAINER")},
          QStringLiteral("encrypt a file into an encrypted file"),
          QStringLiteral("Encrypts SOURCE into the encrypted file CONTAINER under a new password.\n"
                         "An encrypted file already at CONTAINER is replaced once the new one is\n"
                         "written and checked; any other file there needs --force.\n"
                         "The new password has 8 to 32 characters: digits, ASCII letters and the\n"
                         "symbols !#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\" and the half-width marks U+FF61 to\n"
                         "U+FF65. It is typed twice on a terminal, or taken from the first line of\n"
                         "standard input."),
          {{HintOption, QStringLiteral("TEXT"),
            QStringLiteral("Password hint stored in the header (at most 48 characters).")},
           {ForceOption, QString(),
            QStringLiteral("Replace CONTAINER also when it is not an encrypted file.")}}},
         runEncrypt},
        {{QStringLiteral("decrypt"),
          {QStringLiteral("CONTAINER"), QStringLiteral("TARGET")},
          QStringLiteral("decrypt an encrypted file"),
          QStringLiteral("Decrypts CONTAINER into the file TARGET, or, when TARGET is a folder, into\n"
                         "that folder under the original file name (the path written is printed).\n"
                         "An existing file is never replaced without --force. The password is read\n"
                         "from the terminal or from the first line of standard input."),
          {force}},
         runDecrypt},
        {{QStringLiteral("info"),
          {QStringLiteral("CONTAINER")},
          QStringLiteral("show the header of an encrypted file"),
          QStringLiteral("Shows what the header of CONTAINER tells without a password: status,\n"
                         "format, hint, size, name block length and fill count. With --key the\n"
                         "password is read and the status under it, the original name, the size and\n"
                         "both times are shown. Exits with 1 when the file is not readable that way."),
          {{KeyOption, QString(), QStringLiteral("Read the password and show what it opens.")}}},
         runInfo},
        {{QStringLiteral("set-hint"),
          {QStringLiteral("CONTAINER"), QStringLiteral("HINT")},
          QStringLiteral("change the password hint of an encrypted file"),
          QStringLiteral("Stores HINT (at most 48 characters, may be empty) as the password hint of\n"
                         "CONTAINER. No password is needed."),
          {}},
         runSetHint},
        {{QStringLiteral("rename"),
          {QStringLiteral("CONTAINER"), QStringLiteral("TARGET"), QStringLiteral("NEWNAME")},
          QStringLiteral("write a copy of an encrypted file with a new original name"),
          QStringLiteral("Writes a copy of CONTAINER at TARGET whose original file name is NEWNAME.\n"
                         "CONTAINER is left as it is, unless TARGET is CONTAINER itself: then it is\n"
                         "replaced once the copy is complete. The password must open CONTAINER."),
          {force}},
         runRename},
    };
}
