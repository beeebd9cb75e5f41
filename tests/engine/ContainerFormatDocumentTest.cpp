// A reader of containers written from docs/container-format.md alone, with OpenSSL and zlib and
// none of the engine's code: if the page and the engine ever part, this reader stops opening what
// the engine writes.

#include "engine/ContainerCrypt.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"
#include "util/MainWindowServices.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <cstring>

namespace {

struct DocumentedKey
{
    QByteArray key; // 32 bytes
    QByteArray iv;  // 16 bytes
};

QByteArray sha256(const QByteArray& data)
{
    unsigned char digest[32];
    unsigned int length = 0;
    EVP_Digest(data.constData(), size_t(data.size()), digest, &length, EVP_sha256(), nullptr);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length));
}

// "Keys": the password padded with spaces to 32 bytes, the derivation text, SHA-256 twice.
DocumentedKey deriveKey(const QByteArray& password)
{
    const QByteArray derivation = "Kr7qZUmi3580214Umi3Kr7qZ580214";
    const QByteArray padded = password + QByteArray(32 - password.size(), ' ');
    DocumentedKey k;
    k.key = sha256(padded + derivation);
    k.iv = sha256(k.key.left(29) + "kbV" + derivation).left(16);
    return k;
}

// One CBC chain from the key's IV, no padding.
QByteArray decipher(const DocumentedKey& k, const QByteArray& data)
{
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    QByteArray out(data.size() + 16, '\0');
    int length = 0;
    int final = 0;
    EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr,
                       reinterpret_cast<const unsigned char*>(k.key.constData()),
                       reinterpret_cast<const unsigned char*>(k.iv.constData()));
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &length,
                      reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + length, &final);
    EVP_CIPHER_CTX_free(ctx);
    out.truncate(length + final);
    return out;
}

QString utf16At(const QByteArray& bytes, int offset, int units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + offset), units);
}

template <typename T>
T numberAt(const QByteArray& bytes, int offset)
{
    T value;
    std::memcpy(&value, bytes.constData() + offset, sizeof value); // little-endian machine
    return value;
}

QByteArray inflateAll(const QByteArray& stream, bool* endedExactly)
{
    z_stream z{};
    inflateInit(&z);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData()));
    z.avail_in = uInt(stream.size());
    QByteArray out;
    int rc = Z_OK;
    while (rc == Z_OK) {
        char buffer[65536];
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - z.avail_out));
    }
    *endedExactly = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return out;
}

struct Opened
{
    QString signature, version, hint, name, passwordCheck;
    qint64 size = -1, modified = -1, encryptedAt = -1;
    QByteArray plain, tail;
    bool endedExactly = false;
};

// "Layout", "Header", "Name block" and "Body", step by step.
Opened openDocumented(const QByteArray& file, const QByteArray& password)
{
    const DocumentedKey program = deriveKey("KbxIntrinsic#Kurabox@2026!key");
    const DocumentedKey folder = deriveKey(password);
    Opened o;
    const QByteArray header = decipher(program, file.left(384));
    o.signature = utf16At(header, 0, 12);
    o.version = utf16At(header, 24, 3);
    const int fill = numberAt<quint16>(header, 30);
    o.hint = utf16At(header, 32, 48);
    o.size = numberAt<qint64>(header, 144);
    const int nameLength = numberAt<qint16>(header, 152);
    o.tail = decipher(folder, header.mid(214, 64));
    const QByteArray times = decipher(folder, header.mid(280, 16));
    o.encryptedAt = numberAt<qint64>(times, 0);
    o.modified = numberAt<qint64>(times, 8);
    o.passwordCheck = utf16At(decipher(folder, header.mid(296, 32)), 0, 16);
    if (o.passwordCheck != QStringLiteral("Kurabox-PassChk0")) {
        return o; // another password: nothing further deciphers to sense
    }
    const QByteArray nameBlock = decipher(folder, file.mid(384, nameLength));
    o.name = utf16At(nameBlock, 2, numberAt<qint16>(nameBlock, 0));
    QByteArray body = decipher(folder, file.mid(384 + nameLength));
    body.chop(fill);
    o.plain = inflateAll(body, &o.endedExactly);
    return o;
}

class ContainerFormatDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindowServices::instance().reset();
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(StartEngine(m_engine, m_catalogue), 0);
        ASSERT_EQ(m_engine.SetKeySlot(Password, Folder, QStringLiteral("いつもの")), 0);
    }

    static constexpr const char* Password = "Doc-Pass-2468";
    const QString Folder = QStringLiteral("/home/u/secret");
    QTemporaryDir m_dir;
    RecordingMessageService m_messages;
    CryptEngine m_engine;
    MessageCatalogue m_catalogue{m_engine};
    ContainerCrypt m_crypt{m_engine};
};

} // namespace

TEST_F(ContainerFormatDocumentTest, ReaderWrittenFromThePageOpensWhatTheEngineWrites)
{
    QByteArray noise(700000, Qt::Uninitialized);
    QRandomGenerator generator(32);
    for (char& byte : noise) {
        byte = char(generator.bounded(256));
    }
    const struct
    {
        const char* name;
        QByteArray plain;
    } cases[] = {
        {"empty", QByteArray()},
        {"short", "a line of text"},
        {"several chunks of the body, deflated on workers", noise},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString plain = m_dir.filePath(QStringLiteral("報告書 (1).txt"));
        WriteTestFile(plain, c.plain);
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(1600000000);
        {
            QFile file(plain);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        const QString container = m_dir.filePath(QStringLiteral("c.kbxf"));
        QFile::remove(container);
        ASSERT_EQ(m_crypt.EncryptIntoFolder(plain, container, Folder), 0);

        const Opened o = openDocumented(ReadTestFile(container), Password);
        EXPECT_EQ(o.signature, QStringLiteral("KuraboxKBXF1"));
        EXPECT_EQ(o.version, QStringLiteral("001"));
        EXPECT_EQ(o.hint, QStringLiteral("いつもの").leftJustified(48, QLatin1Char(' ')));
        EXPECT_EQ(o.passwordCheck, QStringLiteral("Kurabox-PassChk0"));
        EXPECT_EQ(o.name, QStringLiteral("報告書 (1).txt"));
        EXPECT_EQ(o.size, c.plain.size());
        EXPECT_EQ(o.modified, modified.toSecsSinceEpoch());
        const QDateTime encryptedAt =
            QDateTime::fromString(QString::number(o.encryptedAt), QStringLiteral("yyyyMMddhhmmss"));
        ASSERT_TRUE(encryptedAt.isValid()) << o.encryptedAt;
        EXPECT_LT(std::abs(encryptedAt.secsTo(QDateTime::currentDateTime())), 120)
            << "local time of a moment ago";
        EXPECT_TRUE(o.endedExactly);
        EXPECT_EQ(o.plain, c.plain);
        QByteArray tail = c.plain.right(16);
        tail += QByteArray(16 - tail.size(), '\0');
        EXPECT_EQ(o.tail, tail + QByteArray(48, ' '));
    }
}

TEST_F(ContainerFormatDocumentTest, AnotherPasswordFailsThePasswordCheckOnly)
{
    const QString plain = m_dir.filePath(QStringLiteral("a.txt"));
    WriteTestFile(plain, "x");
    const QString container = m_dir.filePath(QStringLiteral("c.kbxf"));
    ASSERT_EQ(m_crypt.EncryptIntoFolder(plain, container, Folder), 0);
    const Opened o = openDocumented(ReadTestFile(container), "Wrong-Pass-1357");
    EXPECT_EQ(o.signature, QStringLiteral("KuraboxKBXF1")) << "the header opens with the program key";
    EXPECT_NE(o.passwordCheck, QStringLiteral("Kurabox-PassChk0"));
}
