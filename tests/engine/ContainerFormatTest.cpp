#include "engine/ContainerFormat.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace ContainerFormat;

namespace {

QString utf16At(const QByteArray& image, int offset, int units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(image.constData() + offset), units);
}

Header sampleHeader()
{
    Header h;
    h.signature = QStringLiteral("KURABOX-SIGNATURE-TEXT").left(SignatureLength);
    h.version = FormatVersion;
    h.fillCount = 13;
    h.hint = QString::fromUtf8("ヒント");
    h.plainSize = 0x123456789AB;
    h.nameBlockLength = 32;
    h.tailCheck = QByteArray(TailCheckSize, '\x71');
    h.times = QByteArray(TimesSize, '\x72');
    h.passwordCheck = QByteArray(PasswordCheckSize, '\x73');
    return h;
}

} // namespace

TEST(ContainerFormatTest, HeaderImageLayout)
{
    const QByteArray image = BuildHeaderImage(sampleHeader());
    ASSERT_EQ(image.size(), 384);

    EXPECT_EQ(utf16At(image, 0, 12), QStringLiteral("KURABOX-SIGN"));
    EXPECT_EQ(utf16At(image, 24, 3), QStringLiteral("001"));
    EXPECT_EQ(qFromLittleEndian<quint16>(image.constData() + 30), 13);
    EXPECT_EQ(utf16At(image, 32, 48), QString::fromUtf8("ヒント") + QString(45, QLatin1Char(' ')));
    EXPECT_EQ(image.mid(128, 16), QByteArray(16, '\0'));
    EXPECT_EQ(qFromLittleEndian<qint64>(image.constData() + 144), 0x123456789AB);
    EXPECT_EQ(qFromLittleEndian<qint16>(image.constData() + 152), 32);
    EXPECT_EQ(image.mid(154, 16), QByteArray(16, ' '));
    EXPECT_EQ(image.mid(170, 44), QByteArray(44, ' '));
    EXPECT_EQ(image.mid(214, 64), QByteArray(64, '\x71'));
    EXPECT_EQ(image.mid(278, 2), QByteArray(2, '\0'));
    EXPECT_EQ(image.mid(280, 16), QByteArray(16, '\x72'));
    EXPECT_EQ(image.mid(296, 32), QByteArray(32, '\x73'));
    EXPECT_EQ(image.mid(328, 56), QByteArray(56, ' '));
}

TEST(ContainerFormatTest, HeaderImageRoundTrip)
{
    const Header in = sampleHeader();
    Header out;
    ASSERT_TRUE(ParseHeaderImage(BuildHeaderImage(in), &out));
    EXPECT_EQ(out.signature, in.signature);
    EXPECT_EQ(out.version, in.version);
    EXPECT_EQ(out.fillCount, in.fillCount);
    EXPECT_EQ(out.hint.trimmed(), in.hint); // stored padded with spaces
    EXPECT_EQ(out.plainSize, in.plainSize);
    EXPECT_EQ(out.nameBlockLength, in.nameBlockLength);
    EXPECT_EQ(out.tailCheck, in.tailCheck);
    EXPECT_EQ(out.times, in.times);
    EXPECT_EQ(out.passwordCheck, in.passwordCheck);
    EXPECT_TRUE(HasSignature(out, QStringLiteral("KURABOX-SIGNATURE-TEXT")));

    EXPECT_FALSE(ParseHeaderImage(QByteArray(383, '\0'), &out));
    ASSERT_TRUE(ParseHeaderImage(UnreadableHeaderImage(), &out));
    EXPECT_FALSE(HasSignature(out, QStringLiteral("KURABOX-SIGNATURE-TEXT")));
    // A signature text shorter than the field never matches.
    EXPECT_FALSE(HasSignature(out, QStringLiteral("0000")));
}

TEST(ContainerFormatTest, FormatVersions)
{
    struct Case
    {
        const char* version;
        int order;
    };
    for (const Case& c : {Case{"000", -1}, Case{"001", 0}, Case{"002", 1}, Case{"010", 1}, Case{"100", 1},
                          Case{"00", -1}, Case{"0011", 0}}) {
        EXPECT_EQ(CompareFormatVersion(QString::fromLatin1(c.version)), c.order) << c.version;
    }
    EXPECT_TRUE(IsNewerFormat(u"002"));
    EXPECT_FALSE(IsNewerFormat(u"000"));
}

TEST(ContainerFormatTest, NameBlockLengths)
{
    struct Case
    {
        int units;
        int length;
    };
    for (const Case& c : {Case{0, 16}, Case{1, 16}, Case{7, 16}, Case{8, 32}, Case{15, 32}, Case{16, 48},
                          Case{255, 512}, Case{271, 544}}) {
        EXPECT_EQ(NameBlockLength(c.units), c.length) << c.units;
        EXPECT_EQ(BuildNameBlock(QString(c.units, QLatin1Char('n'))).size(), c.length) << c.units;
    }
    EXPECT_TRUE(BuildNameBlock(QString(272, QLatin1Char('n'))).isEmpty());
    for (int k : {16, 32, 512, 544}) {
        EXPECT_TRUE(IsValidNameBlockLength(k)) << k;
    }
    for (int k : {0, 8, 17, 560, -16}) {
        EXPECT_FALSE(IsValidNameBlockLength(k)) << k;
    }
}

TEST(ContainerFormatTest, NameBlockContent)
{
    const QString name = QString::fromUtf8("報告書.txt"); // 7 code units
    const QByteArray block = BuildNameBlock(name);
    ASSERT_EQ(block.size(), 16);
    EXPECT_EQ(qFromLittleEndian<qint16>(block.constData()), 7);
    EXPECT_EQ(utf16At(block, 2, 7), name);
    EXPECT_EQ(block.mid(16, 0), QByteArray());
    QString parsed;
    ASSERT_TRUE(ParseNameBlock(block, &parsed));
    EXPECT_EQ(parsed, name);

    const QByteArray padded = BuildNameBlock(QStringLiteral("ab"));
    EXPECT_EQ(padded.mid(6), QByteArray("\x20\x00\x20\x00\x20\x00\x20\x00\x20\x00", 10));

    QByteArray lying = padded;
    qToLittleEndian<qint16>(8, lying.data());
    EXPECT_FALSE(ParseNameBlock(lying, &parsed));
    qToLittleEndian<qint16>(-1, lying.data());
    EXPECT_FALSE(ParseNameBlock(lying, &parsed));
}

TEST(ContainerFormatTest, ProtectedFieldPlaintexts)
{
    const QByteArray tail = TailCheckPlain(QByteArray("abc"));
    ASSERT_EQ(tail.size(), 64);
    EXPECT_EQ(tail.left(16), QByteArray("abc") + QByteArray(13, '\0'));
    EXPECT_EQ(tail.mid(16), QByteArray(48, ' '));
    EXPECT_EQ(TailCheckPlain(QByteArray()).left(16), QByteArray(16, '\0'));
    EXPECT_EQ(TailCheckPlain(QByteArray("0123456789abcdef")).left(16), QByteArray("0123456789abcdef"));
    EXPECT_EQ(TailOfTailCheck(TailCheckPlain(QByteArray("xx0123456789abcdef"))),
              QByteArray("0123456789abcdef"));

    qint64 enc = 0, mod = 0;
    ASSERT_TRUE(ParseTimesPlain(TimesPlain(20261210114500, 1765367100), &enc, &mod));
    EXPECT_EQ(enc, 20261210114500);
    EXPECT_EQ(mod, 1765367100);

    const QByteArray check = PasswordCheckPlain(QStringLiteral("0123456789ABCDEFGHIJ"));
    ASSERT_EQ(check.size(), 32);
    EXPECT_EQ(utf16At(check, 0, 16), QStringLiteral("0123456789ABCDEF"));
}

TEST(ContainerFormatTest, EncryptionTimeDigits)
{
    const QDateTime t(QDate(2026, 12, 10), QTime(9, 5, 7), Qt::LocalTime);
    EXPECT_EQ(EncryptionTimeValue(t), 20261210090507);
    EXPECT_EQ(EncryptionTimeFromValue(20261210090507), t);
}

TEST(ContainerFormatTest, ContainerFileNames)
{
    const QUuid guid(0x0123abcd, 0x4567, 0x89ef, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef);
    const QString name = ContainerFileName(guid);
    EXPECT_EQ(name, QStringLiteral("0123ABCD456789EF-0123456789ABCDEF.kbxf"));
    EXPECT_EQ(name.size(), ContainerNameLength + 5);
    EXPECT_TRUE(IsContainerFileName(name));
    EXPECT_TRUE(IsContainerFileName(ContainerFileName(QUuid::createUuid())));
    EXPECT_FALSE(IsContainerFileName(QStringLiteral("0123abcd456789EF-0123456789ABCDEF.kbxf")));
    EXPECT_FALSE(IsContainerFileName(QStringLiteral("report.kbxf")));
}
