#include "store/catalogue/MessageCatalogue.h"

#include "engine/CryptEngine.h"
#include "engine/FormatConstants.h"
#include "store/catalogue/EngineStartup.h"
#include "support/RecordingMessageService.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray encipher(const QString& plain, const QString& key)
{
    CryptEngine engine;
    QByteArray image = MessageCatalogue::PlainImage(plain);
    const QString slot = engine.SetTemporaryKey(key, QString());
    EXPECT_EQ(engine.EncipherBuffer(image.data(), image.size(), slot), 0);
    return image;
}

QString builtInKey()
{
    return QString::fromUtf16(FormatConstants::kBuiltInPassphrase);
}

class MessageCatalogueTest : public ::testing::Test
{
protected:
    CryptEngine engine;
    MessageCatalogue catalogue{engine};
    RecordingMessageService messages;
};

} // namespace

TEST_F(MessageCatalogueTest, ParsesEntriesAsStored)
{
    const QString text = QStringLiteral("# comment\r\n"
                                        "KbxMSGa0007 \"seven\"\r\n"
                                        "KbxMSGa0008 \"first line\\nsecond line\r\nstill eight\"\r\n"
                                        "KbxMSGa0007 \"seven again\"\r\n"
                                        "KbxMSGa0588 \"key-for-b\"\r\n");
    ASSERT_EQ(catalogue.LoadCatalogueA(encipher(text, builtInKey())), 0);
    EXPECT_EQ(catalogue.m_GetMsgA(7), QStringLiteral("seven again")); // the last match wins
    EXPECT_EQ(catalogue.m_GetMsgA(8), QStringLiteral("first line\nsecond line\r\nstill eight"));
    EXPECT_TRUE(messages.shown().isEmpty());

    EXPECT_EQ(catalogue.m_GetMsgA(9), QString());
    EXPECT_EQ(catalogue.m_GetMsgA(10007), QString()); // a five-digit key is never found
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("m_GetMsgA NOT KEY ERROR: 0009"),
                                             QStringLiteral("m_GetMsgA NOT KEY ERROR: 10007")}));
    EXPECT_EQ(messages.shown().first().style.icon, MsgIcon::Error);
}

TEST_F(MessageCatalogueTest, CatalogueBIsKeyedByMessage588)
{
    ASSERT_EQ(catalogue.LoadCatalogueA(encipher(QStringLiteral("KbxMSGa0588 \"key-for-b\""), builtInKey())),
              0);
    const QString b = QStringLiteral("KbxMSGb0001 \"passphrase\"\r\nKbxMSGb0004 \"a\\nb\"\r\n");
    ASSERT_EQ(catalogue.LoadCatalogueB(encipher(b, QStringLiteral("key-for-b"))), 0);
    EXPECT_EQ(catalogue.m_GetMsgB(1), QStringLiteral("passphrase"));
    EXPECT_EQ(catalogue.m_GetMsgB(4), QStringLiteral("a\nb"));
    EXPECT_EQ(catalogue.m_GetMsgB(1), QStringLiteral("passphrase")); // parsed anew each time
    EXPECT_EQ(catalogue.m_GetMsgB(2), QString());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("m_GetMsgB NOT KEY ERROR: 0002")});
}

TEST_F(MessageCatalogueTest, LoadFailuresAreReported)
{
    EXPECT_EQ(catalogue.LoadCatalogueA(QByteArray()), -1);
    EXPECT_EQ(catalogue.LoadCatalogueA(QByteArray(17, 'x')), -1); // not whole cipher blocks
    // Without A-588 there is no key for catalogue B.
    EXPECT_EQ(catalogue.LoadCatalogueB(QByteArray(16, 'x')), -1);
    EXPECT_EQ(catalogue.m_GetMsgB(1), QString());
    const QStringList texts = messages.texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("MsgAIN NOT ERROR2")));
    EXPECT_TRUE(texts.contains(QStringLiteral("MsgBIN NOT ERROR1")));
    EXPECT_EQ(texts.last(), QStringLiteral("m_GetMsgB NOT ERROR"));

    messages.clear();
    ASSERT_EQ(catalogue.LoadCatalogueA(encipher(QStringLiteral("KbxMSGa0588 \"k\""), builtInKey())), 0);
    EXPECT_EQ(catalogue.LoadCatalogueB(QByteArray(MessageCatalogue::MaxCatalogueBBytes + 16, 'x')), -1);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("MsgBIN NOT ERROR2")});
}

// The program's own catalogues: they load, every message something cites exists, and the fixed
// data texts keep the forms the files and keys need.
TEST_F(MessageCatalogueTest, ProgramCataloguesHoldEveryCitedMessage)
{
    ASSERT_EQ(StartEngine(engine, catalogue), 0);
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(engine.IsKeySlotSet(CryptEngine::IntrinsicSlotName), 0);

    QFile list(QStringLiteral(KURA_TEST_DATA "/cited_messages.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
    int cited = 0;
    while (!list.atEnd()) {
        const QString line = QString::fromUtf8(list.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const QStringList parts = line.split(QLatin1Char(' '));
        ASSERT_EQ(parts.size(), 2) << line.toStdString();
        const int number = parts.at(1).toInt();
        const QString text = parts.at(0) == QLatin1String("A") ? MsgA(number) : MsgB(number);
        EXPECT_FALSE(text.isEmpty()) << line.toStdString();
        ++cited;
    }
    EXPECT_GT(cited, 0);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();

    EXPECT_LE(CryptEngine::PasswordToBytes(MsgB(1)).size(), 32);
    EXPECT_LE(CryptEngine::PasswordToBytes(MsgA(588)).size(), 32);
    EXPECT_GE(MsgB(6).size(), 12);
    EXPECT_GE(MsgB(7).size(), 16);
    EXPECT_GE(MsgB(31).size(), 64);
    EXPECT_GE(MsgB(34).size(), 64);
    EXPECT_GE(MsgB(35).size(), 8);
    EXPECT_FALSE(MsgB(4).startsWith(QLatin1Char('/'))); // never a folder path
}

// Texts that are stored in files or derive keys must never change.
TEST_F(MessageCatalogueTest, FixedDataTextsArePinned)
{
    ASSERT_EQ(StartEngine(engine, catalogue), 0);
    EXPECT_EQ(MsgB(1), QStringLiteral("KbxIntrinsic#Kurabox@2026!key"));
    EXPECT_EQ(MsgB(2), QStringLiteral("Kurabox folder metadata file 1"));
    EXPECT_EQ(MsgB(4), QStringLiteral("?KBX:NO-LOCATION?"));
    EXPECT_EQ(MsgB(6), QStringLiteral("KuraboxKBXF1 container signature"));
    EXPECT_EQ(MsgB(7), QStringLiteral("Kurabox-PassChk0 password check text"));
    EXPECT_EQ(MsgB(31), QStringLiteral(
                            "Kurabox folder password check block 0001 abcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ(
        MsgB(34),
        QStringLiteral("Kurabox administrator password check block 0001 abcdefghijklmnopqrstuvwxyz01234"));
    EXPECT_EQ(MsgB(35), QStringLiteral("KbxList8 change password list key"));
}
