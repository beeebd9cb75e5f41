#include "store/checks/AttributeChanges.h"

#include "store/checks/StoreChecksFixture.h"
#include "util/MessageText.h"

class AttributeChangesTest : public StoreChecksTest
{
protected:
    static bool readOnly(const QString& file) { return (permissions(file) & 0222) == 0; }
};

TEST_F(AttributeChangesTest, ChangeAttributesAddsAndRemovesTheReadOnlyBit)
{
    const QString file = path(QStringLiteral("f.txt"));
    put(file);
    ::chmod(QFile::encodeName(file).constData(), 0640);
    EXPECT_EQ(ChangeAttributes(file, FileAttribute::ReadOnly, false), 0);
    EXPECT_EQ(permissions(file), 0440);
    // Already read-only: nothing is written, not even the same mode again.
    ::chmod(QFile::encodeName(file).constData(), 0400);
    EXPECT_EQ(ChangeAttributes(file, FileAttribute::ReadOnly | FileAttribute::Archive, false), 0);
    EXPECT_EQ(permissions(file), 0400);
    EXPECT_EQ(ChangeAttributes(file, FileAttribute::ReadOnly, true), 0);
    EXPECT_FALSE(readOnly(file));

    const QString missing = path(QStringLiteral("missing.txt"));
    EXPECT_EQ(ChangeAttributes(missing, FileAttribute::ReadOnly, false), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(275) + missing});
    EXPECT_EQ(messages.shown().first().style, MessageStyle::error());
}

TEST_F(AttributeChangesTest, SetReadOnlyTreeChangesEveryFileButNoFolder)
{
    const QString top = path(QStringLiteral("t"));
    put(top + QStringLiteral("/a.txt"));
    put(top + QStringLiteral("/sub/deeper/b.txt"));
    EXPECT_EQ(SetReadOnlyTree(top, false), 0);
    EXPECT_TRUE(readOnly(top + QStringLiteral("/a.txt")));
    EXPECT_TRUE(readOnly(top + QStringLiteral("/sub/deeper/b.txt")));
    EXPECT_FALSE(readOnly(top + QStringLiteral("/sub")));
    EXPECT_EQ(SetReadOnlyTree(top, true), 0);
    EXPECT_FALSE(readOnly(top + QStringLiteral("/sub/deeper/b.txt")));

    EXPECT_EQ(SetReadOnlyTree(top + QStringLiteral("/a.txt"), false), 0);
    bool flag = false;
    EXPECT_EQ(IsReadOnlyFile(top + QStringLiteral("/a.txt"), &flag), 0);
    EXPECT_TRUE(flag);
    EXPECT_EQ(SetReadOnlyTree(path(QStringLiteral("nothing")), false), 0);
    EXPECT_TRUE(messages.shown().isEmpty());

    EXPECT_EQ(IsReadOnlyFile(path(QStringLiteral("nothing")), &flag), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(332) + path(QStringLiteral("nothing"))});
}
