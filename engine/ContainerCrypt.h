#pragma once

#include "engine/CryptEngine.h"

#include <QByteArray>
#include <QString>

class PosixFile;

// Progress of long engine work: bytes done of bytes total, reported before every chunk.
class ProgressObserver
{
public:
    virtual ~ProgressObserver() = default;
    virtual void progress(qint64 done, qint64 total) = 0;
};

// A container's header as read without decrypting the body.
struct ContainerInfo
{
    QByteArray header;    // 384 bytes deciphered with the program's key (0x30 when unreadable)
    QByteArray nameBlock; // deciphered, only when the key matched
    int fillCount = 0;    // 0 to 65535 as stored
    qint16 nameBlockLength = 0;
    qint16 nameLength = 0;
    qint64 plainSize = 0;
    QString plainName;              // only when the key matched
    QString encryptedAt;            // "YYYY/MM/DD hh:mm:ss", only when the key matched
    QString modifiedAt;             // "YYYY/MM/DD hh:mm:ss" local time, only when the key matched
    qint64 encryptionTimeValue = 0; // the YYYYMMDDhhmmss digits as stored
    qint64 modificationTime = 0;    // seconds since 1970 UTC
    QString hint;                   // 48 code units as stored, trailing spaces kept
    QString reservedText;           // trailing white space removed
    bool keyMatched = false;
};

enum ContainerStatus
{
    ContainerReadable = 0,
    NotAContainer = 1,
    NewerFormat = 2,
    OtherKey = 3,
};

// The last plain chunk a decryption produced: what verification compares with the source.
struct LastChunkRecord
{
    qint64 offset = 0;
    QByteArray bytes;
    QByteArray tail; // the last 16 plain bytes (all of them when fewer), across chunk borders
};

// Encrypting files into containers and back, reading and classifying headers, renaming
// containers and changing their hints. Every operation shows its own messages and returns 0,
// -1, -7 (read side), -8 (write side) or -9 (cancelled).
//
// Output files are never written in place: a container or plain file is written under a
// temporary name beside its target (".NAME.kbxpart"), checked, and only then renamed over the
// target, so a failure or a crash never damages a file that was there before.
class ContainerCrypt
{
public:
    enum class Direction
    {
        Encrypt,
        Decrypt,
    };

    static constexpr int ChunkSize = 128000;
    static const QString PartialSuffix; // ".kbxpart"

    explicit ContainerCrypt(CryptEngine& engine = CryptEngine::instance());
    static ContainerCrypt& instance();

    // Whether an output may replace a file already at its target (the default). When not, a
    // file that appears there at any moment before the output is put in place is kept and the
    // operation fails.
    void setReplaceTargets(bool replace) { m_replaceTargets = replace; }

    // The working folder decides between the two free-space messages.
    void setWorkingFolder(const QString& folder) { m_workingFolder = folder; }
    void setProgressObserver(ProgressObserver* observer) { m_progress = observer; }
    // How many threads deflate the body of a large file; 0 (the default) follows the cores, 1
    // keeps all the work on the calling thread. Smaller files are always deflated there.
    void setCompressionThreads(int threads) { m_compressionThreads = threads; }
    int compressionThreads() const;

    // Every output is private to the user (0600 less what the umask takes away), a container too:
    // it tells the original name and size to anyone with the program. The user may widen them: a
    // container that replaces a file keeps that file's permissions, and a renamed copy those of
    // its source.
    int EncryptIntoFolder(const QString& source, const QString& container, const QString& slot);
    int DecryptToFile(const QString& container, const QString& target, const QString& slot);
    int TransformFile(Direction direction, const QString& source, const QString& target, const QString& slot);

    int VerifyEncryptedCopy(const QString& source, const QString& container, const QString& slot);
    int VerifyDecryptedCopy(const QString& container, const QString& plain, const QString& slot);
    // Decrypts the whole container without writing anything and checks all that the format
    // records: the header and password check, the name block, the body's block length, its zlib
    // stream and where it ends, the recorded plain size and the recorded tail. 0 with the plain
    // size, or -1/-7 after showing the first fault found (no summary message).
    int VerifyContainer(const QString& container, const QString& slot, qint64* plainSize);
    int RestoreModifiedTime(const QString& container, const QString& plain, const QString& slot);

    int ReadContainerInfo(const QString& container, ContainerInfo* info, const QString& slot,
                          bool reportOpenFailure);
    int CheckPasswordProbe(const QByteArray& passwordCheckField, const QString& slot, bool showMessage,
                           bool* match);
    int GetContainerStatus(const QString& container, const QString& slot, ContainerInfo* info,
                           bool reportOpenFailure, int* status, QString* text);
    // Writes a copy of the container under target with a new plain name.
    int RenameContainer(const QString& source, const QString& target, const QString& newName,
                        const QString& slot, bool report);
    int UpdateContainerHint(const QString& container, const QString& hint);
    int CompareFileTails(const QString& first, const QString& second, bool compareSizes);

    // The tool format: the whole file zero-filled to whole blocks and enciphered as one chain,
    // written to FILE.kbxf2; decrypting gives the file back with its zero fill (the length is
    // not recorded).
    int RawEncryptFile(const QString& plain, const QString& slot, QString* written = nullptr);
    int RawDecryptFile(const QString& enciphered, const QString& target, const QString& slot);

    // The temporary name under which an output for `target` is written: ".NAME.kbxpart", or
    // for a name too long for that a short one made from a digest of the name.
    static QString PartialPathFor(const QString& target);
    static bool IsPartialFileName(const QString& fileName);
    // Removes partial outputs a crash left in the folder; returns how many it removed. A partial
    // file is locked while it is written, and one whose lock is held is left alone.
    static int RemovePartialFiles(const QString& folder);
    // Removes one partial output that a killed or crashed write left behind: only a file, only
    // when no writer holds its lock, and never an empty one of the last minute (a writer takes
    // the lock just after creating the file). True when it was removed.
    static bool RemoveAbandonedPartial(const QString& partial);
    // Removes the partial file at `partial` if a crash left it. Returns false with EBUSY when
    // another writer holds its lock.
    static bool RemoveLeftoverPartial(const QString& partial);
    // Opens the output for `target` under its partial name: refuses a name longer than the file
    // system allows, removes what a crashed writer left there (never a file whose writer still
    // holds it) and creates the file new, locked and the user's alone. Shows A-340 with the
    // cause and gives false when it cannot.
    static bool CreatePartialOutput(const QString& target, QString* partial, PosixFile* out);

    const LastChunkRecord& lastChunk() const { return m_lastChunk; }
    CryptEngine& engine() { return m_engine; }

private:
    friend class EncryptStreamRun;
    friend class DecryptStreamRun;

    int encryptStream(int source, int target, const QString& plainName, const QString& slot, qint64* written);
    int decryptStream(int source, int target, const QString& slot, bool verifyOnly, qint64* produced);
    int checkFreeSpace(const QString& target, qint64 needed);
    // Renames the finished partial file to its target, replacing a file there only when
    // `replace`; returns 0 or an errno value.
    int placeOutput(const QString& partial, const QString& target, bool replace) const;
    // The verification of a container just written: when its body was checked while it was
    // written, only the header is read back; otherwise the whole container is.
    int verifyWrittenContainer(const QString& source, const QString& container, const QString& slot);
    void reportProgress(qint64 done, qint64 total)
    {
        if (m_progress) {
            m_progress->progress(done, total);
        }
    }

    CryptEngine& m_engine;
    QString m_workingFolder;
    ProgressObserver* m_progress = nullptr;
    int m_compressionThreads = 0;
    bool m_replaceTargets = true;
    // What the check that followed the writer found of the last body it wrote.
    enum class FollowedBody
    {
        NotFollowed,
        Matched,
        Differed,
    };
    FollowedBody m_followedBody = FollowedBody::NotFollowed;
    qint64 m_followedPlainSize = 0;
    int m_followedFillCount = 0;
    LastChunkRecord m_lastChunk;
};
