#include "engine/CryptEngine.h"

#include "engine/EngineLock.h"
#include "engine/FormatConstants.h"
#include "util/AnsiText.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

const QString CryptEngine::IntrinsicSlotName = QStringLiteral("<koyu>");
const QString CryptEngine::TemporarySlotName = QStringLiteral("<temp>");

namespace {

QByteArray keyDerivationText()
{
    using namespace FormatConstants;
    const QString first = QString::fromUtf16(kConstantTextFirst);
    const QString second = QString::fromUtf16(kConstantTextSecond);
    const QString third = QString::fromUtf16(kConstantTextThird);
    QByteArray text = CryptEngine::PasswordToBytes(first + second + third + second + first + third);
    text.truncate(CryptEngine::MaxPasswordBytes);
    return text;
}

// SHA-256 of a ‖ b into out.
bool sha256(const QByteArray& a, const QByteArray& b, std::uint8_t (&out)[32])
{
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    unsigned int length = 0;
    const bool ok = md && EVP_DigestInit_ex(md, EVP_sha256(), nullptr) == 1 &&
                    EVP_DigestUpdate(md, a.constData(), static_cast<size_t>(a.size())) == 1 &&
                    EVP_DigestUpdate(md, b.constData(), static_cast<size_t>(b.size())) == 1 &&
                    EVP_DigestFinal_ex(md, out, &length) == 1 && length == 32;
    EVP_MD_CTX_free(md);
    return ok;
}

void showError(int message)
{
    ShowMessage(MsgA(message), MessageStyle::error());
}

} // namespace

CryptEngine::CryptEngine()
    : m_derivationText(keyDerivationText()), m_encipher(EVP_CIPHER_CTX_new()),
      m_decipher(EVP_CIPHER_CTX_new())
{
    ResetKeySlots();
}

CryptEngine::~CryptEngine()
{
    for (KeySlot& s : m_slots) {
        freeSlot(s);
    }
    EVP_CIPHER_CTX_free(m_encipher); // cleans the key schedule as well
    EVP_CIPHER_CTX_free(m_decipher);
}

CryptEngine& CryptEngine::instance()
{
    static CryptEngine engine;
    return engine;
}

void CryptEngine::ResetKeySlots()
{
    for (KeySlot& s : m_slots) {
        freeSlot(s);
    }
    m_engineBusy = false;
}

void CryptEngine::freeSlot(KeySlot& s)
{
    SecureWipe(s.key.data(), s.key.size());
    SecureWipe(s.iv.data(), s.iv.size());
    s.name.clear();
    s.hint.clear();
    s.key = FormatConstants::kFreeSlotKey;
    s.iv = FormatConstants::kFreeSlotIv;
}

int CryptEngine::SetIntrinsicKey()
{
    QString passphrase = MsgB(IntrinsicPassphraseMessage);
    const int rc = SetIntrinsicKey(passphrase);
    SecureWipe(passphrase);
    return rc;
}

int CryptEngine::SetIntrinsicKey(const QString& passphrase)
{
    QByteArray bytes = PasswordToBytes(passphrase);
    const int rc = SetKeySlot(bytes, IntrinsicSlotName, QString());
    SecureWipe(bytes);
    return rc;
}

QByteArray CryptEngine::PasswordToBytes(const QString& password)
{
    return ToAnsiBytes(password);
}

int CryptEngine::DeriveKeyAndIv(const QByteArray& password, AesKey& key, AesIv& iv)
{
    if (password.size() > MaxPasswordBytes) {
        ShowMessage(MsgA(409), MessageStyle::warning());
        return Result::Failed;
    }
    QByteArray padded = password;
    padded.append(QByteArray(MaxPasswordBytes - password.size(), FormatConstants::kPasswordFiller));

    std::uint8_t digest[32];
    if (!sha256(padded, m_derivationText, digest)) {
        SecureWipe(padded);
        SecureWipe(digest, sizeof digest);
        showError(410);
        return Result::Failed;
    }
    SecureWipe(padded);
    std::memcpy(key.data(), digest, key.size());

    // The IV comes from the key with its last three bytes replaced by the salt.
    QByteArray ivInput(reinterpret_cast<const char*>(digest), 32);
    std::memcpy(ivInput.data() + 32 - FormatConstants::kIvSaltLength, FormatConstants::kIvSaltText,
                FormatConstants::kIvSaltLength);
    const bool ok = sha256(ivInput, m_derivationText, digest);
    SecureWipe(ivInput);
    if (!ok) {
        SecureWipe(digest, sizeof digest);
        SecureWipe(key.data(), key.size());
        showError(411);
        return Result::Failed;
    }
    std::memcpy(iv.data(), digest, iv.size());
    SecureWipe(digest, sizeof digest);
    return 0;
}

int CryptEngine::chooseSlot(const QString& name) const
{
    if (name == IntrinsicSlotName) {
        return IntrinsicSlot;
    }
    if (name == TemporarySlotName) {
        return TemporarySlot;
    }
    for (int i = FirstFolderSlot; i < SlotCount; ++i) {
        if (m_slots[i].isFree()) {
            return i;
        }
    }
    return -1;
}

int CryptEngine::SetKeySlot(const QByteArray& password, const QString& name, const QString& hint)
{
    if (password.size() > MaxPasswordBytes) {
        ShowMessage(MsgA(409), MessageStyle::warning());
        return Result::Failed;
    }
    if (hint.size() > KeySlot::HintLength) {
        // Callers keep hints within the header field; a longer one is refused, not cut.
        ShowMessage(MsgA(515) + QString::number(KeySlot::HintLength) + MsgA(516), MessageStyle::warning());
        return Result::Failed;
    }
    AesKey key{};
    AesIv iv{};
    if (DeriveKeyAndIv(password, key, iv) != 0) {
        return Result::Failed;
    }
    // A name already in a folder slot keeps that slot: a second login replaces the key
    // instead of leaving a second copy behind that a logout would not free.
    int index = name == IntrinsicSlotName || name == TemporarySlotName ? chooseSlot(name) : findSlot(name);
    if (index < 0) {
        index = chooseSlot(name);
    }
    if (index < 0) {
        SecureWipe(key.data(), key.size());
        SecureWipe(iv.data(), iv.size());
        showError(412);
        return Result::Failed;
    }
    KeySlot& s = m_slots[static_cast<std::size_t>(index)];
    freeSlot(s);
    s.name = name;
    s.key = key;
    s.iv = iv;
    s.hint = hint;
    SecureWipe(key.data(), key.size());
    SecureWipe(iv.data(), iv.size());
    return 0;
}

QString CryptEngine::SetTemporaryKey(const QString& password, const QString& hint)
{
    QByteArray bytes = PasswordToBytes(password);
    const int rc = SetKeySlot(bytes, TemporarySlotName, hint);
    SecureWipe(bytes);
    return rc == 0 ? TemporarySlotName : QString();
}

QString CryptEngine::SetTemporaryKeyRaw(const QByteArray& password)
{
    return SetKeySlot(password, TemporarySlotName, QString()) == 0 ? TemporarySlotName : QString();
}

QString CryptEngine::SetTemporaryKeyFrom(const KeySlot& source)
{
    if (source.isFree()) {
        return QString();
    }
    KeySlot& s = m_slots[TemporarySlot];
    freeSlot(s);
    s.name = TemporarySlotName;
    s.key = source.key;
    s.iv = source.iv;
    s.hint = source.hint;
    return TemporarySlotName;
}

int CryptEngine::findSlot(const QString& name) const
{
    if (name.isEmpty()) {
        return -1;
    }
    for (int i = 0; i < SlotCount; ++i) {
        if (m_slots[static_cast<std::size_t>(i)].name == name) {
            return i;
        }
    }
    return -1;
}

int CryptEngine::IsKeySlotSet(const QString& name) const
{
    return findSlot(name) >= 0 ? 0 : -1;
}

void CryptEngine::ClearKeySlot(const QString& name)
{
    if (name.isEmpty()) {
        return;
    }
    for (KeySlot& s : m_slots) {
        if (s.name == name) {
            freeSlot(s);
        }
    }
}

EVP_CIPHER_CTX* CryptEngine::context(Direction direction) const
{
    return direction == Direction::Encipher ? m_encipher : m_decipher;
}

int CryptEngine::SelectKey(Direction direction, const QString& name, AesIv* iv, QString* hint)
{
    const int index = findSlot(name);
    if (index < 0) {
        showError(337);
        return Result::Failed;
    }
    const KeySlot& s = m_slots[static_cast<std::size_t>(index)];
    EVP_CIPHER_CTX* ctx = context(direction);
    const int enc = direction == Direction::Encipher ? 1 : 0;
    if (!ctx || EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, s.key.data(), s.iv.data(), enc) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx, 0) != 1) {
        showError(338);
        return Result::Failed;
    }
    if (iv) {
        *iv = s.iv;
    }
    if (hint) {
        *hint = s.hint;
    }
    return 0;
}

int CryptEngine::BeginChain(Direction direction, const QString& name, const AesIv* iv, QString* hint)
{
    AesIv slotIv{};
    if (SelectKey(direction, name, &slotIv, hint) != 0) {
        return Result::Failed;
    }
    const AesIv& start = iv ? *iv : slotIv;
    const int enc = direction == Direction::Encipher ? 1 : 0;
    const int rc = EVP_CipherInit_ex(context(direction), nullptr, nullptr, nullptr, start.data(), enc);
    SecureWipe(slotIv.data(), slotIv.size());
    if (rc != 1) {
        showError(direction == Direction::Encipher ? 405 : 408);
        return Result::Failed;
    }
    return 0;
}

int CryptEngine::ContinueChain(Direction direction, void* buffer, qint64 length)
{
    if (length <= 0 || length % BlockSize != 0) {
        return ContinueChain(direction, buffer, buffer, length); // refuses or does nothing
    }
    // The result goes to a buffer of its own and is copied back only when every block
    // succeeded, so a failure leaves the caller's buffer as it was.
    std::vector<std::uint8_t> out(static_cast<std::size_t>(length));
    const int rc = ContinueChain(direction, buffer, out.data(), length);
    if (rc == 0) {
        std::memcpy(buffer, out.data(), out.size());
    }
    SecureWipe(out);
    return rc;
}

int CryptEngine::ContinueChain(Direction direction, const void* in, void* out, qint64 length)
{
    const bool encipher = direction == Direction::Encipher;
    if (length < 0 || length % BlockSize != 0) {
        showError(encipher ? 404 : 407);
        return Result::Failed;
    }
    auto* source = static_cast<const std::uint8_t*>(in);
    auto* target = static_cast<std::uint8_t*>(out);
    constexpr qint64 slice = 1 << 20;
    for (qint64 done = 0; done < length;) {
        const int part = static_cast<int>(std::min(slice, length - done));
        int written = 0;
        if (EVP_CipherUpdate(context(direction), target + done, &written, source + done, part) != 1 ||
            written != part) {
            showError(encipher ? 405 : 408);
            return Result::Failed;
        }
        done += part;
    }
    return 0;
}

int CryptEngine::cipherBuffer(Direction direction, void* buffer, qint64 length, const QString& name,
                              const AesIv* iv)
{
    const bool encipher = direction == Direction::Encipher;
    EngineLock lock(*this, encipher ? 403 : 406);
    if (!lock.acquired()) {
        return Result::Failed;
    }
    if (length < 0 || length % BlockSize != 0) {
        showError(encipher ? 404 : 407);
        return Result::Failed;
    }
    if (BeginChain(direction, name, iv) != 0) {
        return Result::Failed;
    }
    return ContinueChain(direction, buffer, length);
}

int CryptEngine::EncipherBuffer(void* buffer, qint64 length, const QString& name)
{
    return cipherBuffer(Direction::Encipher, buffer, length, name, nullptr);
}

int CryptEngine::DecipherBuffer(void* buffer, qint64 length, const QString& name, const AesIv* iv)
{
    return cipherBuffer(Direction::Decipher, buffer, length, name, iv);
}

int CryptEngine::EncipherWithIntrinsicKey(void* buffer, qint64 length)
{
    return EncipherBuffer(buffer, length, IntrinsicSlotName);
}

int CryptEngine::DecipherWithIntrinsicKey(void* buffer, qint64 length)
{
    return DecipherBuffer(buffer, length, IntrinsicSlotName);
}
