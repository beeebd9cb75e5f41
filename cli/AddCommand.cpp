// kbx add: files and folder trees encrypted into an encrypted folder.

#include "cli/AddKey.h"
#include "cli/CliCommand.h"
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FolderEntries.h"
#include "cli/FolderOptions.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerNaming.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

const QString ForceOption = QStringLiteral("force");
const QString MoveOption = QStringLiteral("move");

// Every source checked before anything is written.
int checkSources(const QString& folder, const QStringList& sources, bool recursive)
{
    for (const QString& source : sources) {
        QString problem;
        switch (EntryTypeOf(source)) {
        case EntryType::Missing:
            problem = Tr("no such file", "ファイルがありません");
            break;
        case EntryType::Special:
            problem = Tr("not a regular file", "通常のファイルではありません");
            break;
        case EntryType::LinkedFolder:
            problem = Tr("a link to a folder is not followed", "フォルダーへのリンクはたどりません");
            break;
        case EntryType::Folder:
            if (!recursive) {
                problem = Tr("is a folder; give -r to add it with its files",
                             "フォルダーです。中身ごと加えるには -r を指定します");
            } else if (PathIsInside(folder, source)) {
                problem = Tr("holds the encrypted folder itself", "暗号フォルダー自身を含んでいます");
            } else if (const QString found = FindNameNotText(source); !found.isEmpty()) {
                problem = found + QStringLiteral(": ") + NameNotTextReason();
            }
            break;
        case EntryType::File:
            break;
        }
        if (problem.isEmpty() && PathIsInside(source, folder)) {
            problem = Tr("lies in the encrypted folder already", "既に暗号フォルダーの中にあります");
        }
        if (!problem.isEmpty()) {
            ReportError(QStringLiteral("%1: %2").arg(source, problem));
            return Result::Failed;
        }
    }
    return 0;
}

class Addition
{
public:
    Addition(CliSession& session, const QString& slot, bool force, bool move)
        : m_session(session), m_slot(slot), m_force(force), m_move(move)
    {
    }

    // Entries of added folders that were left where they are (links, pipes, devices).
    int skipped() const { return m_skipped; }

    // Stops at the first failure: what was added stays, the rest is untouched.
    int source(const QString& source, const QString& folder)
    {
        return EntryTypeOf(source) == EntryType::Folder ? addFolder(source, folder) : addFile(source, folder);
    }

private:
    QList<ClassifiedEntry>& entriesOf(const QString& folder, int* result)
    {
        *result = 0;
        auto found = m_entries.find(folder);
        if (found == m_entries.end()) {
            found = m_entries.insert(folder, {});
            // What a killed add left in the folder goes first; a write still running keeps its own.
            ContainerCrypt::RemovePartialFiles(folder);
            *result = ListFolderEntries(m_session.crypt(), folder, m_slot, &found.value());
        }
        return found.value();
    }

    int addFile(const QString& source, const QString& folder)
    {
        int listed = 0;
        QList<ClassifiedEntry>& entries = entriesOf(folder, &listed);
        if (listed != 0) {
            return Result::Failed;
        }
        ContainerInfo info;
        int status = NotAContainer;
        QString text;
        if (m_session.crypt().GetContainerStatus(source, CryptEngine::IntrinsicSlotName, &info, true, &status,
                                                 &text) != 0) {
            return Result::Failed;
        }
        if (status != NotAContainer) {
            ReportError(Tr("%1: is an encrypted file already; decrypt it first, or copy it into the folder",
                           "%1: 既に暗号ファイルです。先に復号するか、そのままフォルダーにコピーしてください")
                            .arg(source));
            return Result::Failed;
        }
        const QString name = QFileInfo(source).fileName();
        const QString key = folder + QLatin1Char('/') + name;
        if (m_added.contains(key)) {
            ReportError(Tr("%1: another file named %2 was added to %3 by this command",
                           "%1: このコマンドで %3 に同じ名前 %2 のファイルを加えたばかりです")
                            .arg(source, name, folder));
            return Result::Failed;
        }
        qsizetype replaced = -1;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const ClassifiedEntry& entry = entries.at(i);
            if (entry.kind == ClassifiedEntry::Encrypted && entry.name == name) {
                replaced = i;
                break;
            }
            if (entry.kind != ClassifiedEntry::Encrypted && entry.storedName == name) {
                ReportError(Tr("%1: a file of that name that is not encrypted is in %2",
                               "%1: 暗号化されていない同じ名前のファイルが %2 にあります")
                                .arg(source, folder));
                return Result::Failed;
            }
        }
        QString target;
        if (replaced >= 0) {
            if (!m_force) {
                ReportError(
                    Tr("%1: %2 already holds a file of that name; give --force to replace it",
                       "%1: %2 には同じ名前のファイルが既にあります。置き換えるには --force を指定します")
                        .arg(source, folder));
                return Result::Failed;
            }
            target = entries.at(replaced).path;
        } else {
            QString fresh;
            if (ContainerName(folder, &fresh) != 0) {
                return Result::Failed;
            }
            target = folder + QLatin1Char('/') + fresh;
        }
        const int result = m_session.RunWriting(
            EncryptingLabel(name), target,
            [&] { return m_session.crypt().EncryptIntoFolder(source, target, m_slot); }, CheckingLabel(name));
        if (result != 0) {
            return Result::Failed;
        }
        // Containers are kept read-only, as the window keeps them.
        SetAttributeBits(target, FileAttribute::ReadOnly, false);
        ClassifiedEntry entry = ClassifyFile(m_session.crypt(), target, m_slot);
        if (replaced >= 0) {
            entries[replaced] = entry;
        } else {
            entries.append(entry);
        }
        m_added.insert(key);
        PrintLine(target);
        if (m_move && !QFile::remove(source)) {
            ReportError(Tr("%1: encrypted, but the file could not be removed",
                           "%1: 暗号化しましたが、ファイルを削除できません")
                            .arg(source));
            return Result::Failed;
        }
        return 0;
    }

    int addFolder(const QString& source, const QString& folder)
    {
        const QString target = folder + QLatin1Char('/') + QFileInfo(source).fileName();
        QString error;
        if (!QFileInfo(target).isDir() && CreateDirectoryTree(target, &error, PrivateFolderMode) != 0) {
            ReportError(QStringLiteral("%1: %2").arg(target, error));
            return Result::Failed;
        }
        // Links are never followed out of the tree; pipes, sockets and devices stay where they are.
        // Each is named, and the command ends with a failure once the rest is added.
        const QFileInfoList entries =
            QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                       QDir::Name | QDir::DirsFirst);
        for (const QFileInfo& entry : entries) {
            const EntryType type = entry.isSymLink() ? EntryType::Special : EntryTypeOf(entry.filePath());
            if (type == EntryType::Folder) {
                if (addFolder(entry.filePath(), target) != 0) {
                    return Result::Failed;
                }
            } else if (type == EntryType::File) {
                if (addFile(entry.filePath(), target) != 0) {
                    return Result::Failed;
                }
            } else {
                ReportWarning(QStringLiteral("%1: %2").arg(
                    entry.filePath(),
                    entry.isSymLink()
                        ? Tr("a link is not followed; not added", "リンクはたどりません。加えませんでした")
                        : Tr("not a regular file; not added",
                             "通常のファイルではありません。加えませんでした")));
                ++m_skipped;
            }
        }
        if (m_move) {
            QDir().rmdir(source); // only when nothing was left in it
        }
        return 0;
    }

    CliSession& m_session;
    QString m_slot;
    bool m_force;
    bool m_move;
    QHash<QString, QList<ClassifiedEntry>> m_entries;
    QSet<QString> m_added;
    int m_skipped = 0;
};

int runAdd(const ParsedCommand& command, CliSession& session)
{
    const QString folder = AbsolutePath(command.operands.at(0));
    QStringList sources;
    for (const QString& operand : command.operands.mid(1)) {
        sources.append(AbsolutePath(operand));
    }
    if (RequireFolder(folder) != 0 || checkSources(folder, sources, command.hasFlag(RecursiveOption)) != 0) {
        return ExitFailure;
    }
    AddKey key(session);
    if (key.Take(folder) != 0) {
        return ExitFailure;
    }
    Addition addition(session, key.slot(), command.hasFlag(ForceOption), command.hasFlag(MoveOption));
    for (const QString& source : sources) {
        if (addition.source(source, folder) != 0) {
            return ExitFailure;
        }
    }
    return addition.skipped() > 0 ? ExitFailure : ExitSuccess;
}

} // namespace

CliCommand AddCommand()
{
    return {{QStringLiteral("add"),
             {QStringLiteral("FOLDER"), QStringLiteral("FILE")},
             Tr("encrypt files into an encrypted folder", "ファイルを暗号フォルダーに暗号化して加える"),
             Tr("Encrypts each FILE into the encrypted folder FOLDER under a generated name, as\n"
                "the window does; with -r a folder is added with its files as a folder of FOLDER.\n"
                "The container paths written are printed. The password must open the files\n"
                "already in FOLDER; into a folder without any it is a new one (typed twice on a\n"
                "terminal). A file whose original name FOLDER already shows is replaced only with\n"
                "--force. With --move each file is removed once its encrypted file is written and\n"
                "checked. The first failure ends the command; what was added stays. Partial\n"
                "files that an interrupted add left in a folder are removed first. Links,\n"
                "pipes, sockets and devices in a folder added with -r are left where they are,\n"
                "each named in a warning; the command then exits with 1 once the rest is added.\n"
                "A folder registered in the Kurabox window is written only while the window is\n"
                "not running: kbx then holds the window's lock, so the window cannot start\n"
                "meanwhile, checks the password against the registered folder, stores the\n"
                "folder's hint and refuses a folder registered read-only. The window brings the\n"
                "folder's metadata up to date from the files when it next shows the folder.",
                "各 FILE を、ウィンドウと同じく生成した名前で暗号フォルダー FOLDER に暗号化します。\n"
                "-r ではフォルダーを中身ごと FOLDER のフォルダーとして加えます。書いた暗号ファイルの\n"
                "パスを表示します。パスワードは FOLDER に既にあるファイルを開けるものでなければなり\n"
                "ません。暗号ファイルがないフォルダーでは新しいパスワードです（端末では二度入力）。\n"
                "FOLDER に同じ元の名前のファイルがあるときは --force のときだけ置き換えます。--move\n"
                "では暗号ファイルを書いて確認した後に元のファイルを削除します。最初の失敗で終わり、\n"
                "それまでに加えたものは残ります。中断された追加が残した書きかけのファイルは先に\n"
                "削除します。-r で加えるフォルダーの中のリンク、パイプ、ソケット、\n"
                "デバイスはそのまま残し、それぞれを警告で示します。そのときは残りを加えた後に 1 で\n"
                "終了します。\n"
                "Kurabox のウィンドウに登録されたフォルダーには、ウィンドウが動いていないときだけ\n"
                "書き込みます。その間 kbx がウィンドウのロックを持つので、ウィンドウは起動できません。\n"
                "パスワードは登録されたフォルダーで確かめ、フォルダーのヒントを記録し、読み取り専用で\n"
                "登録されたフォルダーは断ります。フォルダーのメタデータは、ウィンドウが次にその\n"
                "フォルダーを表示するときにファイルから更新します。"),
             {RecursiveOptionSyntax(),
              {MoveOption, QString(),
               Tr("Remove each file once it is encrypted.", "暗号化したファイルを削除します。")},
              {ForceOption, QString(),
               Tr("Replace an encrypted file that shows the same name.",
                  "同じ名前を示す暗号ファイルを置き換えます。")}},
             true},
            runAdd};
}
