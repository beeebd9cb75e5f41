#include "store/catalogue/MessageCatalogue.h"

#include "engine/CryptEngine.h"
#include "engine/FormatConstants.h"
#include "util/MessageService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFile>

const QString MessageCatalogue::ResourceA = QStringLiteral(":/kurabox/catalogue_a.bin");
const QString MessageCatalogue::ResourceB = QStringLiteral(":/kurabox/catalogue_b.bin");

namespace {

void showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString utf16Text(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

} // namespace

MessageCatalogue::MessageCatalogue(CryptEngine& engine) : m_engine(engine) {}

void MessageCatalogue::ParseEntries(QStringView text, QStringView prefix, QStringList* keys,
                                    QStringList* texts)
{
    qsizetype position = 0;
    for (;;) {
        const qsizetype start = text.indexOf(prefix, position);
        if (start < 0) {
            return;
        }
        const QString key = text.mid(start, KeyLength).toString();
        position = start + KeyLength;
        // The text runs from the next double quote to the one after it. The next key is
        // searched right after this key: texts never contain a key prefix.
        QString body;
        const qsizetype open = text.indexOf(u'"', position);
        if (open >= 0) {
            const qsizetype close = text.indexOf(u'"', open + 1);
            body = text.mid(open + 1, (close < 0 ? text.size() : close) - open - 1).toString();
        }
        body.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        keys->append(key);
        texts->append(body);
    }
}

QByteArray MessageCatalogue::PlainImage(const QString& text)
{
    QByteArray image(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    image.append(QByteArray((16 - image.size() % 16) % 16, '\0'));
    return image;
}

QString MessageCatalogue::lookup(const QStringList& keys, const QStringList& texts, const QString& key)
{
    QString result;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i) == key) {
            result = texts.at(i); // the last match wins
        }
    }
    return result;
}

int MessageCatalogue::LoadCatalogueA()
{
    return LoadCatalogueA(readResource(ResourceA));
}

int MessageCatalogue::LoadCatalogueA(const QByteArray& enciphered)
{
    m_keysA.clear();
    m_textsA.clear();
    const QString keyName =
        m_engine.SetTemporaryKey(QString::fromUtf16(FormatConstants::kBuiltInPassphrase), {});
    if (keyName.isEmpty()) {
        showError(QStringLiteral("MsgAIN NOT ERROR1"));
        return Result::Failed;
    }
    QByteArray plain = enciphered;
    if (plain.isEmpty() || m_engine.DecipherBuffer(plain.data(), plain.size(), keyName) != 0) {
        showError(QStringLiteral("MsgAIN NOT ERROR2"));
        return Result::Failed;
    }
    ParseEntries(utf16Text(plain), u"KbxMSGa", &m_keysA, &m_textsA);
    return 0;
}

int MessageCatalogue::LoadCatalogueB()
{
    return LoadCatalogueB(readResource(ResourceB));
}

int MessageCatalogue::LoadCatalogueB(const QByteArray& enciphered)
{
    SecureWipe(m_storedB);
    // Without its key text catalogue B could only be deciphered into noise.
    QString keyText = m_GetMsgA(CatalogueBKeyMessage);
    const QString keyName = keyText.isEmpty() ? QString() : m_engine.SetTemporaryKey(keyText, {});
    SecureWipe(keyText);
    if (keyName.isEmpty()) {
        showError(QStringLiteral("MsgBIN NOT ERROR1"));
        return Result::Failed;
    }
    // A catalogue beyond the buffer's size is refused whole rather than read in part.
    QByteArray plain = enciphered;
    if (!plain.isEmpty() && plain.size() <= MaxCatalogueBBytes &&
        m_engine.DecipherBuffer(plain.data(), plain.size(), keyName) == 0) {
        m_storedB = plain;
        for (char& byte : m_storedB) {
            byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
        }
    }
    SecureWipe(plain);
    if (m_storedB.isEmpty()) {
        showError(QStringLiteral("MsgBIN NOT ERROR2"));
        return Result::Failed;
    }
    return 0;
}

QString MessageCatalogue::m_GetMsgA(int number)
{
    const QString result = lookup(m_keysA, m_textsA, MessageKeyA(number));
    if (result.isEmpty()) {
        showError(QStringLiteral("m_GetMsgA NOT KEY ERROR: %1").arg(number, 4, 10, QLatin1Char('0')));
    }
    return result;
}

QString MessageCatalogue::m_GetMsgB(int number)
{
    if (m_storedB.isEmpty()) {
        showError(QStringLiteral("m_GetMsgB NOT ERROR"));
        return {};
    }
    QByteArray plain = m_storedB;
    for (char& byte : plain) {
        byte = static_cast<char>(static_cast<unsigned char>(byte) - 1);
    }
    QStringList keys;
    QStringList texts;
    ParseEntries(utf16Text(plain), u"KbxMSGb", &keys, &texts);
    SecureWipe(plain);
    const QString result = lookup(keys, texts, MessageKeyB(number));
    if (result.isEmpty()) {
        showError(QStringLiteral("m_GetMsgB NOT KEY ERROR: %1").arg(number, 4, 10, QLatin1Char('0')));
    }
    return result;
}
