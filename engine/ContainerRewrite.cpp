// Changing a container without decrypting its body: a new plain name or a new hint. Both write
// a complete new file beside the target and rename it over only when it is whole, so a failure
// never leaves a damaged header behind.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineMessages.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileQueries.h"
#include "util/FileReplace.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Direction = CryptEngine::Direction;

// Copies the rest of `in` to `out` in chunks; -7 on a read error, -8 on a short write.
int copyRest(PosixFile& in, PosixFile& out)
{
    std::unique_ptr<char[]> buffer(new char[ContainerCrypt::ChunkSize]);
    for (;;) {
        PumpMessages();
        const qint64 n = in.readFull(buffer.get(), ContainerCrypt::ChunkSize);
        if (n < 0) {
            return Result::ReadError;
        }
        if (n == 0) {
            return 0;
        }
        if (!out.writeFull(buffer.get(), n)) {
            return Result::WriteError;
        }
    }
}

void removePartial(const QString& partial, int failureMessage, const QString& shownPath)
{
    if (FileExists(partial) == 0 && ::unlink(QFile::encodeName(partial).constData()) != 0) {
        ShowEngineError(MsgA(failureMessage) + ErrnoText(errno) + QLatin1Char('\n') + shownPath);
    }
}

} // namespace

int ContainerCrypt::RenameContainer(const QString& source, const QString& target, const QString& newName,
                                    const QString& slot, bool report)
{
    qint64 sourceSize = 0;
    if (FileSize(source, &sourceSize) == 0 && checkFreeSpace(target, sourceSize) != 0) {
        if (report) {
            ShowMessage(MsgA(390), MessageStyle::warning());
        }
        return Result::Failed;
    }
    QByteArray newBlock = ContainerFormat::BuildNameBlock(newName);
    if (newBlock.isEmpty()) {
        ShowEngineError(MsgA(394) + ErrnoDetail(ENAMETOOLONG, target));
        return Result::Failed;
    }
    PosixFile in;
    if (!in.openForReading(source)) {
        ShowEngineError(MsgA(391) + ErrnoDetail(in.error(), source));
        return Result::Failed;
    }
    const QString partial = PartialPathFor(target);
    if (!RemoveLeftoverPartial(partial)) {
        ShowEngineError(MsgA(392) + ErrnoDetail(EBUSY, partial));
        return Result::Failed;
    }
    PosixFile out;
    if (!out.createExclusive(partial, PrivateFileMode)) {
        ShowEngineError(MsgA(392) + ErrnoDetail(out.error(), target));
        return Result::Failed;
    }

    auto copy = [&]() -> int {
        const qint64 size = in.seekToEnd();
        if (size < 0) {
            ShowEngineError(MsgA(397) + ErrnoText(in.error()));
            return Result::ReadError;
        }
        if (size == 0) {
            ShowEngineError(MsgA(399));
            return Result::ReadError;
        }
        if (!in.seek(0)) {
            ShowEngineError(MsgA(400) + ErrnoText(in.error()));
            return Result::ReadError;
        }
        QByteArray image(ContainerFormat::HeaderSize, '\0');
        if (in.readFull(image.data(), image.size()) != image.size()) {
            ShowEngineError(MsgA(401));
            return Result::ReadError;
        }
        if (m_engine.DecipherWithIntrinsicKey(image.data(), image.size()) != 0) {
            return Result::ReadError;
        }
        ContainerFormat::Header header;
        ContainerFormat::ParseHeaderImage(image, &header);
        // The new name block is enciphered with the given key: a key the body was not written
        // with would leave a container that nothing can read.
        bool match = false;
        if (!ContainerFormat::HasSignature(header, MsgB(6))) {
            ShowEngineError(MsgA(423));
            return Result::Failed;
        }
        if (CheckPasswordProbe(header.passwordCheck, slot, true, &match) != 0) {
            return Result::Failed;
        }
        if (ContainerFormat::IsNewerFormat(header.version)) {
            ShowEngineError(MsgA(424));
            return Result::Failed;
        }
        const int oldLength = header.nameBlockLength;
        qToLittleEndian<qint16>(qint16(newBlock.size()),
                                image.data() + ContainerFormat::Offset::NameBlockLength);
        if (m_engine.EncipherWithIntrinsicKey(image.data(), image.size()) != 0) {
            return Result::WriteError;
        }
        if (!out.writeFull(image.constData(), image.size())) {
            return Result::WriteError;
        }
        QByteArray oldBlock(qMax(oldLength, 0), '\0');
        if (!ContainerFormat::IsValidNameBlockLength(oldLength) ||
            in.readFull(oldBlock.data(), oldBlock.size()) != oldBlock.size()) {
            ShowEngineError(MsgA(402));
            return Result::ReadError;
        }
        if (m_engine.EncipherBuffer(newBlock.data(), newBlock.size(), slot) != 0) {
            return Result::WriteError;
        }
        if (!out.writeFull(newBlock.constData(), newBlock.size())) {
            return Result::WriteError;
        }
        return copyRest(in, out);
    };

    int rc = copy();
    if (rc == Result::ReadError) {
        ShowEngineError(MsgA(393) + ErrnoDetail(in.error() ? in.error() : errno, source));
    } else if (rc == Result::WriteError) {
        ShowEngineError(MsgA(394) + ErrnoDetail(out.error() ? out.error() : errno, target));
    }
    // The copy under the new name has the permissions of the container it was made from.
    if (rc == 0 && (!out.takePermissionsOf(source) || !out.sync())) {
        ShowEngineError(MsgA(394) + ErrnoDetail(out.error(), target));
        rc = Result::WriteError;
    }
    in.close();
    out.close();
    if (rc == 0 && CompareFileTails(source, partial, false) != 0) {
        ShowEngineError(MsgA(395) + source);
        rc = -1;
    }
    if (rc == 0) {
        // A copy put over its own source replaces it; anything else only when allowed.
        if (const int error = placeOutput(partial, target, m_replaceTargets || source == target)) {
            ShowEngineError(MsgA(394) + ErrnoDetail(error, target));
            rc = -1;
        }
    }
    if (rc != 0) {
        removePartial(partial, 396, target);
        return Result::Failed;
    }
    return 0;
}

int ContainerCrypt::UpdateContainerHint(const QString& requested, const QString& hint)
{
    // The new copy replaces the file a link points to, and the link stays.
    QString container;
    if (int error = 0; !ResolveReplacedPath(requested, &container, &error)) {
        ShowEngineError(MsgA(413) + ErrnoDetail(error, requested));
        return Result::Failed;
    }
    if (hint.size() > ContainerFormat::HintLength) {
        ShowMessage(MsgA(515) + QString::number(ContainerFormat::HintLength) + MsgA(516),
                    MessageStyle::warning());
        return Result::Failed;
    }
    PosixFile in;
    if (!in.openForReadWrite(container)) {
        ShowEngineError(MsgA(413) + ErrnoDetail(in.error(), container));
        return Result::Failed;
    }
    struct stat st;
    const mode_t mode = ::fstat(in.fd(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    const QString partial = PartialPathFor(container);
    PosixFile out;

    auto rewrite = [&]() -> int {
        if (!in.seek(0)) {
            ShowEngineError(MsgA(416) + ErrnoText(in.error()));
            return Result::ReadError;
        }
        QByteArray image(ContainerFormat::HeaderSize, '\0');
        if (in.readFull(image.data(), image.size()) != image.size()) {
            ShowEngineError(MsgA(417));
            return Result::ReadError;
        }
        if (m_engine.DecipherWithIntrinsicKey(image.data(), image.size()) != 0) {
            return Result::ReadError;
        }
        ContainerFormat::Header header;
        ContainerFormat::ParseHeaderImage(image, &header);
        if (!ContainerFormat::HasSignature(header, MsgB(6))) {
            ShowEngineError(MsgA(418) + MsgA(423) + QStringLiteral("\n\n") + container);
            return Result::ReadError;
        }
        if (ContainerFormat::IsNewerFormat(header.version)) {
            ShowEngineError(MsgA(418) + MsgA(424) + QStringLiteral("\n\n") + container);
            return Result::ReadError;
        }
        if (TrimmedRight(header.hint) == hint) {
            return 1; // nothing to change
        }
        header.hint = hint;
        // Everything else of the header stays byte for byte.
        QByteArray updated = ContainerFormat::BuildHeaderImage(header);
        updated.replace(0, ContainerFormat::Offset::Hint, image.left(ContainerFormat::Offset::Hint));
        const int afterHint = ContainerFormat::Offset::Hint + 2 * ContainerFormat::HintLength;
        updated.replace(afterHint, image.size() - afterHint, image.mid(afterHint));
        if (m_engine.EncipherWithIntrinsicKey(updated.data(), updated.size()) != 0) {
            return Result::WriteError;
        }
        if (!RemoveLeftoverPartial(partial)) {
            ShowEngineError(MsgA(419) + ErrnoText(EBUSY));
            return Result::WriteError;
        }
        if (!out.createExclusive(partial, int(mode | S_IWUSR))) {
            ShowEngineError(MsgA(419) + ErrnoText(out.error()));
            return Result::WriteError;
        }
        if (!out.writeFull(updated.constData(), updated.size())) {
            ShowEngineError(MsgA(420) + ErrnoText(out.error()));
            return Result::WriteError;
        }
        if (const int rc = copyRest(in, out)) {
            return rc;
        }
        if (!out.sync() || ::fchmod(out.fd(), mode) != 0) {
            return Result::WriteError;
        }
        return 0;
    };

    int rc = rewrite();
    if (rc == Result::ReadError) {
        ShowEngineError(MsgA(414) + ErrnoDetail(in.error() ? in.error() : errno, container));
    } else if (rc == Result::WriteError) {
        ShowEngineError(MsgA(415) + ErrnoDetail(out.error() ? out.error() : errno, container));
    }
    in.close();
    out.close();
    if (rc == 0 &&
        ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(container).constData()) != 0) {
        ShowEngineError(MsgA(415) + ErrnoDetail(errno, container));
        rc = Result::WriteError;
    }
    if (rc < 0) {
        removePartial(partial, 347, container);
        return rc;
    }
    return 0;
}
