#include "cli/CliCommand.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/InterruptGuard.h"
#include "cli/ProgressLine.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// kbx: the command-line tool over the engine, for scripts, tests and benchmarks.

namespace {

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QList<CliCommand> allCommands()
{
    return ContainerCommands() + RawFileCommands() +
           QList<CliCommand>{ListCommand(), CheckCommand(), ExtractCommand(), AddCommand()};
}

QString overview(const QList<CliCommand>& commands)
{
    QString text = Tr("Usage: kbx COMMAND [options] ARGUMENTS...\n"
                      "       kbx --help | --version\n\n"
                      "Encrypted files of Kurabox from the command line.\n\nCommands:\n",
                      "使い方: kbx COMMAND [options] ARGUMENTS...\n"
                      "        kbx --help | --version\n\n"
                      "Kurabox の暗号ファイルをコマンドラインで扱います。\n\nコマンド:\n");
    for (const CliCommand& command : commands) {
        text += QStringLiteral("  %1  %2\n").arg(command.syntax.name, -12).arg(command.syntax.summary);
    }
    text += Tr("\nPasswords are typed without echo on a terminal, or taken from the first line\n"
               "of standard input. Exit status: 0 done, 1 failed or refused, 2 usage error.\n"
               "`kbx COMMAND --help` describes each command.\n",
               "\nパスワードは端末では表示せずに入力するか、標準入力の最初の行から読みます。\n"
               "終了状態: 0 完了、1 失敗または拒否、2 使い方の誤り。\n"
               "各コマンドの説明は `kbx COMMAND --help` で表示します。\n");
    return text;
}

int usageError(const QString& context, const QString& problem, const QString& helpCommand)
{
    writeTo(stderr, Tr("%1: %2\nTry '%3 --help'.\n", "%1: %2\n'%3 --help' を参照してください。\n")
                        .arg(context, problem, helpCommand));
    return ExitUsage;
}

int runCommand(const CliCommand& command, const QStringList& arguments)
{
    ParsedCommand parsed;
    QString problem;
    const QString context = QStringLiteral("kbx ") + command.syntax.name;
    if (!ParseCommandLine(command.syntax, arguments, &parsed, &problem)) {
        return usageError(context, problem + Tr("\nUsage: ", "\n使い方: ") + SynopsisOf(command.syntax),
                          context);
    }
    if (parsed.help) {
        writeTo(stdout, HelpTextOf(command.syntax));
        return ExitSuccess;
    }
    ProgressLine progress(ProgressLine::StderrIsTerminal());
    CliMessageService messages(&progress);
    CliSession session(progress);
    if (session.Start() != 0) {
        return ExitFailure;
    }
    return command.run(parsed, session);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kbx"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KURABOX_VERSION));
    InterruptGuard::Install();

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QList<CliCommand> commands = allCommands();
    if (arguments.isEmpty()) {
        return usageError(QStringLiteral("kbx"), Tr("no command given", "コマンドがありません"),
                          QStringLiteral("kbx"));
    }
    const QString& first = arguments.first();
    if (first == QLatin1String("--version")) {
        writeTo(stdout, QStringLiteral("kbx %1\n").arg(QStringLiteral(KURABOX_VERSION)));
        return ExitSuccess;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        writeTo(stdout, overview(commands));
        return ExitSuccess;
    }
    for (const CliCommand& command : commands) {
        if (command.syntax.name == first) {
            return runCommand(command, arguments.mid(1));
        }
    }
    return usageError(QStringLiteral("kbx"), Tr("unknown command '%1'", "不明なコマンド '%1'").arg(first),
                      QStringLiteral("kbx"));
}
