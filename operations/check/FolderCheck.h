#pragma once

#include "engine/KeySlot.h"
#include "operations/check/ClassifiedFiles.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// The check of files of an encrypted folder: each file is classified by its header and every
// encrypted file of the key is decrypted to nowhere (no plain byte is written) and checked in
// full (ContainerCrypt::VerifyContainer). Files are handed to a pool of workers, one file at a
// time; each worker has an engine and a key table of its own, so the workers share nothing but
// the queue and the counters. The messages the engine shows on a worker are caught, never
// shown: they become the file's fault. `kbx check` and the window's check both run this.
class FolderCheck
{
public:
    struct FileResult
    {
        ClassifiedEntry entry;
        bool whole = false;      // an encrypted file of the key that passed every check
        QString fault;           // why not, for a damaged or unreadable file: the engine's messages in
                                 // one line, empty when it showed none
        qint64 checkedBytes = 0; // the container's size, counted when it was decrypted
    };

    // key: the folder's key, copied from the key table that holds it; the copy is wiped when
    // the workers have theirs.
    FolderCheck(const KeySlot& key, int jobs);
    ~FolderCheck();
    FolderCheck(const FolderCheck&) = delete;
    FolderCheck& operator=(const FolderCheck&) = delete;

    // Checks the files, results in the order of `files`. Between files, stop() is asked and no
    // new file is begun once it says so; the results of files not checked are left out (so
    // fewer results than files means the check was stopped). `tick` runs on the calling thread
    // about four times a second while the workers work. -1 when the workers could not start
    // (*setUpFault says why; nothing is shown).
    int Run(const QStringList& files, const std::function<bool()>& stop, const std::function<void()>& tick,
            QList<FileResult>* results, QString* setUpFault = nullptr);

    // What is done so far: files finished and container bytes read.
    qint64 filesDone() const { return m_filesDone.load(); }
    qint64 bytesDone() const { return m_bytesDone.load(); }
    int jobs() const { return m_jobs; }

private:
    class Worker;

    KeySlot m_key;
    int m_jobs;
    std::atomic<qint64> m_filesDone{0};
    std::atomic<qint64> m_bytesDone{0};
};

// The number of cores this process may run on.
int AvailableCores();
