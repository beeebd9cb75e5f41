// kbx check: whether every file of an encrypted folder can still be decrypted.

#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FolderEntries.h"
#include "cli/FolderOptions.h"
#include "cli/InterruptGuard.h"
#include "cli/PasswordInput.h"
#include "cli/ProgressLine.h"
#include "cli/SharedTexts.h"
#include "operations/check/FolderCheckRun.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString JobsOption = QStringLiteral("jobs");

// The stable keyword of a finding, for --json and for scripts.
QString keywordOf(CheckFinding::Kind kind)
{
    switch (kind) {
    case CheckFinding::Damaged:
        return QStringLiteral("damaged");
    case CheckFinding::OtherPassword:
        return KindKeyword(ClassifiedEntry::OtherPassword);
    case CheckFinding::NewerFormat:
        return KindKeyword(ClassifiedEntry::NewerFormat);
    case CheckFinding::Unreadable:
    case CheckFinding::NameNotText:
        return KindKeyword(ClassifiedEntry::Unreadable);
    case CheckFinding::Plain:
        return KindKeyword(ClassifiedEntry::Plain);
    case CheckFinding::Duplicate:
        return QStringLiteral("duplicate");
    case CheckFinding::UnusableName:
        return QStringLiteral("unusable-name");
    case CheckFinding::Partial:
        return KindKeyword(ClassifiedEntry::Partial);
    case CheckFinding::NotAFile:
        return QStringLiteral("not-a-file");
    }
    return QString();
}

// The finding in the tool's language, for people.
QString wordOf(CheckFinding::Kind kind)
{
    switch (kind) {
    case CheckFinding::Damaged:
        return Tr("damaged", "破損");
    case CheckFinding::OtherPassword:
        return KindWord(ClassifiedEntry::OtherPassword);
    case CheckFinding::NewerFormat:
        return KindWord(ClassifiedEntry::NewerFormat);
    case CheckFinding::Unreadable:
    case CheckFinding::NameNotText:
        return KindWord(ClassifiedEntry::Unreadable);
    case CheckFinding::Plain:
        return KindWord(ClassifiedEntry::Plain);
    case CheckFinding::Duplicate:
        return Tr("duplicate name", "名前の重複");
    case CheckFinding::UnusableName:
        return Tr("unusable stored name", "使えない記録名");
    case CheckFinding::Partial:
        return KindWord(ClassifiedEntry::Partial);
    case CheckFinding::NotAFile:
        return Tr("not a file", "ファイルではない");
    }
    return QString();
}

// The path relative to the folder checked; a file that opens with the key with its original
// name beside.
QString shownPath(const QString& top, const CheckFinding& finding)
{
    const QString relative = RelativeTo(top, finding.path);
    if (finding.kind == CheckFinding::Damaged || finding.kind == CheckFinding::UnusableName) {
        return relative + QStringLiteral(" (") + finding.originalName + QLatin1Char(')');
    }
    return relative;
}

// What the line or the JSON object says beside the path.
QString detailOf(const CheckFinding& finding)
{
    switch (finding.kind) {
    case CheckFinding::UnusableName:
        return Tr("the stored original name is no single file name",
                  "記録されている元の名前はファイル名として使えません");
    case CheckFinding::Damaged:
    case CheckFinding::Unreadable:
        return finding.detail.isEmpty() ? Tr("the header or the name block cannot be read",
                                             "ヘッダーまたは名前ブロックを読めません")
                                        : finding.detail;
    case CheckFinding::NameNotText:
        return NameNotTextReason();
    case CheckFinding::Partial:
        return Tr("left by a write that did not finish", "書き込みが終わらずに残ったファイルです");
    case CheckFinding::NotAFile:
        return Tr("named as an encrypted file but no file (a dangling link, a pipe, a device)",
                  "暗号ファイルの名前ですがファイルではありません（リンク切れ、パイプ、デバイスなど）");
    default:
        return finding.detail;
    }
}

QString mebibytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString summaryLine(const CheckSummary& s)
{
    return Tr("%1 encrypted files checked (%2 MiB): %3 whole, %4 damaged, %5 of another password or format, "
              "%6 unreadable, %7 plain files, %8 duplicate names, %9 unusable names, %10 partial files, "
              "%11 not files",
              "暗号ファイル %1 個を確認（%2 MiB）: 正常 %3、破損 %4、別のパスワードまたは形式 %5、"
              "読めない %6、平文ファイル %7、名前の重複 %8、使えない記録名 %9、書きかけ "
              "%10、ファイルではない %11")
        .arg(s.checked)
        .arg(mebibytes(s.bytes))
        .arg(s.whole)
        .arg(s.damaged)
        .arg(s.foreign)
        .arg(s.unreadable)
        .arg(s.plain)
        .arg(s.duplicates)
        .arg(s.unusableNames)
        .arg(s.partial)
        .arg(s.notFiles);
}

QJsonObject summaryJson(const CheckSummary& s)
{
    return {{QStringLiteral("files"), s.files},           {QStringLiteral("checked"), s.checked},
            {QStringLiteral("bytes"), s.bytes},           {QStringLiteral("whole"), s.whole},
            {QStringLiteral("damaged"), s.damaged},       {QStringLiteral("foreign"), s.foreign},
            {QStringLiteral("unreadable"), s.unreadable}, {QStringLiteral("plain"), s.plain},
            {QStringLiteral("duplicates"), s.duplicates}, {QStringLiteral("unusableNames"), s.unusableNames},
            {QStringLiteral("partial"), s.partial},       {QStringLiteral("notFiles"), s.notFiles},
            {QStringLiteral("complete"), s.complete}};
}

int jobsOf(const ParsedCommand& command, int* jobs)
{
    *jobs = AvailableCores();
    if (!command.values.contains(JobsOption)) {
        return 0;
    }
    bool ok = false;
    const int value = command.value(JobsOption).toInt(&ok);
    if (!ok || value < 1 || value > 256) {
        ReportError(Tr("--jobs takes a number from 1 to 256", "--jobs には 1 から 256 までの数を指定します"));
        return -1;
    }
    *jobs = value;
    return 0;
}

int runCheck(const ParsedCommand& command, CliSession& session)
{
    const QString top = AbsolutePath(command.operands.at(0));
    int jobs = 1;
    if (jobsOf(command, &jobs) != 0) {
        return ExitUsage;
    }
    if (RequireFolder(top) != 0) {
        return ExitFailure;
    }
    QString password;
    if (ReadPassword(PasswordPrompt(), &password) != 0) {
        return ExitFailure;
    }
    const QString slot = session.TakePassword(password);
    if (slot.isEmpty()) {
        return ExitFailure;
    }
    FolderCheckRun check(top, command.hasFlag(RecursiveOption),
                         CryptEngine::instance().slot(CryptEngine::TemporarySlot), jobs);

    // From here an interrupt ends the check between files, with what it found so far.
    InterruptGuard::DeferStops(true);
    ProgressLine progress(ProgressLine::StderrIsTerminal());
    bool begun = false;
    const int rc = check.Run(
        [] { return InterruptGuard::StopRequested(); },
        [&] {
            if (!begun) {
                progress.begin(Tr("checking %1 files", "%1 個のファイルを確認中").arg(check.filesTotal()));
                begun = true;
            }
            progress.progress(check.bytesDone(), check.bytesTotal());
        });
    progress.finish();
    if (rc != 0) {
        if (!check.unlistableFolder().isEmpty()) {
            ReportError(FolderUnreadableText(check.unlistableFolder()));
        } else {
            ReportError(Tr("the keys for the check could not be set up", "確認用の鍵を用意できません") +
                        QLatin1Char('\n') + check.setUpFault());
        }
        return ExitFailure;
    }

    const CheckSummary& summary = check.summary();
    if (command.hasFlag(JsonOption)) {
        QJsonArray array;
        for (const CheckFinding& finding : check.findings()) {
            QJsonObject object{{QStringLiteral("status"), keywordOf(finding.kind)},
                               {QStringLiteral("path"), shownPath(top, finding)}};
            const QString detail = detailOf(finding);
            if (!detail.isEmpty()) {
                object.insert(QStringLiteral("detail"), detail);
            }
            array.append(object);
        }
        PrintJson({{QStringLiteral("folder"), top},
                   {QStringLiteral("problems"), array},
                   {QStringLiteral("summary"), summaryJson(summary)}});
    } else {
        for (const CheckFinding& finding : check.findings()) {
            QString line = wordOf(finding.kind) + QStringLiteral(": ") + shownPath(top, finding);
            const QString detail = detailOf(finding);
            if (!detail.isEmpty()) {
                line += QStringLiteral(": ") + detail;
            }
            PrintLine(line);
        }
        if (!summary.complete) {
            PrintLine(Tr("interrupted: %1 of %2 files checked", "中断: %2 個のうち %1 個を確認しました")
                          .arg(check.filesDone())
                          .arg(check.filesTotal()));
        }
        PrintLine(summaryLine(summary));
    }
    InterruptGuard::RaiseDeferred();
    InterruptGuard::DeferStops(false);
    return summary.clean() ? ExitSuccess : ExitFailure;
}

} // namespace

CliCommand CheckCommand()
{
    return {{QStringLiteral("check"),
             {QStringLiteral("FOLDER")},
             Tr("check that every file of an encrypted folder can be decrypted",
                "暗号フォルダーのすべてのファイルが復号できるか確認する"),
             Tr("Decrypts every encrypted file of FOLDER without writing anything and checks all\n"
                "that the format records: header, password, name block, the compressed body and\n"
                "its end, the original size and the last bytes. Prints one line for each damaged\n"
                "or unreadable file, each file of another password or newer format, each file\n"
                "that is not encrypted, each original name that two files of one folder show\n"
                "(the window then only lets them be taken out), each stored original name that no\n"
                "restore can use, each partial file of an unfinished write and each name of an\n"
                "encrypted file that is no file, then a summary. Exits with 0 only when every file\n"
                "is whole and nothing was found. Runs on every core; Ctrl-C stops it after the\n"
                "files being checked, with a summary of what was checked. With --json one JSON\n"
                "object: {\"folder\", \"problems\": [{\"status\", \"path\", \"detail\"}], \"summary\":\n"
                "{\"files\", \"checked\", \"bytes\", \"whole\", \"damaged\", \"foreign\", \"unreadable\",\n"
                "\"plain\", \"duplicates\", \"unusableNames\", \"partial\", \"notFiles\", \"complete\"}};\n"
                "status is one of damaged, other-password, newer-format, unreadable, plain,\n"
                "duplicate, unusable-name, partial, not-a-file.",
                "FOLDER のすべての暗号ファイルを、何も書き込まずに復号し、形式が記録しているもの\n"
                "（ヘッダー、パスワード、名前ブロック、圧縮された本体とその終わり、元のサイズ、末尾の\n"
                "バイト）をすべて確認します。破損したファイルや読めないファイル、別のパスワードや新しい\n"
                "形式のファイル、暗号化されていないファイル、一つのフォルダーで二つのファイルが同じ元の\n"
                "名前を示すもの（ウィンドウでは取り出しだけができる状態）、復元に使えない記録名、\n"
                "書き込みが終わらずに残ったファイル、ファイルではない暗号ファイル名を一行ずつ表示し、\n"
                "最後に集計を表示します。すべてのファイルが正常で何も見つからなかったときだけ 0 で\n"
                "終了します。すべてのコアで動きます。Ctrl-C で、確認中のファイルを終えてから集計を\n"
                "表示して止まります。--json では JSON オブジェクトを一つ出力します: {\"folder\",\n"
                "\"problems\": [{\"status\", \"path\", \"detail\"}], \"summary\": {\"files\", \"checked\",\n"
                "\"bytes\", \"whole\", \"damaged\", \"foreign\", \"unreadable\", \"plain\", \"duplicates\",\n"
                "\"unusableNames\", \"partial\", \"notFiles\", \"complete\"}}。status は damaged,\n"
                "other-password, newer-format, unreadable, plain, duplicate, unusable-name, partial,\n"
                "not-a-file のいずれかです。"),
             {RecursiveOptionSyntax(),
              {JobsOption, QStringLiteral("N"),
               Tr("Check N files at a time (default: the number of cores).",
                  "同時に N 個のファイルを確認します（既定: コアの数）。")},
              JsonOptionSyntax()}},
            runCheck};
}
