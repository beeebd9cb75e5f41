#include "store/checks/PathChecks.h"

#include "store/checks/StoreChecksFixture.h"
#include "util/MessageText.h"

class PathChecksTest : public StoreChecksTest
{
};

TEST_F(PathChecksTest, AnUnreachableFolderIsExplainedByWhereItWas)
{
    EXPECT_EQ(CheckFolderReachable(root, &table), 0);

    const QString gone = path(QStringLiteral("vault/gone"));
    const QString stick = path(QStringLiteral("media/STICK"));
    platform.addVolume(stick, QStringLiteral("vfat"), DriveRemovable);
    // A registered folder on a stick that has been pulled: its mount point is gone with it, so
    // only the drive type recorded at registration tells.
    const QString pulled = path(QStringLiteral("media/OLD/secret"));
    ASSERT_EQ(table.AddRegisteredFolder(pulled, QString(), QStringLiteral("Pass-word1"), QStringLiteral("0"),
                                        QStringLiteral("Pul123"), QStringLiteral("0"), DriveRemovable),
              0);
    messages.clear();

    const struct
    {
        QString folder;
        int message;
    } cases[] = {
        {gone, 280},
        {stick + QStringLiteral("/secret"), 279},
        {pulled, 279},
        {pulled + QStringLiteral("/sub"), 279},
        {QStringLiteral("relative/folder"), 278},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        messages.clear();
        EXPECT_EQ(CheckFolderReachable(c.folder, &table), -1) << c.folder.toStdString();
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown().first().text, MsgA(c.message) + c.folder);
        EXPECT_EQ(messages.shown().first().style, MessageStyle::warning());
    }
}

TEST_F(PathChecksTest, ItemNamesRefuseTheNineReservedCharacters)
{
    for (const QString& name : {QStringLiteral("a:b"), QStringLiteral("x/y"), QStringLiteral("|"),
                                QStringLiteral("q?"), QStringLiteral("\"quoted\""), QStringLiteral("<>"),
                                QStringLiteral("back\\slash"), QStringLiteral("star*")}) {
        messages.clear();
        EXPECT_EQ(IsValidItemName(name), -1) << name.toStdString();
        ASSERT_EQ(messages.texts(), QStringList{MsgA(290)});
    }
    messages.clear();
    EXPECT_EQ(IsValidItemName(QStringLiteral("Report v2.final .txt")), 0);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(PathChecksTest, CopyOrMoveOntoOrIntoItselfIsRefused)
{
    const QString folder = root + QStringLiteral("/docs");
    const QString container = encrypt(folder, QStringLiteral("plan.txt"));
    messages.clear();
    const struct
    {
        QString source;
        QString target;
        bool move;
        bool isFolder;
        QString expected; // empty: allowed
    } cases[] = {
        {folder, folder, false, true, QStringLiteral("docs をコピー") + MsgA(312)},
        {folder, root, true, true, QStringLiteral("docs を移動") + MsgA(313)},
        {folder, folder + QStringLiteral("/inner"), false, true, QStringLiteral("docs をコピー") + MsgA(314)},
        {folder, path(QStringLiteral("elsewhere")), true, true, QString()},
        {folder, root + QStringLiteral("/docs2"), true, true, QString()},
        {container, folder, true, false, QStringLiteral("plan.txt を移動") + MsgA(315)},
        {container, root, false, false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        messages.clear();
        const int rc = CheckCopyMoveTarget(c.source, c.target, c.move, c.isFolder, checks, table);
        EXPECT_EQ(rc, c.expected.isEmpty() ? 0 : -1) << c.target.toStdString();
        EXPECT_EQ(messages.texts(), c.expected.isEmpty() ? QStringList() : QStringList{c.expected});
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(messages.shown().first().style, MessageStyle::error());
        }
    }
}
