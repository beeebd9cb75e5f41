#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class DestinationNames;
class StoreContext;

// Brings files and folder trees from outside the store into a folder of a registered folder:
// every plain file becomes a container with a generated name, a container of the folder's own
// key is copied unchanged, a container of another password is adopted after its password is
// typed. With a move the source goes only after its container has been written and verified.
//
// Collisions with names the folder already shows are asked (replace, replace all, skip,
// cancel); identical files are skipped when the setting says so. A failure ends the whole
// operation: what was brought in stays, written and recorded; the rest is untouched. A stop
// request ends it after the current file. The folder's metadata is brought up to date
// once per folder, not once per file.
class EncryptFilesIn
{
public:
    enum Mode
    {
        Copy = 0,
        Move = 1,
    };

    explicit EncryptFilesIn(StoreContext& store) : m_store(store) {}

    // 0, or -1 when the operation failed (its message has been shown). A stop ends with 0.
    int Run(Mode mode, const QString& destination, const QStringList& sources);

    // After Run: whether a folder was brought in (the tree reads its subfolders again), how many
    // files were skipped as identical, and how many containers were written.
    bool foldersChanged() const { return m_foldersChanged; }
    int skippedIdentical() const { return m_skipped; }
    int written() const { return m_written; }
    bool stopped() const { return m_stopped; }

    // The messages of one of the two places a file is brought in from (internal).
    struct Texts;

private:
    enum class Step
    {
        Done,
        Skipped,
        Stop, // failed, or the user ended the operation
    };

    int worker(Mode mode, const QString& destination, const QStringList& sources);
    Step bringFile(Mode mode, const QString& source, const QString& folder, DestinationNames& names,
                   const Texts& texts);
    Step bringFolder(Mode mode, const QString& source, const QString& folder);
    Step encryptTree(Mode mode, const QString& source, const QString& target);
    Step adopt(const QString& source, QString* plain, QString* name);
    bool stopRequested();

    StoreContext& m_store;
    QString m_root;
    bool m_notice = true;
    bool m_replaceAllFiles = false;
    bool m_replaceAllFolders = false;
    QSet<QString> m_names; // folder + "/" + display name of every file written so far
    bool m_foldersChanged = false;
    bool m_stopped = false;
    int m_skipped = 0;
    int m_written = 0;
};
