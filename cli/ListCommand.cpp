// kbx ls: the entries of an encrypted folder under their original names.

#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/CommandKeys.h"
#include "cli/ExitStatus.h"
#include "cli/FolderEntries.h"
#include "cli/FolderOptions.h"
#include "cli/SharedTexts.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString LongOption = QStringLiteral("long");

QString shownName(const QString& top, const ClassifiedEntry& entry)
{
    const QString folder = RelativeTo(top, entry.path.section(QLatin1Char('/'), 0, -2));
    const QString name =
        entry.kind == ClassifiedEntry::Subfolder ? entry.name + QLatin1Char('/') : entry.name;
    return folder == QLatin1String(".") ? name : folder + QLatin1Char('/') + name;
}

QString shortLine(const QString& top, const ClassifiedEntry& entry)
{
    const QString name = shownName(top, entry);
    if (entry.kind == ClassifiedEntry::Encrypted || entry.kind == ClassifiedEntry::Subfolder) {
        return name;
    }
    return name + QStringLiteral("  [") + KindWord(entry.kind) + QLatin1Char(']');
}

QString longLine(const QString& top, const ClassifiedEntry& entry)
{
    const QString size =
        entry.kind == ClassifiedEntry::Subfolder ? QStringLiteral("-") : QString::number(entry.size);
    const QString encrypted = entry.encryptedText.isEmpty() ? QStringLiteral("-") : entry.encryptedText;
    return QStringLiteral("%1 %2  %3  %4  %5")
        .arg(KindWord(entry.kind), -14)
        .arg(size, 12)
        .arg(entry.modifiedText, -19)
        .arg(encrypted, -19)
        .arg(shownName(top, entry));
}

QJsonObject jsonOf(const QString& top, const ClassifiedEntry& entry)
{
    QJsonObject object;
    object.insert(QStringLiteral("path"), shownName(top, entry));
    object.insert(QStringLiteral("name"), entry.name);
    object.insert(QStringLiteral("stored"), RelativeTo(top, entry.path));
    object.insert(QStringLiteral("kind"), KindKeyword(entry.kind));
    if (entry.kind != ClassifiedEntry::Subfolder) {
        object.insert(QStringLiteral("size"), entry.size);
    }
    object.insert(QStringLiteral("modified"), EntryTimeJson(entry.modified));
    object.insert(QStringLiteral("encrypted"), EncryptionTimeJson(entry.encryptedAt));
    return object;
}

int runList(const ParsedCommand& command, CliSession& session)
{
    const QString top = AbsolutePath(command.operands.at(0));
    if (RequireFolder(top) != 0) {
        return ExitFailure;
    }
    QString slot;
    if (ReadKey(session, PasswordPrompt(), &slot) != 0) {
        return ExitFailure;
    }
    const bool json = command.hasFlag(JsonOption);
    const bool longForm = command.hasFlag(LongOption);
    QJsonArray array;
    const int result = VisitFolders(top, command.hasFlag(RecursiveOption), [&](const QString& folder) {
        QList<ClassifiedEntry> entries;
        if (ListFolderEntries(session.crypt(), folder, slot, &entries) != 0) {
            return -1;
        }
        for (const ClassifiedEntry& entry : entries) {
            if (json) {
                array.append(jsonOf(top, entry));
            } else {
                PrintLine(longForm ? longLine(top, entry) : shortLine(top, entry));
            }
        }
        return 0;
    });
    if (json && result == 0) {
        PrintJson({{QStringLiteral("folder"), top}, {QStringLiteral("entries"), array}});
    }
    return ExitStatusOf(result);
}

} // namespace

CliCommand ListCommand()
{
    return {
        {QStringLiteral("ls"),
         {QStringLiteral("FOLDER")},
         Tr("list an encrypted folder under the original names", "暗号フォルダーの中身を元の名前で表示する"),
         Tr("Lists the files of the encrypted folder FOLDER under their original names, read\n"
            "from the files' headers with the password (asked once). Files that are not\n"
            "encrypted, encrypted files of another password or of a newer format, files\n"
            "that cannot be read and partial files of a write that did not finish are\n"
            "marked. Nothing is written, not even the window's\n"
            "metadata files. With --long: kind, original size, modification and encryption\n"
            "times. With --json one JSON object: {\"folder\", \"entries\": [{\"path\", \"name\",\n"
            "\"stored\", \"kind\", \"size\", \"modified\", \"encrypted\"}]}; kind is one of folder,\n"
            "encrypted, plain, other-password, newer-format, unreadable, partial.",
            "暗号フォルダー FOLDER のファイルを、パスワード（一度だけ尋ねます）で読んだヘッダー\n"
            "から元の名前で表示します。暗号化されていないファイル、別のパスワードや新しい形式の\n"
            "暗号ファイル、読めないファイル、書き込みが終わらずに残ったファイルには印が付きます。\n"
            "何も書き込みません（ウィンドウのメタデータファイルも）。--long で種類、元のサイズ、\n"
            "更新日時、暗号化日時を表示します。\n"
            "--json では JSON オブジェクトを一つ出力します: {\"folder\", \"entries\": [{\"path\",\n"
            "\"name\", \"stored\", \"kind\", \"size\", \"modified\", \"encrypted\"}]}。kind は folder,\n"
            "encrypted, plain, other-password, newer-format, unreadable, partial のいずれかです。"),
         {{LongOption, QString(), Tr("Show kind, size and times.", "種類、サイズ、日時を表示します。"),
           QLatin1Char('l')},
          RecursiveOptionSyntax(),
          JsonOptionSyntax()}},
        runList};
}
