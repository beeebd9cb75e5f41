#pragma once

#include "engine/KeySlot.h"
#include "operations/check/FolderCheck.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// One problem a check of an encrypted folder found.
struct CheckFinding
{
    enum Kind
    {
        Damaged,       // opens with the key but does not decrypt whole
        OtherPassword, // an encrypted file of another password
        NewerFormat,   // an encrypted file of a newer program
        Unreadable,    // named or signed as an encrypted file, header or name block unreadable
        NameNotText,   // a name on disk that is no valid UTF-8: never opened
        Plain,         // not an encrypted file
        Duplicate,     // an original name more than one encrypted file of one folder shows
        UnusableName,  // the stored original name is no single file name: no restore can use it
        Partial,       // the partial output of a write that did not finish
        NotAFile,      // named as an encrypted file but no file (a dangling link, a pipe, a device)
    };

    Kind kind = Damaged;
    QString path;         // on disk; for a duplicate name the folder's path, "/" and the name
    QString originalName; // the original name of a file that opens with the key, otherwise empty
    // Damaged and unreadable files: the engine's messages in one line (may be empty).
    // Duplicate names: the stored names of the files that show it, ", " between them.
    QString detail;
};

struct CheckSummary
{
    qint64 files = 0;
    qint64 checked = 0; // encrypted files of the key that were decrypted
    qint64 bytes = 0;   // their container bytes
    qint64 whole = 0;
    qint64 damaged = 0;
    qint64 foreign = 0; // another password or a newer format
    qint64 unreadable = 0;
    qint64 plain = 0;
    qint64 duplicates = 0;
    qint64 unusableNames = 0;
    qint64 partial = 0;
    qint64 notFiles = 0;
    bool complete = true; // false when the check was stopped before the last file

    // Every file was checked, every encrypted file is whole, and nothing else was found.
    bool clean() const
    {
        return complete && whole == checked &&
               damaged + foreign + unreadable + plain + duplicates + unusableNames + partial + notFiles == 0;
    }
};

// A check of an encrypted folder (and, when recursive, every folder below it): every file
// classified, every encrypted file of the key decrypted to nowhere on all the jobs, then the
// findings in a fixed order: each file's in folder order, the repeated names, the names that
// are no text, the partial files and the names that are no file. `kbx check` and the window's
// check both run it, so they give the same verdicts.
class FolderCheckRun
{
public:
    // key: the folder's key (copied; the copy is wiped when the workers have theirs).
    FolderCheckRun(const QString& top, bool recursive, const KeySlot& key, int jobs);

    // Lists the folders, checks the files and evaluates the results. stop is asked between
    // files (a stopped check evaluates what it checked, summary().complete is then false);
    // tick runs on the calling thread about four times a second while files are checked.
    // 0 when the check ran (whatever it found); -1 when a folder could not be listed
    // (unlistableFolder()) or the workers could not start (setUpFault()). Nothing is shown.
    int Run(const std::function<bool()>& stop, const std::function<void()>& tick);

    // Progress, readable from any thread while Run works: totals once the folders are listed.
    qint64 filesTotal() const { return m_filesTotal.load(); }
    qint64 bytesTotal() const { return m_bytesTotal.load(); }
    qint64 filesDone() const { return m_check.filesDone(); }
    qint64 bytesDone() const { return m_check.bytesDone(); }

    const QString& top() const { return m_top; }
    const QList<CheckFinding>& findings() const { return m_findings; }
    const CheckSummary& summary() const { return m_summary; }
    const QString& unlistableFolder() const { return m_unlistable; }
    const QString& setUpFault() const { return m_setUpFault; }

private:
    int collect();
    void evaluate(const QList<FolderCheck::FileResult>& results);
    void addDuplicates(const QList<FolderCheck::FileResult>& results);

    QString m_top;
    bool m_recursive;
    FolderCheck m_check;
    QStringList m_files;
    QStringList m_namesNotText;
    QList<CheckFinding> m_leftOut;
    std::atomic<qint64> m_filesTotal{0};
    std::atomic<qint64> m_bytesTotal{0};
    QList<CheckFinding> m_findings;
    CheckSummary m_summary;
    QString m_unlistable;
    QString m_setUpFault;
};
