#include "cli/PasswordInput.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/InterruptGuard.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t MaxLineBytes = 1024;

enum class LineResult
{
    Read,
    EndOfInput,
    TooLong,
    Failed,
};

// One line from standard input, a byte at a time so nothing after it is consumed.
LineResult readLine(QString* line)
{
    std::array<char, MaxLineBytes> buffer{};
    std::size_t length = 0;
    bool sawAnything = false;
    bool tooLong = false;
    bool failed = false;
    for (;;) {
        char byte = 0;
        const ssize_t count = read(STDIN_FILENO, &byte, 1);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            failed = true;
            break;
        }
        if (count == 0 || byte == '\n') {
            sawAnything = sawAnything || count > 0;
            break;
        }
        sawAnything = true;
        if (length == buffer.size()) {
            tooLong = true; // stop here: the line may never end
            break;
        }
        buffer[length++] = byte;
    }
    if (length > 0 && buffer[length - 1] == '\r') {
        --length;
    }
    LineResult result = LineResult::Read;
    if (failed) {
        result = LineResult::Failed;
    } else if (!sawAnything) {
        result = LineResult::EndOfInput;
    } else if (tooLong) {
        result = LineResult::TooLong;
    } else {
        *line = QString::fromUtf8(buffer.data(), static_cast<qsizetype>(length));
    }
    SecureWipe(buffer.data(), buffer.size());
    return result;
}

void writePrompt(const QString& prompt)
{
    const QByteArray bytes = prompt.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

// A line typed on the terminal with echo off; the terminal is put back on every path.
LineResult readHiddenLine(const QString& prompt, QString* line)
{
    writePrompt(prompt);
    termios saved{};
    const bool canHide = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden.c_lflag |= ECHONL;
        InterruptGuard::SetTerminalToRestore(&saved);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    const LineResult result = readLine(line);
    if (canHide) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        InterruptGuard::SetTerminalToRestore(nullptr);
    }
    if (result != LineResult::Read) {
        writePrompt(QStringLiteral("\n")); // end of input typed: the terminal echoed no line break
    }
    return result;
}

bool stdinIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

int reportLineResult(LineResult result)
{
    switch (result) {
    case LineResult::Read:
        return 0;
    case LineResult::EndOfInput:
        ReportError(
            Tr("no password given: standard input is empty", "パスワードがありません: 標準入力が空です"));
        break;
    case LineResult::TooLong:
        ReportError(
            Tr("the password line is longer than %1 bytes", "パスワードの行が %1 バイトを超えています")
                .arg(MaxLineBytes));
        break;
    case LineResult::Failed:
        ReportError(Tr("the password could not be read from standard input",
                       "標準入力からパスワードを読めませんでした"));
        break;
    }
    return Result::Failed;
}

} // namespace

int ReadPassword(const QString& prompt, QString* password)
{
    const LineResult result = stdinIsTerminal() ? readHiddenLine(prompt, password) : readLine(password);
    return reportLineResult(result);
}

int ReadNewPassword(const QString& prompt, QString* password)
{
    if (!stdinIsTerminal()) {
        return reportLineResult(readLine(password));
    }
    if (reportLineResult(readHiddenLine(prompt, password)) != 0) {
        return Result::Failed;
    }
    QString again;
    if (reportLineResult(readHiddenLine(Tr("Type it again: ", "もう一度入力してください: "), &again)) != 0) {
        SecureWipe(*password);
        return Result::Failed;
    }
    const bool same = again == *password;
    SecureWipe(again);
    if (!same) {
        SecureWipe(*password);
        ReportWarning(MsgA(514));
        return Result::Failed;
    }
    return 0;
}
