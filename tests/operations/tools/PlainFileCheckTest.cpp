#include "operations/tools/PlainFileCheck.h"

#include "operations/OperationsFixture.h"
#include "support/UnprivilegedScope.h"
#include "util/ResultCodes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

class PlainFileCheckTest : public OperationsTest
{
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        platform.addVolume(path(QString()), QStringLiteral("ext4"), DriveFixed);
        ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/sub")));
        encrypt(root, QStringLiteral("report.txt"));
    }

    int check(bool* duplicates)
    {
        messages.script({MsgButton::Yes});
        return CheckFolderForPlainFiles(store, root, duplicates);
    }
};

} // namespace

TEST_F(PlainFileCheckTest, FindingsAreShownAndEndTheCheck)
{
    enum Arrange
    {
        Nothing,
        PlainFile,
        SameNames,
    };
    const struct
    {
        const char* name;
        Arrange arrange;
        int message; // after the question
        bool duplicates;
    } cases[] = {
        {"clean folder", Nothing, 200, false},
        {"plain file in a subfolder", PlainFile, 185, false},
        {"two files showing the same name", SameNames, 188, true},
    };
    const QString sub = root + QStringLiteral("/sub");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.arrange == PlainFile) {
            WriteTestFile(sub + QStringLiteral("/left.txt"), "plain");
            ASSERT_EQ(store.metadata().SyncFolderMetadata(sub, root), 0) << shownMessages();
        } else if (c.arrange == SameNames) {
            QFile::remove(sub + QStringLiteral("/left.txt"));
            encrypt(sub, QStringLiteral("同じ.txt"));
            encrypt(sub, QStringLiteral("同じ.txt"));
        }
        messages.clear();
        bool duplicates = false;
        EXPECT_EQ(check(&duplicates), c.message == 200 ? Result::Ok : Result::Failed);
        EXPECT_EQ(duplicates, c.duplicates);
        ASSERT_EQ(messages.texts().size(), 2) << shownMessages();
        EXPECT_EQ(messages.texts().first(), MsgA(195) + root);
        EXPECT_TRUE(messages.texts().at(1).startsWith(MsgA(c.message))) << shownMessages();
        EXPECT_FALSE(MainWindowServices::instance().IsBusy());
    }
}

TEST_F(PlainFileCheckTest, AFileThatCannotBeOpenedIsReportedInsteadOfTheAllClear)
{
    const UnprivilegedScope user(path(QString()));
    if (!user.binds()) {
        GTEST_SKIP() << "permissions cannot be made to bind this process";
    }
    const QString locked = encrypt(root + QStringLiteral("/sub"), QStringLiteral("locked.txt"));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    bool duplicates = false;
    EXPECT_EQ(check(&duplicates), Result::Failed);
    chmod(QFile::encodeName(locked).constData(), 0600);
    ASSERT_EQ(messages.texts().size(), 2) << shownMessages();
    EXPECT_TRUE(messages.texts().at(1).startsWith(MsgA(621)));
    EXPECT_TRUE(messages.texts().at(1).endsWith(locked));

    // On an optical disc the access check is left out.
    platform.addVolume(root, QStringLiteral("iso9660"), DriveOptical);
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    messages.clear();
    EXPECT_EQ(check(&duplicates), Result::Ok);
    chmod(QFile::encodeName(locked).constData(), 0600);
    EXPECT_EQ(messages.texts(), (QStringList{MsgA(195) + root, MsgA(200)}));
}

TEST_F(PlainFileCheckTest, NothingHappensForALoggedOutFolderOrWhenTheUserSaysNo)
{
    WriteTestFile(root + QStringLiteral("/left.txt"), "plain");
    bool duplicates = false;
    messages.script({MsgButton::No});
    EXPECT_EQ(CheckFolderForPlainFiles(store, root, &duplicates), Result::Cancelled);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(195) + root});

    engine.ClearKeySlot(root);
    messages.clear();
    EXPECT_EQ(CheckFolderForPlainFiles(store, root, &duplicates), Result::Failed);
    EXPECT_TRUE(messages.texts().isEmpty());
}
