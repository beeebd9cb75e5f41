// kbx extract: every encrypted file of a folder decrypted under its original name.

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
#include "util/FileChanges.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"

#include <QFileInfo>
#include <QSet>

namespace {

const QString ForceOption = QStringLiteral("force");

QString skippedReason(ClassifiedEntry::Kind kind)
{
    switch (kind) {
    case ClassifiedEntry::Plain:
        return Tr("not an encrypted file", "暗号ファイルではありません");
    case ClassifiedEntry::OtherPassword:
        return Tr("encrypted with another password", "別のパスワードで暗号化されています");
    case ClassifiedEntry::NewerFormat:
        return Tr("written by a newer program", "新しいプログラムで書かれています");
    case ClassifiedEntry::Partial:
        return Tr("a partial file of a write that did not finish", "書き込みが終わらずに残ったファイルです");
    default:
        return Tr("cannot be read", "読めません");
    }
}

class Extraction
{
public:
    Extraction(CliSession& session, const QString& top, const QString& target, const QString& slot,
               bool force)
        : m_session(session), m_top(top), m_target(target), m_slot(slot), m_force(force)
    {
    }

    int folder(const QString& folder)
    {
        const QString relative = RelativeTo(m_top, folder);
        const QString out =
            relative == QLatin1String(".") ? m_target : m_target + QLatin1Char('/') + relative;
        // Nothing leaves the target: a link where a folder of the tree goes is never followed.
        if (const QString link = linkOnTheWay(relative); !link.isEmpty()) {
            if (!m_refusedLinks.contains(link)) {
                m_refusedLinks.insert(link);
                ReportWarning(Tr("%1: skipped: a link stands where a folder is to be made; nothing is "
                                 "written through it",
                                 "%1: 飛ばしました: フォルダーを作る場所にリンクがあります。リンクの先には"
                                 "何も書きません")
                                  .arg(link));
            }
            m_failed = true;
            return 0;
        }
        QString error;
        // Made for the user alone, as the files in them are: the names show what the folder holds.
        if (!QFileInfo(out).isDir() && CreateDirectoryTree(out, &error, PrivateFolderMode) != 0) {
            ReportError(QStringLiteral("%1: %2").arg(out, error));
            return -1;
        }
        QList<ClassifiedEntry> entries;
        if (ListFolderEntries(m_session.crypt(), folder, m_slot, &entries) != 0) {
            return -1;
        }
        const QStringList duplicates = DuplicateNames(entries);
        for (const ClassifiedEntry& entry : entries) {
            if (entry.kind == ClassifiedEntry::Subfolder) {
                continue;
            }
            if (entry.kind != ClassifiedEntry::Encrypted) {
                ReportWarning(
                    Tr("%1: skipped: %2", "%1: 飛ばしました: %2")
                        .arg(entry.path, entry.nameIsText ? skippedReason(entry.kind) : NameNotTextReason()));
                m_failed = true;
                continue;
            }
            if (duplicates.contains(entry.name)) {
                // Which of them is meant cannot be told: none replaces another.
                ReportWarning(
                    Tr("%1: skipped: another file of the folder has the original name %2; "
                       "decrypt them one by one with kbx decrypt",
                       "%1: 飛ばしました: フォルダーの別のファイルが同じ元の名前 %2 を持っています。"
                       "kbx decrypt で一つずつ復号してください")
                        .arg(entry.path, entry.name));
                m_failed = true;
                continue;
            }
            extractOne(entry, out);
        }
        return 0;
    }

    bool failed() const { return m_failed; }

private:
    // The first link among the folders of `relative` below the target, or an empty text.
    QString linkOnTheWay(const QString& relative) const
    {
        if (relative == QLatin1String(".")) {
            return QString();
        }
        QString path = m_target;
        for (const QString& part : relative.split(QLatin1Char('/'))) {
            path += QLatin1Char('/') + part;
            if (QFileInfo(path).isSymLink()) {
                return path;
            }
        }
        return QString();
    }

    void extractOne(const ClassifiedEntry& entry, const QString& out)
    {
        QString plain;
        if (OutputPathInFolder(out, entry.name, &plain) != 0 || RequireFreeOutput(plain, m_force) != 0) {
            m_failed = true;
            return;
        }
        const int result = m_session.RunWriting(DecryptingLabel(entry.name), plain, [&] {
            return m_session.crypt().DecryptToFile(entry.path, plain, m_slot);
        });
        if (result != 0) {
            m_failed = true;
            return;
        }
        PrintLine(plain);
    }

    CliSession& m_session;
    QString m_top;
    QString m_target;
    QString m_slot;
    bool m_force;
    bool m_failed = false;
    QSet<QString> m_refusedLinks;
};

int runExtract(const ParsedCommand& command, CliSession& session)
{
    const QString top = AbsolutePath(command.operands.at(0));
    const QString target = AbsolutePath(command.operands.at(1));
    if (RequireFolder(top) != 0) {
        return ExitFailure;
    }
    if (QFileInfo::exists(target) && !QFileInfo(target).isDir()) {
        ReportError(NotAFolderText(target));
        return ExitFailure;
    }
    if (PathIsInside(target, top)) {
        ReportError(Tr("%1: the plain files cannot be written into the encrypted folder itself",
                       "%1: 暗号フォルダーの中には復号したファイルを書き込めません")
                        .arg(target));
        return ExitFailure;
    }
    const bool force = command.hasFlag(ForceOption);
    // The check of each output before it is written is only for an early message; an output
    // never replaces a file that appears meanwhile unless asked to.
    session.crypt().setReplaceTargets(force);
    QString slot;
    if (ReadKey(session, PasswordPrompt(), &slot) != 0) {
        return ExitFailure;
    }
    Extraction extraction(session, top, target, slot, force);
    const int result = VisitFolders(top, command.hasFlag(RecursiveOption),
                                    [&](const QString& folder) { return extraction.folder(folder); });
    return result == 0 && !extraction.failed() ? ExitSuccess : ExitFailure;
}

} // namespace

CliCommand ExtractCommand()
{
    return {{QStringLiteral("extract"),
             {QStringLiteral("FOLDER"), QStringLiteral("TARGET")},
             Tr("decrypt every file of an encrypted folder", "暗号フォルダーのすべてのファイルを復号する"),
             Tr("Decrypts every encrypted file of FOLDER into the folder TARGET (made when\n"
                "missing) under its original name, with its modification time; with -r the\n"
                "folders below FOLDER are made again below TARGET. Each path written is printed.\n"
                "An existing file is never replaced without --force. Files that are not encrypted\n"
                "with the password, and files of one folder that show the same original name,\n"
                "are skipped with a warning; a file that fails does not stop the others. Exits\n"
                "with 0 only when every file was written. An interrupted file leaves nothing.\n"
                "Folders it makes are the user's alone (0700). A link that stands in TARGET where\n"
                "a folder of the tree goes is never followed: that folder is skipped with a warning.",
                "FOLDER のすべての暗号ファイルを、元の名前と更新日時でフォルダー TARGET（なければ\n"
                "作ります）に復号します。-r では FOLDER の下のフォルダーも TARGET の下に作ります。\n"
                "書いたパスを一行ずつ表示します。既にあるファイルは --force なしでは置き換えません。\n"
                "そのパスワードで暗号化されていないファイルと、同じフォルダーで同じ元の名前を示す\n"
                "ファイルは警告を出して飛ばします。失敗したファイルがあっても他は続けます。すべての\n"
                "ファイルを書けたときだけ 0 で終了します。中断されたファイルは何も残しません。\n"
                "作るフォルダーは本人だけのもの（0700）です。TARGET の中でフォルダーを作る場所に\n"
                "リンクがあるときはたどらず、そのフォルダーを警告を出して飛ばします。"),
             {RecursiveOptionSyntax(),
              {ForceOption, QString(),
               Tr("Replace existing files in TARGET.", "TARGET の既存のファイルを置き換えます。")}}},
            runExtract};
}
