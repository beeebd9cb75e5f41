// A whole hostile container decrypted with a known key. The input gives what an attacker who
// knows the password controls after the ciphers: the recorded plain size, the fill count, the
// times and the body (a deflate stream and its fill); the target wraps them in a container
// enciphered as the program would, so the body reaches the inflater.
//
// Input layout: 8 bytes plain size, 2 bytes fill count, 16 bytes times, then the body.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "util/MessageText.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

#include <cstdlib>

namespace {

const QString Slot = QStringLiteral("/fuzz");

void encipher(QByteArray* field, const QString& slot)
{
    field->append(QByteArray((16 - field->size() % 16) % 16, '\0'));
    CryptEngine& engine = Fuzz::Engine();
    if (engine.BeginChain(CryptEngine::Direction::Encipher, slot) != 0 ||
        engine.ContinueChain(CryptEngine::Direction::Encipher, field->data(), field->size()) != 0) {
        std::abort();
    }
}

// The last 16 bytes of what the body inflates to within the recorded size (at most 4 MB), so
// that a body that is good gets through the final checks too.
QByteArray plainTail(const QByteArray& body, qint64 recorded)
{
    const qint64 limit = qBound(qint64(0), recorded, qint64(4) << 20);
    QByteArray plain(limit, Qt::Uninitialized);
    uLongf length = uLongf(plain.size());
    uLong consumed = uLong(body.size());
    uncompress2(reinterpret_cast<Bytef*>(plain.data()), &length,
                reinterpret_cast<const Bytef*>(body.constData()), &consumed);
    plain.truncate(qsizetype(length));
    return plain.right(16);
}

} // namespace

KURA_FUZZ_TARGET(ContainerDecrypt)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    if (bytes.size() < 26) {
        return 0;
    }
    Fuzz::Engine(); // the catalogues are loaded with it
    ContainerFormat::Header header;
    header.signature = ContainerFormat::SignatureOf(MsgB(6));
    header.version = ContainerFormat::FormatVersion;
    header.hint = QStringLiteral("hint");
    header.plainSize = qFromLittleEndian<qint64>(bytes.constData());
    header.fillCount = qFromLittleEndian<quint16>(bytes.constData() + 8);
    QByteArray nameBlock = ContainerFormat::BuildNameBlock(QStringLiteral("fuzz.txt"));
    header.nameBlockLength = qint16(nameBlock.size());
    header.tailCheck = ContainerFormat::TailCheckPlain(plainTail(bytes.mid(26), header.plainSize));
    header.times = bytes.mid(10, 16);
    header.passwordCheck = ContainerFormat::PasswordCheckPlain(MsgB(7));
    encipher(&header.tailCheck, Slot);
    encipher(&header.times, Slot);
    encipher(&header.passwordCheck, Slot);
    encipher(&nameBlock, Slot);
    QByteArray image = ContainerFormat::BuildHeaderImage(header);
    encipher(&image, CryptEngine::IntrinsicSlotName);
    QByteArray body = bytes.mid(26);
    encipher(&body, Slot);

    const QString container = Fuzz::ScratchPath(QStringLiteral("hostile.kbxf"));
    QFile file(container);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(image + nameBlock + body) < 0) {
        std::abort();
    }
    file.close();
    ContainerCrypt& crypt = Fuzz::Crypt();
    ContainerInfo info;
    crypt.ReadContainerInfo(container, &info, Slot, false);
    const QString out = Fuzz::ScratchPath(QStringLiteral("out.bin"));
    if (crypt.DecryptToFile(container, out, Slot) == 0) {
        // A decryption that succeeds wrote exactly what the header records.
        if (QFile(out).size() != header.plainSize) {
            std::abort();
        }
        QFile::remove(out);
    } else if (QFile::exists(out)) {
        std::abort(); // a failure leaves no output
    }
    Fuzz::ClearMessages();
    return 0;
}
