// The tool format: the whole file, zero-filled to whole blocks, enciphered as one chain. No
// header, no name, no compression.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineLock.h"
#include "engine/EngineMessages.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileReplace.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFile>

#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

using Direction = CryptEngine::Direction;

// Runs the whole of `in` through one chain into `partial`; 0, -1, -7 or -8.
int runChain(CryptEngine& engine, Direction direction, PosixFile& in, PosixFile& out, const QString& slot)
{
    EngineLock lock(engine, direction == Direction::Encipher ? 403 : 406);
    if (!lock.acquired() || engine.BeginChain(direction, slot) != 0) {
        return Result::Failed;
    }
    const int chunk = ContainerCrypt::ChunkSize;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[chunk + 16]);
    std::unique_ptr<unsigned char[]> result(new unsigned char[chunk + 16]);
    int rc = 0;
    for (;;) {
        PumpMessages();
        const qint64 n = in.readFull(buffer.get(), chunk);
        if (n < 0) {
            rc = Result::ReadError;
            break;
        }
        if (n == 0) {
            break;
        }
        const qint64 padded = (n + 15) / 16 * 16;
        if (padded != n && direction == Direction::Decipher) {
            ShowEngineError(MsgA(407));
            rc = -1;
            break;
        }
        std::memset(buffer.get() + n, 0, size_t(padded - n));
        if (engine.ContinueChain(direction, buffer.get(), result.get(), padded) != 0) {
            rc = -1;
            break;
        }
        if (!out.writeFull(result.get(), padded)) {
            rc = Result::WriteError;
            break;
        }
        if (n < chunk) {
            break;
        }
    }
    SecureWipe(buffer.get(), size_t(chunk + 16));
    SecureWipe(result.get(), size_t(chunk + 16));
    return rc;
}

int transformRaw(CryptEngine& engine, Direction direction, const QString& source, const QString& target,
                 const QString& slot, bool replace)
{
    PosixFile in;
    if (!in.openForReading(source)) {
        ShowEngineError(MsgA(339) + ErrnoDetail(in.error(), source));
        return Result::Failed;
    }
    QString partial;
    PosixFile out;
    if (!ContainerCrypt::CreatePartialOutput(target, &partial, &out)) {
        return Result::Failed;
    }
    int rc = runChain(engine, direction, in, out, slot);
    if (rc == 0 && !out.sync()) {
        rc = Result::WriteError;
    }
    if (rc == Result::ReadError) {
        ShowEngineError(MsgA(341) + ErrnoDetail(in.error(), source));
    } else if (rc == Result::WriteError) {
        ShowEngineError(MsgA(342) + ErrnoDetail(out.error(), target));
    }
    out.close();
    if (rc == 0) {
        if (const int error = RenameInto(partial, target, replace)) {
            ShowEngineError(MsgA(342) + ErrnoDetail(error, target));
            rc = Result::WriteError;
        }
    }
    if (rc != 0) {
        ::unlink(QFile::encodeName(partial).constData());
    }
    return rc;
}

} // namespace

int ContainerCrypt::RawEncryptFile(const QString& plain, const QString& slot, QString* written)
{
    const QString target = plain + ContainerFormat::ToolExtension;
    const int rc =
        transformRaw(m_engine, CryptEngine::Direction::Encipher, plain, target, slot, m_replaceTargets);
    if (rc == 0 && written) {
        *written = target;
    }
    return rc;
}

int ContainerCrypt::RawDecryptFile(const QString& enciphered, const QString& target, const QString& slot)
{
    return transformRaw(m_engine, CryptEngine::Direction::Decipher, enciphered, target, slot,
                        m_replaceTargets);
}
