// kbx check: whether every file of an encrypted folder can still be decrypted.

#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FolderCheck.h"
#include "cli/FolderEntries.h"
#include "cli/FolderOptions.h"
#include "cli/InterruptGuard.h"
#include "cli/PasswordInput.h"
#include "cli/ProgressLine.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerFormat.h"
#include "store/metadata/MetadataListing.h"
#include "util/PathText.h"
#include "util/SecureWipe.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString JobsOption = QStringLiteral("jobs");

struct Finding
{
    QString status; // the stable keyword
    QString path;   // relative to the folder checked
    QString detail;
};

// What the listing left out that the check names: a partial file, or a name of an encrypted
// file that is no file (a dangling link, a pipe, a device).
struct LeftOutEntry
{
    QString path;
    bool partial = false;
};

struct Summary
{
    qint64 files = 0;
    qint64 checked = 0; // encrypted files of the key that were decrypted
    qint64 bytes = 0;
    qint64 whole = 0;
    qint64 damaged = 0;
    qint64 foreign = 0; // another password or a newer format
    qint64 unreadable = 0;
    qint64 plain = 0;
    qint64 duplicates = 0;
    qint64 unusableNames = 0; // stored original names no restore can use
    qint64 partial = 0;       // partial outputs of an interrupted write
    qint64 notFiles = 0;      // encrypted-file names that are no file
    bool complete = true;

    bool clean() const
    {
        return complete && whole == checked &&
               damaged + foreign + unreadable + plain + duplicates + unusableNames + partial + notFiles == 0;
    }
};

QString statusWord(const QString& status)
{
    if (status == QLatin1String("damaged")) {
        return Tr("damaged", "破損");
    }
    if (status == QLatin1String("duplicate")) {
        return Tr("duplicate name", "名前の重複");
    }
    if (status == QLatin1String("unusable-name")) {
        return Tr("unusable stored name", "使えない記録名");
    }
    if (status == QLatin1String("partial")) {
        return Tr("partial file", "書きかけのファイル");
    }
    if (status == QLatin1String("not-a-file")) {
        return Tr("not a file", "ファイルではない");
    }
    for (const FolderEntry::Kind kind : {FolderEntry::OtherPassword, FolderEntry::NewerFormat,
                                         FolderEntry::Unreadable, FolderEntry::Plain}) {
        if (status == KindKeyword(kind)) {
            return KindWord(kind);
        }
    }
    return status;
}

// Every file to check in the folders, in folder order; apart those whose names are no valid UTF-8
// (they cannot be opened by name) and what the listing leaves out but a check must name (partial
// files, encrypted-file names that are no file); -1 when a folder cannot be listed.
int collectFiles(const QString& top, bool recursive, QStringList* files, QStringList* folders,
                 QStringList* namesNotText, QList<LeftOutEntry>* leftOut)
{
    return VisitFolders(top, recursive, [&](const QString& folder) {
        QList<MetadataListing::Entry> listing;
        QList<MetadataListing::LeftOut> left;
        if (MetadataListing::ListEntries(folder, &listing, &left) != 0) {
            ReportError(FolderUnreadableText(folder));
            return -1;
        }
        folders->append(folder);
        for (const MetadataListing::LeftOut& entry : std::as_const(left)) {
            // Of what is neither file nor folder, only names of encrypted files concern a check.
            if (entry.partial || entry.name.endsWith(QLatin1Char('.') + ContainerFormat::Extension)) {
                leftOut->append({folder + QLatin1Char('/') + entry.name, entry.partial});
            }
        }
        for (const MetadataListing::Entry& entry : listing) {
            if (!entry.isFolder) {
                (entry.nameIsText ? files : namesNotText)->append(folder + QLatin1Char('/') + entry.name);
            }
        }
        return 0;
    });
}

QString containerPath(const QString& top, const FolderEntry& entry)
{
    const QString stored = RelativeTo(top, entry.path);
    return entry.kind == FolderEntry::Encrypted
               ? stored + QStringLiteral(" (") + entry.name + QLatin1Char(')')
               : stored;
}

void addResult(const QString& top, const FolderCheck::FileResult& result, Summary* summary,
               QList<Finding>* findings)
{
    const FolderEntry& entry = result.entry;
    switch (entry.kind) {
    case FolderEntry::Encrypted:
        ++summary->checked;
        summary->bytes += result.checkedBytes;
        // extract and decrypt refuse such a name, so the file cannot be restored as it stands.
        if (!IsSingleFileName(entry.name)) {
            ++summary->unusableNames;
            findings->append({QStringLiteral("unusable-name"), containerPath(top, entry),
                              Tr("the stored original name is no single file name",
                                 "記録されている元の名前はファイル名として使えません")});
        }
        if (result.whole) {
            ++summary->whole;
            return;
        }
        ++summary->damaged;
        findings->append({QStringLiteral("damaged"), containerPath(top, entry), result.fault});
        return;
    case FolderEntry::OtherPassword:
    case FolderEntry::NewerFormat:
        ++summary->foreign;
        findings->append({KindKeyword(entry.kind), containerPath(top, entry), QString()});
        return;
    case FolderEntry::Unreadable:
        ++summary->unreadable;
        findings->append({QStringLiteral("unreadable"), containerPath(top, entry), result.fault});
        return;
    case FolderEntry::Plain:
        ++summary->plain;
        findings->append({QStringLiteral("plain"), containerPath(top, entry), QString()});
        return;
    case FolderEntry::Subfolder:
        return;
    }
}

// Names shown by more than one encrypted file of a folder: the window only lets such files be
// taken out.
void addDuplicates(const QString& top, const QList<FolderCheck::FileResult>& results, Summary* summary,
                   QList<Finding>* findings)
{
    QHash<QString, QList<FolderEntry>> byFolder;
    QStringList order;
    for (const FolderCheck::FileResult& result : results) {
        const QString folder = QFileInfo(result.entry.path).path();
        if (!byFolder.contains(folder)) {
            order.append(folder);
        }
        byFolder[folder].append(result.entry);
    }
    for (const QString& folder : order) {
        const QList<FolderEntry>& entries = byFolder.value(folder);
        for (const QString& name : DuplicateNames(entries)) {
            QStringList stored;
            for (const FolderEntry& entry : entries) {
                if (entry.kind == FolderEntry::Encrypted && entry.name == name) {
                    stored.append(entry.storedName);
                }
            }
            ++summary->duplicates;
            const QString relative = RelativeTo(top, folder + QLatin1Char('/') + name);
            findings->append({QStringLiteral("duplicate"), relative, stored.join(QStringLiteral(", "))});
        }
    }
}

QString mebibytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString summaryLine(const Summary& s)
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

QJsonObject summaryJson(const Summary& s)
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

int runCheck(const ParsedCommand& command, CliSession& /*session*/)
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
    QByteArray key = CryptEngine::PasswordToBytes(password);
    SecureWipe(password);

    // From here an interrupt ends the check between files, with what it found so far.
    InterruptGuard::DeferStops(true);
    QStringList files;
    QStringList folders;
    QStringList namesNotText;
    QList<LeftOutEntry> leftOut;
    if (collectFiles(top, command.hasFlag(RecursiveOption), &files, &folders, &namesNotText, &leftOut) != 0) {
        SecureWipe(key);
        return ExitFailure;
    }
    qint64 totalBytes = 0;
    for (const QString& file : files) {
        totalBytes += QFileInfo(file).size();
    }

    FolderCheck check(key, jobs);
    SecureWipe(key);
    ProgressLine progress(ProgressLine::StderrIsTerminal());
    progress.begin(Tr("checking %1 files", "%1 個のファイルを確認中").arg(files.size()));
    QList<FolderCheck::FileResult> results;
    const int rc = check.Run(
        files, [] { return InterruptGuard::StopRequested(); },
        [&] { progress.progress(check.bytesDone(), totalBytes); }, &results);
    progress.finish();
    if (rc != 0) {
        return ExitFailure;
    }

    Summary summary;
    summary.files = files.size();
    summary.complete = results.size() == files.size();
    QList<Finding> findings;
    for (const FolderCheck::FileResult& result : results) {
        addResult(top, result, &summary, &findings);
    }
    addDuplicates(top, results, &summary, &findings);
    for (const QString& file : std::as_const(namesNotText)) {
        ++summary.files;
        ++summary.unreadable;
        findings.append({QStringLiteral("unreadable"), RelativeTo(top, file), NameNotTextReason()});
    }
    for (const LeftOutEntry& entry : std::as_const(leftOut)) {
        if (entry.partial) {
            ++summary.partial;
            findings.append(
                {QStringLiteral("partial"), RelativeTo(top, entry.path),
                 Tr("left by a write that did not finish", "書き込みが終わらずに残ったファイルです")});
        } else {
            ++summary.notFiles;
            findings.append(
                {QStringLiteral("not-a-file"), RelativeTo(top, entry.path),
                 Tr("named as an encrypted file but no file (a dangling link, a pipe, a device)",
                    "暗号ファイルの名前ですがファイルではありません（リンク切れ、パイプ、デバイスなど）")});
        }
    }

    if (command.hasFlag(JsonOption)) {
        QJsonArray array;
        for (const Finding& finding : findings) {
            QJsonObject object{{QStringLiteral("status"), finding.status},
                               {QStringLiteral("path"), finding.path}};
            if (!finding.detail.isEmpty()) {
                object.insert(QStringLiteral("detail"), finding.detail);
            }
            array.append(object);
        }
        PrintJson({{QStringLiteral("folder"), top},
                   {QStringLiteral("problems"), array},
                   {QStringLiteral("summary"), summaryJson(summary)}});
    } else {
        for (const Finding& finding : findings) {
            QString line = statusWord(finding.status) + QStringLiteral(": ") + finding.path;
            if (!finding.detail.isEmpty()) {
                line += QStringLiteral(": ") + finding.detail;
            }
            PrintLine(line);
        }
        if (!summary.complete) {
            PrintLine(Tr("interrupted: %1 of %2 files checked", "中断: %2 個のうち %1 個を確認しました")
                          .arg(results.size())
                          .arg(files.size()));
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
    return {
        {QStringLiteral("check"),
         {QStringLiteral("FOLDER")},
         Tr("check that every file of an encrypted folder can be decrypted",
            "暗号フォルダーのすべてのファイルが復号できるか確認する"),
         Tr("Decrypts every encrypted file of FOLDER without writing anything and checks all\n"
            "that the format records: header, password, name block, the compressed body and\n"
            "its end, the original size and the last bytes. Prints one line for each damaged\n"
            "or unreadable file, each file of another password or newer format, each file\n"
            "that is not encrypted and each original name that two files of one folder show\n"
            "(the window then only lets them be taken out), then a summary. Exits with 0 only\n"
            "when every file is whole and nothing was found. Runs on every core; Ctrl-C stops\n"
            "it after the files being checked, with a summary of what was checked. With --json\n"
            "one JSON object: {\"folder\", \"problems\": [{\"status\", \"path\", \"detail\"}],\n"
            "\"summary\": {\"files\", \"checked\", \"bytes\", \"whole\", \"damaged\", \"foreign\",\n"
            "\"unreadable\", \"plain\", \"duplicates\", \"complete\"}}; status is one of damaged,\n"
            "other-password, newer-format, unreadable, plain, duplicate.",
            "FOLDER のすべての暗号ファイルを、何も書き込まずに復号し、形式が記録しているもの\n"
            "（ヘッダー、パスワード、名前ブロック、圧縮された本体とその終わり、元のサイズ、末尾の\n"
            "バイト）をすべて確認します。破損したファイルや読めないファイル、別のパスワードや新しい\n"
            "形式のファイル、暗号化されていないファイル、一つのフォルダーで二つのファイルが同じ元の\n"
            "名前を示すもの（ウィンドウでは取り出しだけができる状態）を一行ずつ表示し、最後に集計を\n"
            "表示します。すべてのファイルが正常で何も見つからなかったときだけ 0 で終了します。\n"
            "すべてのコアで動きます。Ctrl-C で、確認中のファイルを終えてから集計を表示して止まり\n"
            "ます。--json では JSON オブジェクトを一つ出力します: {\"folder\", \"problems\": [{\"status\",\n"
            "\"path\", \"detail\"}], \"summary\": {\"files\", \"checked\", \"bytes\", \"whole\", "
            "\"damaged\",\n"
            "\"foreign\", \"unreadable\", \"plain\", \"duplicates\", \"complete\"}}。status は damaged,\n"
            "other-password, newer-format, unreadable, plain, duplicate のいずれかです。"),
         {RecursiveOptionSyntax(),
          {JobsOption, QStringLiteral("N"),
           Tr("Check N files at a time (default: the number of cores).",
              "同時に N 個のファイルを確認します（既定: コアの数）。")},
          JsonOptionSyntax()}},
        runCheck};
}
