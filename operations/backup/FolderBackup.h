#pragma once

#include <QString>

class ProgressObserver;
class StoreContext;

// Backing up a registered folder or one of its subfolders: everything in it (its containers,
// still encrypted, its subfolders and any other files) is copied unchanged into a folder the
// user chooses. A backup is an ordinary folder; registering it again with the folder's password
// brings it back. The folder metadata is not part of it: it is rebuilt when the backup is shown.
//
// Each file is copied under a temporary name beside its target and renamed only when complete,
// so a failure or a stop never leaves a partly written file behind and a file of an earlier
// backup that is replaced survives a failure. Files copied before a failure or a stop stay.
// A name already taken in the target is asked about (the prompt service's overwrite question).
class FolderBackup
{
public:
    explicit FolderBackup(StoreContext& store) : m_store(store) {}

    // Told the bytes copied of the bytes to copy, after every chunk; none by default.
    void setProgressObserver(ProgressObserver* observer) { m_progress = observer; }

    // The backup command of the tree for the folder of its item: the folder must be reachable
    // the user chooses the destination ("バックアップ先の選択", A-260), the copy
    // runs in the busy state with the stop button, and A-261 with the folder tells it is done.
    // 0 when done; -1 when refused or failed (its message shown); -9 when the user cancelled the
    // chooser or stopped the copy (no message).
    int Run(const QString& folder);

    // Copies the folder into destination + "/" + its name (the destination itself for a mount
    // point), creating it. A destination that is the folder, holds it directly or lies
    // inside it is refused. A-263 when the folder cannot be read; an empty
    // folder gives A-646 after its target folder was made. Returns as Run does; the caller holds
    // the busy state.
    int CopyFolderTo(const QString& folder, const QString& destination);

private:
    enum class Step
    {
        Next,
        Stop, // failed (shown) or stopped
    };

    Step copyEntries(const QString& source, const QString& target);
    Step copyFolder(const QString& source, const QString& target);
    Step copyFile(const QString& source, const QString& target);
    Step copyLink(const QString& source, const QString& target);
    // Whether a file or link of `size` bytes may be written at target: a folder there fails, a
    // file there is asked about (a skip counts its bytes as done).
    bool mayWriteFile(const QString& source, const QString& target, qint64 size, Step* step);
    // Whether the file in the way is replaced (true) or kept (false); *step tells a cancel.
    bool replaceExisting(const QString& source, const QString& target, bool folder, Step* step);
    Step fail(const QString& path, int error);

    StoreContext& m_store;
    ProgressObserver* m_progress = nullptr;
    qint64 m_total = 0;
    qint64 m_done = 0;
    bool m_replaceAllFiles = false;
    bool m_replaceAllFolders = false;
    bool m_stopped = false;
};

// The import command: a backup is brought back by registering it; this notice says how (A-193,
// the product name, A-194, information icon).
void ShowBackupImportNotice();
