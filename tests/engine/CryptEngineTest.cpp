#include "engine/CryptEngine.h"

#include "engine/FormatConstants.h"
#include "support/RecordingMessageService.h"
#include "util/MessageText.h"

#include <QTimer>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>

namespace {

QByteArray hex(const QByteArray& bytes)
{
    return bytes.toHex();
}

template <std::size_t N>
QByteArray bytesOf(const std::array<std::uint8_t, N>& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.data()), N);
}

QByteArray sha256(const QByteArray& data)
{
    unsigned char out[32];
    unsigned int length = 0;
    EVP_Digest(data.constData(), static_cast<size_t>(data.size()), out, &length, EVP_sha256(), nullptr);
    return QByteArray(reinterpret_cast<char*>(out), 32);
}

// The derivation written out from its definition, independently of the engine.
void referenceDerive(const QByteArray& password, QByteArray* key, QByteArray* iv)
{
    using namespace FormatConstants;
    const QString a = QString::fromUtf16(kConstantTextFirst);
    const QString b = QString::fromUtf16(kConstantTextSecond);
    const QString c = QString::fromUtf16(kConstantTextThird);
    const QByteArray text = (a + b + c + b + a + c).toLatin1();
    QByteArray p = password + QByteArray(32 - password.size(), ' ');
    *key = sha256(p + text);
    *iv = sha256(key->left(29) + QByteArray(kIvSaltText, 3) + text).left(16);
}

// CBC by hand from single AES blocks: the reference for the engine's chained cipher.
QByteArray referenceCbc(const QByteArray& key, const QByteArray& iv, const QByteArray& data, bool encipher)
{
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_256_ecb(), nullptr,
                      reinterpret_cast<const unsigned char*>(key.constData()), nullptr, encipher ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    QByteArray out(data.size(), '\0');
    QByteArray chain = iv;
    for (qsizetype off = 0; off < data.size(); off += 16) {
        unsigned char in[16], res[16];
        int len = 0;
        std::memcpy(in, data.constData() + off, 16);
        if (encipher) {
            for (int i = 0; i < 16; ++i) {
                in[i] ^= static_cast<unsigned char>(chain[i]);
            }
        }
        EVP_CipherUpdate(ctx, res, &len, in, 16);
        if (!encipher) {
            for (int i = 0; i < 16; ++i) {
                res[i] ^= static_cast<unsigned char>(chain[i]);
            }
            chain = data.mid(off, 16);
        } else {
            chain = QByteArray(reinterpret_cast<char*>(res), 16);
        }
        std::memcpy(out.data() + off, res, 16);
    }
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

QByteArray patternBytes(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 131 + 7) & 0xff);
    }
    return data;
}

class CryptEngineTest : public ::testing::Test
{
protected:
    CryptEngine engine;
    RecordingMessageService messages;
};

} // namespace

TEST_F(CryptEngineTest, DerivesKeyAndIvAsDefined)
{
    const QList<QByteArray> passwords = {QByteArray(), QByteArray("Secret-pass1"), QByteArray(32, 'x'),
                                         CryptEngine::PasswordToBytes(QString(16, QChar(0x3042)))};
    for (const QByteArray& password : passwords) {
        AesKey key{};
        AesIv iv{};
        ASSERT_EQ(engine.DeriveKeyAndIv(password, key, iv), 0) << password.toHex().constData();
        QByteArray expectedKey, expectedIv;
        referenceDerive(password, &expectedKey, &expectedIv);
        EXPECT_EQ(hex(bytesOf(key)), hex(expectedKey));
        EXPECT_EQ(hex(bytesOf(iv)), hex(expectedIv));
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

// Keys from these values are in every container ever written: they must never change.
TEST_F(CryptEngineTest, DerivationIsPinned)
{
    AesKey key{};
    AesIv iv{};
    ASSERT_EQ(engine.DeriveKeyAndIv(QByteArray("password"), key, iv), 0);
    EXPECT_EQ(hex(bytesOf(key)),
              QByteArray("1d5b96059cb8cf8fb5ec2479a2d1dab1cd9db6c36d50a80cda2b645ac20a4a97"));
    EXPECT_EQ(hex(bytesOf(iv)), QByteArray("3c7099e9e0f293e88261223ca7c4772c"));
}

TEST_F(CryptEngineTest, PasswordLengthLimits)
{
    struct Case
    {
        QString password;
        int bytes;
        int result;
    };
    const QList<Case> cases = {
        {QString(), 0, 0},
        {QString(32, QLatin1Char('a')), 32, 0},
        {QString(33, QLatin1Char('a')), 33, -1},
        {QString(16, QChar(0x3042)), 32, 0}, // 16 double-byte characters
        {QString(17, QChar(0x3042)), 34, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        messages.clear();
        const QByteArray bytes = CryptEngine::PasswordToBytes(c.password);
        EXPECT_EQ(bytes.size(), c.bytes);
        EXPECT_EQ(engine.SetKeySlot(bytes, QStringLiteral("/data/f"), QString()), c.result) << c.bytes;
        if (c.result == 0) {
            EXPECT_TRUE(messages.shown().isEmpty());
            engine.ClearKeySlot(QStringLiteral("/data/f"));
        } else {
            ASSERT_EQ(messages.texts(), QStringList{MsgA(409)});
            EXPECT_EQ(messages.shown().first().style.icon, MsgIcon::Warning);
            EXPECT_EQ(engine.IsKeySlotSet(QStringLiteral("/data/f")), -1);
        }
    }
}

TEST_F(CryptEngineTest, PasswordBytesUseCodePage932)
{
    EXPECT_EQ(CryptEngine::PasswordToBytes(QStringLiteral("Ab1!")), QByteArray("Ab1!"));
    EXPECT_EQ(CryptEngine::PasswordToBytes(QString::fromUtf8("あ")), QByteArray("\x82\xa0"));
    EXPECT_EQ(CryptEngine::PasswordToBytes(QString::fromUtf8("ｱ")), QByteArray("\xb1")); // half-width kana
    EXPECT_EQ(CryptEngine::PasswordToBytes(QString::fromUtf8("～")), QByteArray("\x81\x60"));
    EXPECT_EQ(CryptEngine::PasswordToBytes(QString::fromUtf8("a😀b")), QByteArray("a?b"));
}

TEST_F(CryptEngineTest, SlotsAreChosenByName)
{
    ASSERT_EQ(engine.SetIntrinsicKey(QStringLiteral("intrinsic")), 0);
    ASSERT_FALSE(engine.SetTemporaryKey(QStringLiteral("temp"), QStringLiteral("h")).isEmpty());
    ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/a"), QStringLiteral("hint a")), 0);
    ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/b"), QStringLiteral("hint b")), 0);

    EXPECT_EQ(engine.slot(0).name, CryptEngine::IntrinsicSlotName);
    EXPECT_EQ(engine.slot(1).name, CryptEngine::TemporarySlotName);
    for (int i = 2; i < 5; ++i) {
        EXPECT_TRUE(engine.slot(i).isFree());
    }
    EXPECT_EQ(engine.slot(5).name, QStringLiteral("/a"));
    EXPECT_EQ(engine.slot(6).name, QStringLiteral("/b"));
    // The same password gives the same key and IV; the slots differ by name and hint only.
    EXPECT_EQ(engine.slot(5).key, engine.slot(6).key);
    EXPECT_EQ(engine.slot(5).iv, engine.slot(6).iv);
    EXPECT_EQ(engine.slot(6).hint, QStringLiteral("hint b"));

    // Names are compared exactly.
    EXPECT_EQ(engine.IsKeySlotSet(QStringLiteral("/A")), -1);
    EXPECT_EQ(engine.IsKeySlotSet(QStringLiteral("/a")), 0);

    engine.ResetKeySlots();
    for (int i = 0; i < CryptEngine::SlotCount; ++i) {
        EXPECT_TRUE(engine.slot(i).isFree());
        EXPECT_EQ(engine.slot(i).key, FormatConstants::kFreeSlotKey);
    }
}

TEST_F(CryptEngineTest, HundredFolderSlotsThenRefused)
{
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/f%1").arg(i), QString()), 0);
    }
    EXPECT_EQ(engine.SetKeySlot("pw", QStringLiteral("/f100"), QString()), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(412)});
    EXPECT_EQ(engine.IsKeySlotSet(QStringLiteral("/f100")), -1);
    // The program's own slots stay available when the folder slots are full.
    EXPECT_EQ(engine.SetKeySlot("pw", CryptEngine::TemporarySlotName, QString()), 0);
}

TEST_F(CryptEngineTest, LogoutForgetsTheKeyEvenAfterASecondLogin)
{
    const QString folder = QStringLiteral("/home/u/secret");
    ASSERT_EQ(engine.SetKeySlot("first", folder, QString()), 0);
    ASSERT_EQ(engine.SetKeySlot("second", folder, QString()), 0);

    // The newer password is the one in use.
    AesKey expected{};
    AesIv iv{};
    ASSERT_EQ(engine.DeriveKeyAndIv("second", expected, iv), 0);
    EXPECT_EQ(engine.slot(engine.findSlot(folder)).key, expected);

    engine.ClearKeySlot(folder);
    EXPECT_EQ(engine.IsKeySlotSet(folder), -1);
    for (int i = 0; i < CryptEngine::SlotCount; ++i) {
        EXPECT_NE(engine.slot(i).key, expected) << "key still in slot " << i;
    }

    QByteArray buffer(16, 'x');
    EXPECT_EQ(engine.EncipherBuffer(buffer.data(), buffer.size(), folder), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(337)});
    EXPECT_EQ(buffer, QByteArray(16, 'x'));
}

TEST_F(CryptEngineTest, LongHintIsRefused)
{
    EXPECT_EQ(engine.SetKeySlot("pw", QStringLiteral("/a"), QString(48, QLatin1Char('h'))), 0);
    EXPECT_EQ(engine.SetKeySlot("pw", QStringLiteral("/b"), QString(49, QLatin1Char('h'))), -1);
    EXPECT_EQ(engine.IsKeySlotSet(QStringLiteral("/b")), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().text, MsgA(515) + QStringLiteral("48") + MsgA(516));
}

TEST_F(CryptEngineTest, ChainedCipherEqualsBlockByBlockCbc)
{
    ASSERT_EQ(engine.SetKeySlot("Kurabox-test-1", QStringLiteral("/f"), QString()), 0);
    const KeySlot& s = engine.slot(5);
    const QByteArray key = bytesOf(s.key);
    const QByteArray iv = bytesOf(s.iv);

    for (int size : {16, 48, 4096, 128000}) {
        const QByteArray plain = patternBytes(size);
        QByteArray buffer = plain;
        ASSERT_EQ(engine.EncipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f")), 0);
        EXPECT_EQ(buffer, referenceCbc(key, iv, plain, true)) << size;
        EXPECT_EQ(referenceCbc(key, iv, buffer, false), plain) << size;
        ASSERT_EQ(engine.DecipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f")), 0);
        EXPECT_EQ(buffer, plain) << size;
    }

    // A chain carried over several calls equals one chain over the whole buffer.
    const QByteArray plain = patternBytes(160);
    QByteArray pieces = plain;
    ASSERT_EQ(engine.BeginChain(CryptEngine::Direction::Encipher, QStringLiteral("/f")), 0);
    ASSERT_EQ(engine.ContinueChain(CryptEngine::Direction::Encipher, pieces.data(), 64), 0);
    ASSERT_EQ(engine.ContinueChain(CryptEngine::Direction::Encipher, pieces.data() + 64, 96), 0);
    EXPECT_EQ(pieces, referenceCbc(key, iv, plain, true));

    // Deciphering from a given IV.
    AesIv other{};
    other.fill(0x11);
    QByteArray buffer = referenceCbc(key, bytesOf(other), plain, true);
    ASSERT_EQ(engine.DecipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f"), &other), 0);
    EXPECT_EQ(buffer, plain);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(CryptEngineTest, IntrinsicKeyRoundTrip)
{
    ASSERT_EQ(engine.SetIntrinsicKey(QStringLiteral("program key")), 0);
    const QByteArray plain = patternBytes(384);
    QByteArray buffer = plain;
    ASSERT_EQ(engine.EncipherWithIntrinsicKey(buffer.data(), buffer.size()), 0);
    EXPECT_NE(buffer, plain);
    ASSERT_EQ(engine.DecipherWithIntrinsicKey(buffer.data(), buffer.size()), 0);
    EXPECT_EQ(buffer, plain);
}

TEST_F(CryptEngineTest, RefusesLengthsThatAreNotWholeBlocks)
{
    ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/f"), QString()), 0);
    QByteArray buffer = patternBytes(17);
    const QByteArray before = buffer;
    EXPECT_EQ(engine.EncipherBuffer(buffer.data(), 17, QStringLiteral("/f")), -1);
    EXPECT_EQ(engine.DecipherBuffer(buffer.data(), 17, QStringLiteral("/f")), -1);
    EXPECT_EQ(buffer, before);
    EXPECT_EQ(messages.texts(), (QStringList{MsgA(404), MsgA(407)}));
    EXPECT_EQ(messages.shown().first().style.icon, MsgIcon::Error);
    EXPECT_FALSE(engine.isEngineBusy());

    messages.clear();
    EXPECT_EQ(engine.EncipherBuffer(buffer.data(), 0, QStringLiteral("/f")), 0);
    EXPECT_EQ(buffer, before);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(CryptEngineTest, SecondTemporaryKeyReplacesTheFirst)
{
    const QString name = engine.SetTemporaryKey(QStringLiteral("first-password"), QString());
    ASSERT_EQ(name, CryptEngine::TemporarySlotName);
    QByteArray buffer = patternBytes(32);
    ASSERT_EQ(engine.EncipherBuffer(buffer.data(), buffer.size(), name), 0);

    ASSERT_EQ(engine.SetTemporaryKey(QStringLiteral("second-password"), QString()), name);
    QByteArray other = patternBytes(32);
    ASSERT_EQ(engine.EncipherBuffer(other.data(), other.size(), name), 0);
    EXPECT_NE(buffer, other);

    ASSERT_EQ(engine.SetTemporaryKeyRaw(QByteArray("first-password")), name);
    ASSERT_EQ(engine.DecipherBuffer(buffer.data(), buffer.size(), name), 0);
    EXPECT_EQ(buffer, patternBytes(32));
}

TEST_F(CryptEngineTest, KeyCopiedFromAnotherEngineDeciphersItsWork)
{
    ASSERT_EQ(engine.SetKeySlot("folder-password", QStringLiteral("/f"), QStringLiteral("hint")), 0);
    QByteArray buffer = patternBytes(48);
    ASSERT_EQ(engine.EncipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f")), 0);

    CryptEngine worker;
    EXPECT_TRUE(worker.SetTemporaryKeyFrom(worker.slot(CryptEngine::FirstFolderSlot)).isEmpty());
    const QString name = worker.SetTemporaryKeyFrom(engine.slot(engine.findSlot(QStringLiteral("/f"))));
    ASSERT_EQ(name, CryptEngine::TemporarySlotName);
    ASSERT_EQ(worker.DecipherBuffer(buffer.data(), buffer.size(), name), 0);
    EXPECT_EQ(buffer, patternBytes(48));
    QString hint;
    ASSERT_EQ(worker.SelectKey(CryptEngine::Direction::Decipher, name, nullptr, &hint), 0);
    EXPECT_EQ(hint, QStringLiteral("hint"));
}

TEST_F(CryptEngineTest, BusyEngineGivesUpAfterHundredWaits)
{
    ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/f"), QString()), 0);
    engine.setEngineBusy(true);
    QByteArray buffer = patternBytes(32);
    EXPECT_EQ(engine.DecipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f")), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(406)});
    EXPECT_EQ(messages.shown().first().style.icon, MsgIcon::Warning);
    EXPECT_EQ(buffer, patternBytes(32));
    // The flag belongs to the operation that holds it.
    EXPECT_TRUE(engine.isEngineBusy());
}

TEST_F(CryptEngineTest, WaitingCallRunsOnceTheEngineIsFree)
{
    ASSERT_EQ(engine.SetKeySlot("pw", QStringLiteral("/f"), QString()), 0);
    engine.setEngineBusy(true);
    // Events are dispatched while the call waits, so the holder can finish meanwhile.
    QTimer::singleShot(100, [this] { engine.setEngineBusy(false); });
    QByteArray buffer = patternBytes(32);
    EXPECT_EQ(engine.EncipherBuffer(buffer.data(), buffer.size(), QStringLiteral("/f")), 0);
    EXPECT_NE(buffer, patternBytes(32));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(engine.isEngineBusy());
}
