// The verifier thread follows the writer: it takes only what the writer has reported written,
// and keeps back the last cipher block until the body is complete, because only then is it
// known how many of its bytes are fill.

#include "engine/BodyVerifier.h"

#include "engine/ContainerCrypt.h"
#include "engine/NamedThread.h"
#include "util/EventPump.h"
#include "util/SecureWipe.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ChunkSize = ContainerCrypt::ChunkSize;
constexpr qint64 HeldBack = 16; // the last cipher block, which holds the fill

bool readAt(int fd, unsigned char* buffer, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t n = ::pread(fd, buffer, size_t(length), off_t(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        buffer += n;
        offset += n;
        length -= n;
    }
    return true;
}

// Deciphers and inflates the body piece by piece and compares what comes out with the source.
class BodyCheck
{
public:
    BodyCheck(const AesKey& key, const AesIv& iv, int source)
        : m_cipher(EVP_CIPHER_CTX_new()), m_source(source), m_plain(ChunkSize), m_inflated(ChunkSize),
          m_original(ChunkSize)
    {
        m_ready = m_cipher &&
                  EVP_DecryptInit_ex(m_cipher, EVP_aes_256_cbc(), nullptr, key.data(), iv.data()) == 1 &&
                  EVP_CIPHER_CTX_set_padding(m_cipher, 0) == 1 && inflateInit(&m_z) == Z_OK;
    }
    ~BodyCheck()
    {
        inflateEnd(&m_z);
        EVP_CIPHER_CTX_free(m_cipher);
        SecureWipe(m_plain.data(), m_plain.size());
        SecureWipe(m_inflated.data(), m_inflated.size());
        SecureWipe(m_original.data(), m_original.size());
    }

    // One enciphered piece (whole cipher blocks), of which the last `fill` bytes are fill.
    bool take(const unsigned char* enciphered, int length, int fill)
    {
        int deciphered = 0;
        if (!m_ready || fill > length ||
            EVP_DecryptUpdate(m_cipher, m_plain.data(), &deciphered, enciphered, length) != 1 ||
            deciphered != length) {
            return false;
        }
        if (m_ended) {
            return length == fill; // nothing may follow the end of the stream
        }
        m_z.next_in = m_plain.data();
        m_z.avail_in = uInt(length - fill);
        do {
            m_z.next_out = m_inflated.data();
            m_z.avail_out = ChunkSize;
            const int rc = inflate(&m_z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
                return false;
            }
            const qint64 produced = ChunkSize - qint64(m_z.avail_out);
            if (produced > 0 && !matchesSource(produced)) {
                return false;
            }
            if (rc == Z_STREAM_END) {
                m_ended = true;
                return m_z.avail_in == 0;
            }
            if (rc == Z_BUF_ERROR) {
                break;
            }
        } while (m_z.avail_in > 0 || m_z.avail_out == 0);
        return true;
    }

    bool complete(qint64 plainSize) const { return m_ended && m_produced == plainSize; }

private:
    bool matchesSource(qint64 length)
    {
        if (!readAt(m_source, m_original.data(), length, m_produced) ||
            std::memcmp(m_original.data(), m_inflated.data(), size_t(length)) != 0) {
            return false;
        }
        m_produced += length;
        return true;
    }

    EVP_CIPHER_CTX* m_cipher;
    z_stream m_z{};
    int m_source;
    std::vector<unsigned char> m_plain;
    std::vector<unsigned char> m_inflated;
    std::vector<unsigned char> m_original;
    qint64 m_produced = 0;
    bool m_ended = false;
    bool m_ready = false;
};

} // namespace

struct BodyVerifier::State
{
    int container;
    qint64 bodyOffset;
    AesKey key;
    AesIv iv;
    int source;

    std::mutex mutex;
    std::condition_variable progressed; // the writer moved on, finished or stopped us
    std::condition_variable checked;    // the result is there
    qint64 written = 0;
    bool finished = false;
    bool stopped = false;
    qint64 total = 0;
    int fill = 0;
    qint64 plainSize = 0;
    bool resultReady = false;
    bool result = false;
    std::thread thread;

    bool check();
    void run()
    {
        const bool ok = check();
        {
            std::lock_guard<std::mutex> lock(mutex);
            result = ok;
            resultReady = true;
        }
        checked.notify_all();
    }
};

bool BodyVerifier::State::check()
{
    BodyCheck body(key, iv, source);
    std::vector<unsigned char> enciphered(ChunkSize);
    qint64 done = 0;
    for (;;) {
        qint64 limit = 0;
        bool last = false;
        {
            std::unique_lock<std::mutex> lock(mutex);
            progressed.wait(lock, [&] { return stopped || finished || written - HeldBack > done; });
            if (stopped) {
                return false;
            }
            last = finished;
            limit = finished ? total : written - HeldBack;
        }
        if (done >= limit) {
            return last && done == limit && body.complete(plainSize);
        }
        const int length = int(std::min<qint64>(ChunkSize, limit - done));
        if (!readAt(container, enciphered.data(), length, bodyOffset + done)) {
            return false;
        }
        done += length;
        if (!body.take(enciphered.data(), length, last && done == limit ? fill : 0)) {
            return false;
        }
    }
}

BodyVerifier::BodyVerifier(int container, qint64 bodyOffset, const AesKey& key, const AesIv& iv, int source)
    : m_state(new State{container, bodyOffset, key, iv, source})
{
    m_state->thread = StartNamedThread("kbx-verify", [state = m_state.get()] { state->run(); });
}

BodyVerifier::~BodyVerifier()
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->stopped = true;
    }
    m_state->progressed.notify_all();
    m_state->thread.join();
    SecureWipe(m_state->key.data(), m_state->key.size());
    SecureWipe(m_state->iv.data(), m_state->iv.size());
}

void BodyVerifier::written(qint64 bodyBytes)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->written = bodyBytes;
    }
    m_state->progressed.notify_all();
}

bool BodyVerifier::finish(qint64 bodyBytes, int fillCount, qint64 plainSize)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->finished = true;
        m_state->total = bodyBytes;
        m_state->fill = fillCount;
        m_state->plainSize = plainSize;
    }
    m_state->progressed.notify_all();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_state->mutex);
            if (m_state->checked.wait_for(lock, std::chrono::milliseconds(20),
                                          [this] { return m_state->resultReady; })) {
                return m_state->result;
            }
        }
        PumpMessages();
    }
}
