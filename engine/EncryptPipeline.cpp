// Writing a container: header placeholder, name block, the compressed and enciphered body in
// chunks of 128000 bytes, then the real header over the placeholder. A large file is deflated on
// several threads into the same kind of zlib stream; the body is enciphered and written on the
// calling thread either way, as one CBC chain in order. Such a body is also checked while it is
// written, by a verifier that reads back each chunk once it is on disk.

#include "engine/BodyVerifier.h"
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineMessages.h"
#include "engine/FileTail.h"
#include "engine/ParallelDeflate.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDateTime>
#include <QFile>
#include <QThread>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Direction = CryptEngine::Direction;
constexpr int ChunkSize = ContainerCrypt::ChunkSize;
// Below this a file is deflated on the calling thread: starting workers would not pay.
constexpr qint64 ParallelThreshold = 4 * qint64(ParallelDeflate::BlockSize);

} // namespace

// The run of one stream: the three chunk buffers and the counters. As the sink of a parallel
// deflate it gathers the stream into whole chunks.
class EncryptStreamRun : private DeflateSink
{
public:
    EncryptStreamRun(ContainerCrypt& crypt, int source, int target)
        : m_crypt(crypt), m_engine(crypt.engine()), m_source(source), m_target(target),
          m_input(new unsigned char[ChunkSize]), m_output(new unsigned char[ChunkSize + 16]),
          m_enciphered(new unsigned char[ChunkSize + 16])
    {
    }
    ~EncryptStreamRun()
    {
        SecureWipe(m_input.get(), ChunkSize);
        SecureWipe(m_output.get(), ChunkSize + 16);
    }

    int run(const QString& plainName, const QString& slot, qint64* written);

private:
    int encipherField(QByteArray* field, const QString& slot, int failureMessage);
    int compressBody(qint64 plainSize);
    int compressSerially(qint64 plainSize);
    int compressInParallel(qint64 plainSize, int workers);
    int finishBody(qint64 bytesRead, qint64 plainSize);
    int writeChunk(unsigned char* chunk, int length);
    void startVerifier();
    int put(const unsigned char* data, std::size_t length) override;
    int blockDone(qint64 consumed) override;

    ContainerCrypt& m_crypt;
    CryptEngine& m_engine;
    int m_source;
    int m_target;
    std::unique_ptr<unsigned char[]> m_input;
    std::unique_ptr<unsigned char[]> m_output;
    std::unique_ptr<unsigned char[]> m_enciphered;
    qint64 m_bodyBytes = 0;
    int m_fillCount = 0;
    qint64 m_plainSize = 0;
    int m_gathered = 0; // bytes of m_output not yet written (parallel deflate)
    QString m_slot;
    qint64 m_bodyOffset = 0;
    std::unique_ptr<BodyVerifier> m_verifier; // stopped and joined with the run
};

int EncryptStreamRun::encipherField(QByteArray* field, const QString& slot, int failureMessage)
{
    if (m_engine.BeginChain(Direction::Encipher, slot) != 0 ||
        m_engine.ContinueChain(Direction::Encipher, field->data(), field->size()) != 0) {
        ShowEngineError(MsgA(failureMessage));
        return Result::Failed;
    }
    return 0;
}

int EncryptStreamRun::run(const QString& plainName, const QString& slot, qint64* written)
{
    QString hint;
    if (m_engine.SelectKey(Direction::Encipher, slot, nullptr, &hint) != 0) {
        return Result::Failed;
    }
    struct stat st;
    const qint64 modified =
        ::fstat(m_source, &st) == 0 ? qint64(st.st_mtime) : QDateTime::currentSecsSinceEpoch();

    const off_t end = ::lseek(m_source, 0, SEEK_END);
    if (end < 0) {
        ShowEngineError(MsgA(352) + ErrnoText(errno));
        return Result::ReadError;
    }
    const qint64 plainSize = end;
    QByteArray tail;
    if (const int rc = ReadFileTail(m_source, plainSize, &tail)) {
        return rc;
    }

    QByteArray nameBlock = ContainerFormat::BuildNameBlock(plainName);
    if (nameBlock.isEmpty()) {
        ShowEngineError(MsgA(357));
        return Result::Failed;
    }
    ContainerFormat::Header header;
    header.signature = ContainerFormat::SignatureOf(MsgB(6));
    header.version = ContainerFormat::FormatVersion;
    header.hint = hint;
    header.plainSize = plainSize;
    header.nameBlockLength = qint16(nameBlock.size());
    header.tailCheck = ContainerFormat::TailCheckPlain(tail);
    header.times = ContainerFormat::TimesPlain(
        ContainerFormat::EncryptionTimeValue(QDateTime::currentDateTime()), modified);
    header.passwordCheck = ContainerFormat::PasswordCheckPlain(MsgB(7));
    if (encipherField(&header.tailCheck, slot, 354) || encipherField(&header.times, slot, 355) ||
        encipherField(&header.passwordCheck, slot, 356) || encipherField(&nameBlock, slot, 357)) {
        return Result::Failed;
    }

    const QByteArray placeholder(ContainerFormat::HeaderSize, '\0');
    if (!WriteAll(m_target, placeholder.constData(), placeholder.size()) ||
        !WriteAll(m_target, nameBlock.constData(), nameBlock.size())) {
        return Result::WriteError;
    }
    if (m_engine.BeginChain(Direction::Encipher, slot) != 0) {
        return Result::Failed;
    }
    if (::lseek(m_source, 0, SEEK_SET) < 0) {
        ShowEngineError(MsgA(358) + ErrnoText(errno));
        return Result::ReadError;
    }
    m_slot = slot;
    m_bodyOffset = ContainerFormat::HeaderSize + nameBlock.size();
    if (const int rc = compressBody(plainSize)) {
        return rc;
    }

    header.fillCount = quint16(m_fillCount);
    QByteArray image = ContainerFormat::BuildHeaderImage(header);
    if (m_engine.BeginChain(Direction::Encipher, CryptEngine::IntrinsicSlotName) != 0 ||
        m_engine.ContinueChain(Direction::Encipher, image.data(), image.size()) != 0) {
        return Result::WriteError;
    }
    if (::lseek(m_target, 0, SEEK_SET) < 0) {
        ShowEngineError(MsgA(359) + ErrnoText(errno));
        return Result::WriteError;
    }
    if (!WriteAll(m_target, image.constData(), image.size())) {
        ShowEngineError(MsgA(360) + ErrnoText(errno));
        return Result::WriteError;
    }
    *written = ContainerFormat::HeaderSize + nameBlock.size() + m_bodyBytes;
    return 0;
}

int EncryptStreamRun::compressBody(qint64 plainSize)
{
    const int workers = m_crypt.compressionThreads();
    if (workers > 1 && plainSize >= ParallelThreshold) {
        return compressInParallel(plainSize, workers);
    }
    return compressSerially(plainSize);
}

int EncryptStreamRun::compressInParallel(qint64 plainSize, int workers)
{
    m_plainSize = plainSize;
    m_gathered = 0;
    startVerifier();
    ParallelDeflate deflate(workers);
    qint64 bytesRead = 0;
    if (const int rc = deflate.run(m_source, *this, &bytesRead)) {
        return rc;
    }
    if (m_gathered > 0) {
        if (const int w = writeChunk(m_output.get(), m_gathered)) {
            return w;
        }
    }
    if (const int rc = finishBody(bytesRead, plainSize)) {
        return rc;
    }
    const bool matched = m_verifier->finish(m_bodyBytes, m_fillCount, plainSize);
    m_crypt.m_followedBody =
        matched ? ContainerCrypt::FollowedBody::Matched : ContainerCrypt::FollowedBody::Differed;
    m_crypt.m_followedPlainSize = plainSize;
    m_crypt.m_followedFillCount = m_fillCount;
    return Result::Ok;
}

void EncryptStreamRun::startVerifier()
{
    const KeySlot& key = m_engine.slot(m_engine.findSlot(m_slot)); // selected already, so present
    m_verifier = std::make_unique<BodyVerifier>(m_target, m_bodyOffset, key.key, key.iv, m_source);
}

int EncryptStreamRun::put(const unsigned char* data, std::size_t length)
{
    while (length > 0) {
        const int take = int(std::min<std::size_t>(length, size_t(ChunkSize - m_gathered)));
        std::memcpy(m_output.get() + m_gathered, data, size_t(take));
        m_gathered += take;
        data += take;
        length -= size_t(take);
        if (m_gathered == ChunkSize) {
            m_gathered = 0;
            if (const int w = writeChunk(m_output.get(), ChunkSize)) {
                return w;
            }
        }
    }
    return Result::Ok;
}

int EncryptStreamRun::blockDone(qint64 consumed)
{
    PumpMessages();
    m_crypt.reportProgress(consumed, m_plainSize);
    return MainWindowServices::instance().CancelRequested() ? Result::Cancelled : Result::Ok;
}

int EncryptStreamRun::compressSerially(qint64 plainSize)
{
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) {
        ShowEngineError(MsgA(363) + ZlibText(z.msg));
        return Result::Failed;
    }
    auto fail = [&z](int rc) {
        deflateEnd(&z);
        return rc;
    };
    MainWindowServices& services = MainWindowServices::instance();
    qint64 bytesRead = 0;
    int flush = Z_NO_FLUSH;
    z.next_out = m_output.get();
    z.avail_out = ChunkSize;
    for (;;) {
        if (z.avail_in == 0 && flush != Z_FINISH) {
            PumpMessages();
            m_crypt.reportProgress(bytesRead, plainSize);
            const qint64 n = ReadUpTo(m_source, m_input.get(), ChunkSize);
            if (n < 0) {
                return fail(Result::ReadError);
            }
            bytesRead += n;
            z.next_in = m_input.get();
            z.avail_in = uInt(n);
            if (n < ChunkSize) {
                flush = Z_FINISH;
            }
        }
        const int rc = deflate(&z, flush);
        if (rc == Z_STREAM_END) {
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            ShowEngineError(MsgA(364) + ZlibText(z.msg));
            return fail(Result::Failed);
        }
        if (services.CancelRequested()) {
            return fail(Result::Cancelled);
        }
        if (z.avail_out == 0) {
            if (const int w = writeChunk(m_output.get(), ChunkSize)) {
                return fail(w);
            }
            z.next_out = m_output.get();
            z.avail_out = ChunkSize;
        }
    }
    const int remaining = ChunkSize - int(z.avail_out);
    if (remaining > 0) {
        if (const int w = writeChunk(m_output.get(), remaining)) {
            return fail(w);
        }
    }
    if (deflateEnd(&z) != Z_OK) {
        ShowEngineError(MsgA(365) + ZlibText(z.msg));
        return Result::Failed;
    }
    return finishBody(bytesRead, plainSize);
}

// The whole file must have been read: a file that grew or shrank meanwhile is refused.
int EncryptStreamRun::finishBody(qint64 bytesRead, qint64 plainSize)
{
    m_crypt.reportProgress(bytesRead, plainSize);
    if (bytesRead != plainSize) {
        ShowEngineError(MsgA(366) + QStringLiteral("（%1,%2）").arg(plainSize).arg(bytesRead));
        return Result::Failed;
    }
    return 0;
}

int EncryptStreamRun::writeChunk(unsigned char* chunk, int length)
{
    const int padded = (length + 15) / 16 * 16;
    m_fillCount = padded - length;
    std::memset(chunk + length, ContainerFormat::FillByte, size_t(m_fillCount));
    if (m_engine.ContinueChain(Direction::Encipher, chunk, m_enciphered.get(), padded) != 0) {
        ShowEngineError(MsgA(367));
        return Result::Failed;
    }
    if (!WriteAll(m_target, m_enciphered.get(), padded)) {
        return Result::WriteError;
    }
    m_bodyBytes += padded;
    if (m_verifier) {
        m_verifier->written(m_bodyBytes);
    }
    return 0;
}

int ContainerCrypt::compressionThreads() const
{
    return m_compressionThreads > 0 ? m_compressionThreads : QThread::idealThreadCount();
}

int ContainerCrypt::encryptStream(int source, int target, const QString& plainName, const QString& slot,
                                  qint64* written)
{
    EncryptStreamRun run(*this, source, target);
    return run.run(plainName, slot, written);
}
