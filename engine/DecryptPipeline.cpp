// Reading a container back: header, password check, the body deciphered chunk by chunk and
// inflated. In verify-only mode nothing is written; the last plain chunk is kept either way so
// that verification can compare it with the source.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineMessages.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QtEndian>

#include <zlib.h>

#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

using Direction = CryptEngine::Direction;
constexpr int ChunkSize = ContainerCrypt::ChunkSize;

} // namespace

class DecryptStreamRun
{
public:
    DecryptStreamRun(ContainerCrypt& crypt, int source, int target, bool verifyOnly)
        : m_crypt(crypt), m_engine(crypt.engine()), m_source(source), m_target(target),
          m_verifyOnly(verifyOnly), m_input(new unsigned char[ChunkSize]),
          m_output(new unsigned char[ChunkSize])
    {
    }
    ~DecryptStreamRun() { SecureWipe(m_output.get(), ChunkSize); }

    int run(const QString& slot, qint64* produced);

private:
    int inflateBody(qint64 bodySize, int fillCount);
    int emitOutput(qint64 length);

    ContainerCrypt& m_crypt;
    CryptEngine& m_engine;
    int m_source;
    int m_target;
    bool m_verifyOnly;
    std::unique_ptr<unsigned char[]> m_input;
    std::unique_ptr<unsigned char[]> m_output;
    qint64 m_produced = 0;
    // The plain size the header records: the output never grows past it.
    qint64 m_expected = 0;
};

int DecryptStreamRun::run(const QString& slot, qint64* produced)
{
    m_crypt.m_lastChunk.tail.clear();
    if (m_engine.SelectKey(Direction::Decipher, slot) != 0) {
        return Result::Failed;
    }
    const off_t end = ::lseek(m_source, 0, SEEK_END);
    if (end < 0) {
        ShowEngineError(MsgA(369) + ErrnoText(errno));
        return Result::ReadError;
    }
    // Failures of the content rather than of a read are Failed, so that no error number left
    // over from an earlier call is shown as their cause.
    if (end == 0) {
        ShowEngineError(MsgA(371));
        return Result::Failed;
    }
    if (::lseek(m_source, 0, SEEK_SET) < 0) {
        ShowEngineError(MsgA(372) + ErrnoText(errno));
        return Result::ReadError;
    }
    QByteArray image(ContainerFormat::HeaderSize, '\0');
    const qint64 headerRead =
        ReadUpTo(m_source, reinterpret_cast<unsigned char*>(image.data()), image.size());
    if (headerRead != image.size()) {
        ShowEngineError(MsgA(373));
        return headerRead < 0 ? Result::ReadError : Result::Failed;
    }
    if (m_engine.BeginChain(Direction::Decipher, CryptEngine::IntrinsicSlotName) != 0 ||
        m_engine.ContinueChain(Direction::Decipher, image.data(), image.size()) != 0) {
        return Result::Failed;
    }
    ContainerFormat::Header header;
    ContainerFormat::ParseHeaderImage(image, &header);
    QByteArray check = header.passwordCheck;
    if (m_engine.BeginChain(Direction::Decipher, slot) != 0 ||
        m_engine.ContinueChain(Direction::Decipher, check.data(), check.size()) != 0) {
        ShowEngineError(MsgA(374));
        return Result::Failed;
    }
    if (check != ContainerFormat::PasswordCheckPlain(MsgB(7))) {
        ShowMessage(MsgA(375), MessageStyle::warning());
        return Result::Failed;
    }
    if (ContainerFormat::IsNewerFormat(header.version)) {
        ShowEngineError(MsgA(424));
        return Result::Failed;
    }
    const int nameBlockLength = header.nameBlockLength;
    const qint64 blockRead = ContainerFormat::IsValidNameBlockLength(nameBlockLength)
                                 ? ReadUpTo(m_source, m_input.get(), nameBlockLength)
                                 : 0;
    if (blockRead != nameBlockLength) {
        ShowEngineError(MsgA(376));
        return blockRead < 0 ? Result::ReadError : Result::Failed;
    }
    if (m_engine.BeginChain(Direction::Decipher, slot) != 0) {
        return Result::Failed;
    }
    if (header.plainSize < 0) {
        ShowEngineError(MsgA(377) + QStringLiteral("（%1）").arg(header.plainSize));
        return Result::Failed;
    }
    m_expected = header.plainSize;
    const qint64 bodySize = qint64(end) - ContainerFormat::HeaderSize - nameBlockLength;
    if (const int rc = inflateBody(bodySize, header.fillCount)) {
        return rc;
    }
    if (m_produced != header.plainSize) {
        ShowEngineError(MsgA(377) + QStringLiteral("（%1,%2）").arg(header.plainSize).arg(m_produced));
        return Result::Failed;
    }
    *produced = m_produced;
    return 0;
}

int DecryptStreamRun::emitOutput(qint64 length)
{
    // A body that inflates past the recorded size is refused before the excess is written.
    if (length > m_expected - m_produced) {
        ShowEngineError(MsgA(377) + QStringLiteral("（%1,>%2）").arg(m_expected).arg(m_produced + length));
        return Result::Failed;
    }
    if (!m_verifyOnly && !WriteAll(m_target, m_output.get(), length)) {
        return Result::WriteError;
    }
    LastChunkRecord& last = m_crypt.m_lastChunk;
    last.offset = m_produced;
    last.bytes.resize(length); // keeps its capacity from chunk to chunk
    std::memcpy(last.bytes.data(), m_output.get(), size_t(length));
    constexpr qint64 TailSize = 16;
    if (length >= TailSize) {
        last.tail = QByteArray(reinterpret_cast<const char*>(m_output.get()) + length - TailSize, TailSize);
    } else {
        last.tail.append(reinterpret_cast<const char*>(m_output.get()), length);
        last.tail = last.tail.right(TailSize);
    }
    m_produced += length;
    return 0;
}

int DecryptStreamRun::inflateBody(qint64 bodySize, int fillCount)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        ShowEngineError(MsgA(378) + ZlibText(z.msg));
        return Result::Failed;
    }
    auto fail = [&z](int rc) {
        inflateEnd(&z);
        return rc;
    };
    qint64 bytesRead = 0;
    z.next_out = m_output.get();
    z.avail_out = ChunkSize;
    for (;;) {
        if (z.avail_in == 0) {
            PumpMessages();
            m_crypt.reportProgress(bytesRead, bodySize);
            qint64 length = ReadUpTo(m_source, m_input.get(), ChunkSize);
            if (length < 0) {
                return fail(Result::ReadError);
            }
            bytesRead += length;
            if (length % 16 != 0) {
                ShowEngineError(MsgA(382));
                return fail(-1);
            }
            if (length == 0 || bytesRead > bodySize) {
                // The stream has not ended but the body has.
                ShowEngineError(MsgA(379) + QStringLiteral("unexpected end of data"));
                return fail(-1);
            }
            if (m_engine.ContinueChain(Direction::Decipher, m_input.get(), length) != 0) {
                ShowEngineError(MsgA(383));
                return fail(-1);
            }
            if (bytesRead == bodySize) {
                // The read that reached the end holds the filled last chunk.
                if (fillCount < 0 || fillCount > 15 || fillCount > length) {
                    ShowEngineError(MsgA(382));
                    return fail(-1);
                }
                length -= fillCount;
            }
            z.next_in = m_input.get();
            z.avail_in = uInt(length);
        }
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && z.avail_in == 0)) {
            ShowEngineError(MsgA(379) + ZlibText(z.msg));
            return fail(-1);
        }
        if (z.avail_out == 0) {
            if (const int w = emitOutput(ChunkSize)) {
                return fail(w);
            }
            z.next_out = m_output.get();
            z.avail_out = ChunkSize;
        }
        if (rc == Z_STREAM_END) {
            break;
        }
    }
    const qint64 remaining = ChunkSize - qint64(z.avail_out);
    if (remaining > 0) {
        if (const int w = emitOutput(remaining)) {
            return fail(w);
        }
    }
    if (inflateEnd(&z) != Z_OK) {
        ShowEngineError(MsgA(380) + ZlibText(z.msg));
        return Result::Failed;
    }
    // Whatever followed the end of the stream in the last read was never inflated.
    const qint64 unread = qint64(z.avail_in);
    if (bytesRead != bodySize || unread > 0) {
        ShowEngineError(MsgA(381) + QStringLiteral("（%1,%2）").arg(bodySize).arg(bytesRead - unread));
        return Result::Failed;
    }
    return 0;
}

int ContainerCrypt::decryptStream(int source, int target, const QString& slot, bool verifyOnly,
                                  qint64* produced)
{
    DecryptStreamRun run(*this, source, target, verifyOnly);
    return run.run(slot, produced);
}
