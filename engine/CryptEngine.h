#pragma once

#include "engine/KeySlot.h"

#include <QByteArray>
#include <QString>

#include <array>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

// Derives AES-256 keys from passwords, keeps the keys in use in a fixed table of named slots,
// and enciphers and deciphers buffers with them (CBC, no padding of its own).
//
// Slot 0 holds the program's own key "<koyu>", slot 1 the one-operation key "<temp>", slots
// 5 to 104 the folder keys named by their root path. Keys live only in memory and are wiped
// whenever a slot is freed, reset or overwritten.
//
// Every operation returns 0 on success and -1 on failure, after showing its message.
class CryptEngine
{
public:
    static constexpr int SlotCount = 105;
    static constexpr int IntrinsicSlot = 0;
    static constexpr int TemporarySlot = 1;
    static constexpr int FirstFolderSlot = 5;
    static constexpr int MaxPasswordBytes = 32;
    static constexpr int BlockSize = 16;
    static constexpr int IntrinsicPassphraseMessage = 1; // catalogue B

    static const QString IntrinsicSlotName; // "<koyu>"
    static const QString TemporarySlotName; // "<temp>"

    enum class Direction
    {
        Encipher,
        Decipher,
    };

    CryptEngine();
    ~CryptEngine();
    CryptEngine(const CryptEngine&) = delete;
    CryptEngine& operator=(const CryptEngine&) = delete;

    // The process-wide engine.
    static CryptEngine& instance();

    void ResetKeySlots();
    // Derives the program's own key from the passphrase of catalogue entry B-1.
    int SetIntrinsicKey();
    int SetIntrinsicKey(const QString& passphrase);

    // The password in code page 932, whatever the locale; no terminator. May be longer than 32
    // bytes: the key operations refuse such passwords.
    static QByteArray PasswordToBytes(const QString& password);
    int DeriveKeyAndIv(const QByteArray& password, AesKey& key, AesIv& iv);

    int SetKeySlot(const QByteArray& password, const QString& name, const QString& hint);
    // Both return the slot name "<temp>" for the caller to pass on, or an empty text on failure.
    QString SetTemporaryKey(const QString& password, const QString& hint);
    QString SetTemporaryKeyRaw(const QByteArray& password);
    // A copy of another table's key (key, IV and hint) in the one-operation slot, for a worker
    // with an engine of its own; "<temp>", or an empty text (nothing shown) when the slot given
    // is free.
    QString SetTemporaryKeyFrom(const KeySlot& source);
    // 0 when a slot of that name exists, -1 when not; shows nothing.
    int IsKeySlotSet(const QString& name) const;
    // Frees every slot of that name.
    void ClearKeySlot(const QString& name);

    // Loads the slot's key into the encipher or decipher context; hands back its IV and hint.
    int SelectKey(Direction direction, const QString& name, AesIv* iv = nullptr, QString* hint = nullptr);

    // One CBC chain over the whole buffer from the slot's IV (or the given IV when deciphering).
    // Both take the engine lock; the length must be a multiple of 16 (0 changes nothing).
    int EncipherBuffer(void* buffer, qint64 length, const QString& name);
    int DecipherBuffer(void* buffer, qint64 length, const QString& name, const AesIv* iv = nullptr);
    int EncipherWithIntrinsicKey(void* buffer, qint64 length);
    int DecipherWithIntrinsicKey(void* buffer, qint64 length);

    // The unguarded core, for work that already holds the engine lock. BeginChain selects the
    // key and starts a chain from the slot's IV (or the given one); ContinueChain carries the
    // chain on over the next buffer, so a file can be processed chunk by chunk as one chain.
    int BeginChain(Direction direction, const QString& name, const AesIv* iv = nullptr,
                   QString* hint = nullptr);
    int ContinueChain(Direction direction, void* buffer, qint64 length);
    // The same from `in` into a separate buffer `out` of the same length (no copy of its own).
    int ContinueChain(Direction direction, const void* in, void* out, qint64 length);

    // The engine lock (EngineBusy). Use EngineLock rather than these.
    bool isEngineBusy() const { return m_engineBusy; }
    void setEngineBusy(bool busy) { m_engineBusy = busy; }

    // Read access for inspection and tests.
    const KeySlot& slot(int index) const { return m_slots.at(static_cast<std::size_t>(index)); }
    int findSlot(const QString& name) const;

private:
    void freeSlot(KeySlot& slot);
    int chooseSlot(const QString& name) const;
    EVP_CIPHER_CTX* context(Direction direction) const;
    int cipherBuffer(Direction direction, void* buffer, qint64 length, const QString& name, const AesIv* iv);

    std::array<KeySlot, SlotCount> m_slots;
    QByteArray m_derivationText;
    EVP_CIPHER_CTX* m_encipher = nullptr;
    EVP_CIPHER_CTX* m_decipher = nullptr;
    bool m_engineBusy = false;
};
