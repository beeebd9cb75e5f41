// Whole-file encryption and decryption: opening both files, running the stream under the
// engine lock, checking and verifying the result, and putting it in place only when it is good.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineLock.h"
#include "engine/EngineMessages.h"
#include "engine/FileTail.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/FileReplace.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const QString ContainerCrypt::PartialSuffix = QStringLiteral(".kbxpart");

namespace {

constexpr qint64 FreeSpaceMargin = 4096;
constexpr int TargetPathLimit = 256;

bool removeIfPresent(const QString& path, QString* errorText)
{
    if (FileExists(path) != 0) {
        return true;
    }
    if (::unlink(QFile::encodeName(path).constData()) == 0) {
        return true;
    }
    *errorText = ErrnoText(errno);
    return false;
}

} // namespace

ContainerCrypt::ContainerCrypt(CryptEngine& engine) : m_engine(engine) {}

ContainerCrypt& ContainerCrypt::instance()
{
    static ContainerCrypt crypt;
    return crypt;
}

QString ContainerCrypt::PartialPathFor(const QString& target)
{
    const QString name = FileNamePart(target);
    if (QFile::encodeName(name).size() + 1 + PartialSuffix.size() <= NAME_MAX) {
        return DirectoryPart(target) + QStringLiteral("/.") + name + PartialSuffix;
    }
    // A name near the file system's limit has no room for the additions.
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex();
    return DirectoryPart(target) + QStringLiteral("/.") + QString::fromLatin1(digest.left(32)) +
           PartialSuffix;
}

bool ContainerCrypt::RemoveLeftoverPartial(const QString& partial)
{
    const int fd =
        ::open(QFile::encodeName(partial).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            ::unlink(QFile::encodeName(partial).constData()); // a link or the like, never ours
        }
        return true;
    }
    // The writer of a partial file holds its lock until it is renamed or removed.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        errno = EBUSY;
        return false;
    }
    ::unlink(QFile::encodeName(partial).constData());
    ::close(fd);
    return true;
}

bool ContainerCrypt::CreatePartialOutput(const QString& target, QString* partial, PosixFile* out)
{
    if (QFile::encodeName(FileNamePart(target)).size() > NAME_MAX) {
        ShowMessage(MsgA(340) + QStringLiteral("%1 bytes at most: ").arg(NAME_MAX) + target,
                    MessageStyle::warning());
        return false;
    }
    *partial = PartialPathFor(target);
    if (!RemoveLeftoverPartial(*partial)) {
        ShowEngineError(MsgA(340) + ErrnoDetail(EBUSY, *partial));
        return false;
    }
    // A plain copy for its content, a container for the name and size it tells: the user's alone.
    if (!out->createExclusive(*partial, PrivateFileMode)) {
        ShowEngineError(MsgA(340) + ErrnoDetail(out->error(), target));
        return false;
    }
    return true;
}

int ContainerCrypt::placeOutput(const QString& partial, const QString& target, bool replace) const
{
    return RenameInto(partial, target, replace);
}

bool ContainerCrypt::IsPartialFileName(const QString& fileName)
{
    return fileName.startsWith(QLatin1Char('.')) && fileName.endsWith(PartialSuffix);
}

int ContainerCrypt::RemovePartialFiles(const QString& folder)
{
    int removed = 0;
    const QStringList names =
        QDir(folder).entryList({QLatin1Char('*') + PartialSuffix}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString partial = folder + QLatin1Char('/') + name;
        if (IsPartialFileName(name) && RemoveAbandonedPartial(partial)) {
            ++removed;
        }
    }
    return removed;
}

bool ContainerCrypt::RemoveAbandonedPartial(const QString& partial)
{
    struct stat st;
    if (::lstat(QFile::encodeName(partial).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    constexpr time_t JustBegun = 60;
    if (st.st_size == 0 && std::time(nullptr) - st.st_mtime < JustBegun) {
        return false;
    }
    return RemoveLeftoverPartial(partial) && !QFileInfo::exists(partial);
}

int ContainerCrypt::checkFreeSpace(const QString& target, qint64 needed)
{
    qint64 free = 0;
    if (FreeSpace(DirectoryPart(target), &free) != 0 || free >= needed + FreeSpaceMargin) {
        return 0;
    }
    const bool working = !m_workingFolder.isEmpty() &&
                         (PathIsInside(target, m_workingFolder) || PathIsInside(m_workingFolder, target));
    ShowEngineError(MsgA(working ? 310 : 311));
    return Result::Failed;
}

int ContainerCrypt::EncryptIntoFolder(const QString& source, const QString& container, const QString& slot)
{
    qint64 size = 0;
    if (FileSize(source, &size) == 0 && checkFreeSpace(container, size) != 0) {
        return Result::Failed;
    }
    const int rc = TransformFile(Direction::Encrypt, source, container, slot);
    if (rc == Result::Cancelled) {
        ShowMessage(MsgA(334), MessageStyle::information());
    } else if (rc != 0) {
        ShowEngineError(MsgA(335) + source);
    }
    return rc;
}

int ContainerCrypt::DecryptToFile(const QString& container, const QString& target, const QString& slot)
{
    if (target.size() > TargetPathLimit) {
        ShowMessage(MsgA(468) + QString::number(TargetPathLimit) + MsgA(469) + QLatin1Char('\n') + target,
                    MessageStyle::warning());
        return Result::Failed;
    }
    // The room needed is what the header says the plain file holds; the output is never let
    // grow past that.
    ContainerInfo info;
    qint64 size = 0;
    if (FileSize(container, &size) == 0 && ReadContainerInfo(container, &info, slot, false) == 0 &&
        info.plainSize > 0 && checkFreeSpace(target, info.plainSize) != 0) {
        return Result::Failed;
    }
    const int rc = TransformFile(Direction::Decrypt, container, target, slot);
    if (rc == Result::Cancelled) {
        ShowMessage(MsgA(334), MessageStyle::information());
    } else if (rc != 0) {
        ShowEngineError(MsgA(336) + container);
    }
    return rc;
}

int ContainerCrypt::TransformFile(Direction direction, const QString& source, const QString& target,
                                  const QString& slot)
{
    const bool encrypt = direction == Direction::Encrypt;
    PosixFile in;
    if (!in.openForReading(source)) {
        ShowEngineError(MsgA(339) + ErrnoDetail(in.error(), source));
        return Result::Failed;
    }
    // The output is written beside the target and renamed over it once it is known to be good.
    QString partial;
    PosixFile out;
    if (!CreatePartialOutput(target, &partial, &out)) {
        return Result::Failed;
    }

    qint64 count = 0;
    int rc = 0;
    {
        EngineLock lock(m_engine, encrypt ? 351 : 368);
        m_followedBody = FollowedBody::NotFollowed;
        if (!lock.acquired()) {
            rc = -1;
        } else if (encrypt) {
            rc = encryptStream(in.fd(), out.fd(), FileNamePart(source), slot, &count);
        } else {
            rc = decryptStream(in.fd(), out.fd(), slot, false, &count);
        }
    }
    const int streamError = errno;
    if (rc == Result::ReadError) {
        ShowEngineError(MsgA(341) + ErrnoDetail(streamError, source));
    } else if (rc == Result::WriteError) {
        ShowEngineError(MsgA(342) + ErrnoDetail(streamError, target));
    }
    // A container that replaces a file keeps the permissions the user gave that file.
    if (rc == 0 && ((encrypt && !out.takePermissionsOf(target)) || !out.sync())) {
        ShowEngineError(MsgA(342) + ErrnoDetail(out.error(), target));
        rc = Result::WriteError;
    }
    in.close();
    if (!out.close() && rc == 0) {
        ShowEngineError(MsgA(342) + ErrnoDetail(out.error(), target));
        rc = Result::WriteError;
    }

    if (rc == 0) {
        qint64 actual = 0;
        if (FileExists(source) != 0) {
            ShowEngineError(MsgA(343) + source);
            rc = -1;
        } else if (FileExists(partial) != 0) {
            ShowEngineError(MsgA(344) + target);
            rc = -1;
        } else if (FileSize(partial, &actual) != 0) {
            ShowEngineError(MsgA(345) + target);
            rc = -1;
        } else if (actual != count) {
            ShowEngineError(MsgA(346) + QStringLiteral("（%1：%2）").arg(count).arg(actual) +
                            QStringLiteral("\n\n") + target);
            rc = -1;
        } else if (encrypt) {
            rc = verifyWrittenContainer(source, partial, slot) == 0 ? 0 : -1;
        } else if (VerifyDecryptedCopy(source, partial, slot) != 0 ||
                   RestoreModifiedTime(source, partial, slot) != 0) {
            rc = -1;
        }
    }
    if (rc == 0) {
        const bool replace = m_replaceTargets || encrypt;
        if (const int error = placeOutput(partial, target, replace)) {
            ShowEngineError(MsgA(340) + ErrnoDetail(error, target));
            rc = -1;
        }
    }
    if (rc != 0) {
        QString error;
        if (!removeIfPresent(partial, &error)) {
            ShowEngineError(MsgA(347) + error + QLatin1Char('\n') + partial);
        }
    }
    return rc;
}

int ContainerCrypt::VerifyEncryptedCopy(const QString& source, const QString& container, const QString& slot)
{
    PosixFile in;
    if (!in.openForReading(container)) {
        ShowEngineError(MsgA(425) + ErrnoDetail(in.error(), container));
        return Result::Failed;
    }
    m_lastChunk = LastChunkRecord{};
    qint64 produced = 0;
    int rc = -1;
    {
        EngineLock lock(m_engine, 368);
        if (lock.acquired()) {
            rc = decryptStream(in.fd(), -1, slot, true, &produced);
        }
    }
    in.close();
    if (rc != 0) {
        ShowEngineError(MsgA(426) + QStringLiteral("\n\n") + container);
        return Result::Failed;
    }
    PosixFile plain;
    if (!plain.openForReading(source)) {
        ShowEngineError(MsgA(427) + ErrnoDetail(plain.error(), source));
        return Result::Failed;
    }
    if (!plain.seek(m_lastChunk.offset)) {
        ShowEngineError(MsgA(428) + ErrnoDetail(plain.error(), source));
        return Result::Failed;
    }
    QByteArray bytes(ChunkSize, Qt::Uninitialized);
    const qint64 read = plain.readFull(bytes.data(), ChunkSize);
    if (read != m_lastChunk.bytes.size()) {
        ShowEngineError(MsgA(429) + source);
        return Result::Failed;
    }
    bytes.truncate(read);
    if (bytes != m_lastChunk.bytes) {
        ShowEngineError(MsgA(430) + source);
        return Result::Failed;
    }
    return 0;
}

int ContainerCrypt::VerifyContainer(const QString& container, const QString& slot, qint64* plainSize)
{
    PosixFile in;
    if (!in.openForReading(container)) {
        ShowEngineError(MsgA(339) + ErrnoDetail(in.error(), container));
        return Result::Failed;
    }
    m_lastChunk = LastChunkRecord{};
    qint64 produced = 0;
    int rc = Result::Failed;
    {
        EngineLock lock(m_engine, 368);
        if (lock.acquired()) {
            rc = decryptStream(in.fd(), -1, slot, true, &produced);
        }
    }
    const int readError = errno;
    if (rc == Result::ReadError) {
        ShowEngineError(MsgA(341) + ErrnoDetail(readError, container));
    }
    if (rc != 0) {
        return rc;
    }
    // The stream does not read the name block; the header reader parses it.
    ContainerInfo info;
    if (ReadContainerInfo(container, &info, slot, true) != 0) {
        return Result::Failed;
    }
    if (!info.keyMatched) {
        ShowEngineError(MsgA(376));
        return Result::Failed;
    }
    const QByteArray tail = ContainerFormat::TailCheckPlain(m_lastChunk.tail).left(16);
    if (info.plainSize != produced || tail != info.header.mid(ContainerFormat::Offset::TailCheck, 16)) {
        ShowEngineError(MsgA(441) + container);
        return Result::Failed;
    }
    *plainSize = produced;
    return 0;
}

int ContainerCrypt::verifyWrittenContainer(const QString& source, const QString& container,
                                           const QString& slot)
{
    if (m_followedBody == FollowedBody::NotFollowed) {
        return VerifyEncryptedCopy(source, container, slot);
    }
    ContainerInfo info;
    if (m_followedBody == FollowedBody::Matched && ReadContainerInfo(container, &info, slot, true) == 0 &&
        info.keyMatched && info.plainSize == m_followedPlainSize && info.fillCount == m_followedFillCount) {
        return Result::Ok;
    }
    ShowEngineError(MsgA(426) + QStringLiteral("\n\n") + container);
    return Result::Failed;
}

int ContainerCrypt::VerifyDecryptedCopy(const QString& container, const QString& plain, const QString& slot)
{
    ContainerInfo info;
    if (ReadContainerInfo(container, &info, slot, true) != 0) {
        return Result::Failed;
    }
    PosixFile file;
    if (!file.openForReading(plain)) {
        ShowEngineError(MsgA(437) + ErrnoDetail(file.error(), plain));
        return Result::Failed;
    }
    const qint64 size = file.seekToEnd();
    if (size < 0) {
        ShowEngineError(MsgA(438) + ErrnoDetail(file.error(), plain));
        return Result::Failed;
    }
    QByteArray tail;
    if (ReadFileTail(file.fd(), size, &tail) != 0) {
        return Result::Failed;
    }
    const QString shownPath = DirectoryPart(container) + QLatin1Char('/') + info.plainName;
    if (!info.keyMatched || size != info.plainSize) {
        ShowEngineError(MsgA(440) + shownPath);
        return Result::Failed;
    }
    if (tail != info.header.mid(ContainerFormat::Offset::TailCheck, 16)) {
        ShowEngineError(MsgA(441) + shownPath);
        return Result::Failed;
    }
    return 0;
}

int ContainerCrypt::RestoreModifiedTime(const QString& container, const QString& plain, const QString& slot)
{
    ContainerInfo info;
    if (ReadContainerInfo(container, &info, slot, true) != 0) {
        return Result::Failed;
    }
    QString text;
    if (info.keyMatched && !ContainerFormat::IsValidModificationTime(info.modificationTime)) {
        return 0; // no time a file can have: the output keeps the time it was written
    }
    if (!info.keyMatched) {
        text = MsgA(628);
    } else if (SetModifiedTime(plain, QDateTime::fromSecsSinceEpoch(info.modificationTime), &text) == 0) {
        return 0;
    }
    ShowEngineError(MsgA(629) + text + QStringLiteral("\n\n") + plain);
    return Result::Failed;
}
