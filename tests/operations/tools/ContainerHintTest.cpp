#include "operations/tools/ContainerHint.h"

#include "operations/OperationsFixture.h"
#include "util/ResultCodes.h"

namespace {

class ContainerHintTest : public OperationsTest
{
};

} // namespace

TEST_F(ContainerHintTest, OneDroppedFileShowsItsHintOrWhatItIs)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("loose"))));
    // A container of another password: its hint is read without its key.
    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Other-pass1")),
                                QStringLiteral("other"), QStringLiteral("犬の名前")),
              0);
    const QString container =
        encrypt(path(QStringLiteral("loose")), QStringLiteral("a.txt"), QStringLiteral("other"));
    const QString text = path(QStringLiteral("loose/note.txt"));
    WriteTestFile(text, "just text");
    const QString large = path(QStringLiteral("loose/large.bin"));
    WriteTestFile(large, QByteArray(4000, 'x'));
    const struct
    {
        const char* name;
        QString path;
        QString shown;
    } cases[] = {
        {"container", container, MsgA(597) + QStringLiteral("犬の名前") + MsgA(598)},
        {"folder", path(QStringLiteral("loose")), MsgA(581)},
        {"short text file", text, MsgA(579)},
        {"file of a header's size and more", large, MsgA(579)},
        {"missing file", path(QStringLiteral("loose/gone.kbxf")), MsgA(578)},
    };
    for (const auto& c : cases) {
        QString shown;
        EXPECT_EQ(DroppedFileHint(crypt, {c.path}, &shown), Result::Ok) << c.name;
        EXPECT_EQ(shown, c.shown) << c.name;
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << shownMessages();
}

TEST_F(ContainerHintTest, TwoFilesAreRefusedWithAMessage)
{
    const QString container = encrypt(root, QStringLiteral("a.txt"));
    QString shown = QStringLiteral("before");
    EXPECT_EQ(DroppedFileHint(crypt, {container, container}, &shown), Result::Failed);
    EXPECT_TRUE(shown.isEmpty());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown().first().text, MsgA(577));
    EXPECT_EQ(messages.shown().first().style, MessageStyle::information());
}
