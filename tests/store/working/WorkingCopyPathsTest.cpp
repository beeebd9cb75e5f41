#include "store/checks/StoreChecksFixture.h"
#include "store/metadata/MetadataLocation.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"
#include "util/PathText.h"

class WorkingCopyPathsTest : public StoreChecksTest
{
protected:
    void SetUp() override
    {
        StoreChecksTest::SetUp();
        sub = root + QStringLiteral("/docs/2024");
        container = encrypt(sub, QStringLiteral("plan.txt"));
        messages.clear();
    }
    static bool isMarker(const QString& text) { return MetadataLocation::IsNoLocation(text); }

    QString sub, container;
};

TEST_F(WorkingCopyPathsTest, ItemsMapBelowTheirAreaUnderTheirDisplayNames)
{
    EXPECT_EQ(paths.WorkingCopyPathOf(container), store() + QStringLiteral("/Ac/docs/2024/plan.txt"));
    EXPECT_EQ(paths.TakeOutCopyPathOf(container), store() + QStringLiteral("/To/docs/2024/plan.txt"));
    EXPECT_EQ(paths.WorkingCopyPathOf(sub), store() + QStringLiteral("/Ac/docs/2024"));
    EXPECT_EQ(paths.WorkingCopyPathOf(root), store() + QStringLiteral("/Ac"));
    put(sub + QStringLiteral("/plain.txt"));
    EXPECT_EQ(paths.WorkingCopyPathOf(sub + QStringLiteral("/plain.txt")),
              store() + QStringLiteral("/Ac/docs/2024/plain.txt"));
    EXPECT_EQ(paths.TakeOutCopiesOf({container, sub}),
              (QStringList{store() + QStringLiteral("/To/docs/2024/plan.txt"),
                           store() + QStringLiteral("/To/docs/2024")}));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    EXPECT_TRUE(isMarker(paths.WorkingCopyPathOf(sub + QStringLiteral("/gone.kbxf"))));
    EXPECT_TRUE(messages.shown().isEmpty());

    for (const QString& outside : {path(QStringLiteral("elsewhere/a.txt")),
                                   root + QStringLiteral("/../secret2/x"), path(QStringLiteral("vault"))}) {
        messages.clear();
        EXPECT_TRUE(isMarker(paths.WorkingCopyPathOf(outside))) << outside.toStdString();
        EXPECT_EQ(messages.texts(), QStringList{MsgA(156) + outside});
    }
}

TEST_F(WorkingCopyPathsTest, ACraftedStoredNameNeverLeadsOutOfTheArea)
{
    const QString crafted = craftedContainer(sub, QStringLiteral("../../../../../escape.txt"));
    messages.clear();
    EXPECT_TRUE(isMarker(paths.WorkingCopyPathOf(crafted)));
    EXPECT_EQ(messages.texts(), QStringList{MsgA(290) + crafted});
}

TEST_F(WorkingCopyPathsTest, CopiesMapBackToTheirContainers)
{
    for (const QString& area : {QStringLiteral("Ac"), QStringLiteral("To"), QStringLiteral("Re")}) {
        EXPECT_EQ(paths.ContainerPathOf(
                      store() + QLatin1Char('/') + area + QStringLiteral("/docs/2024/plan.txt"), false),
                  container)
            << area.toStdString();
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    // A new file in the copy's folder: a fresh container name is proposed in the registered folder.
    const QString fresh = store() + QStringLiteral("/Ac/docs/2024/new.txt");
    QString proposal;
    EXPECT_EQ(paths.ContainerPathOf(fresh, true, &proposal), QString());
    EXPECT_EQ(DirectoryPart(proposal), sub);
    EXPECT_TRUE(proposal.endsWith(QStringLiteral(".kbxf")));
    EXPECT_NE(FileExists(proposal), 0);
    EXPECT_TRUE(messages.shown().isEmpty());

    const struct
    {
        QString copy;
        QString message;
    } refusals[] = {
        {fresh, MsgA(162)},
        {path(QStringLiteral("elsewhere/plan.txt")), MsgA(158) + path(QStringLiteral("elsewhere/plan.txt"))},
        {store() + QStringLiteral("/Nf/docs/plan.txt"),
         MsgA(160) + store() + QStringLiteral("/Nf/docs/plan.txt")},
        {store() + QStringLiteral("/Ac"), MsgA(160) + store() + QStringLiteral("/Ac")},
        {store() + QStringLiteral("/Ac/gone/plan.txt"), MsgA(161)},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(testing::Message() << "row " << (&r - std::data(refusals)));
        messages.clear();
        EXPECT_TRUE(isMarker(paths.ContainerPathOf(r.copy, false))) << r.copy.toStdString();
        EXPECT_EQ(messages.texts(), QStringList{r.message});
    }
}

TEST_F(WorkingCopyPathsTest, TakeOutPathLengthsCountEveryCopyBelowAFolder)
{
    QString error;
    EXPECT_EQ(paths.CheckTakeOutPathLengths({container, root + QStringLiteral("/docs")}, &error), 0);
    EXPECT_TRUE(error.isEmpty());

    // Fits as a container name, but not under its original name in the take-out area.
    const QString longName = QString(250 - store().size(), QLatin1Char('n')) + QStringLiteral(".txt");
    encrypt(sub, longName);
    const QString longCopy = store() + QStringLiteral("/To/docs/2024/") + longName;
    EXPECT_EQ(paths.CheckTakeOutPathLengths({root + QStringLiteral("/docs")}, &error), -1);
    EXPECT_EQ(error, MsgA(468) + QStringLiteral("256") + MsgA(469) + QStringLiteral("\n") + longCopy);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

class DecryptedCopyGuardTest : public WorkingCopyPathsTest
{
};

TEST_F(DecryptedCopyGuardTest, ItemsWithAWorkingCopyAreRefused)
{
    const QString docs = root + QStringLiteral("/docs");
    EXPECT_EQ(guard.RefuseIfDecryptedCopy(docs, root), 0);
    EXPECT_EQ(guard.RefuseIfDecryptedCopy(container, root), 0);
    EXPECT_EQ(guard.RefuseIfEntryDecrypted(sub + QStringLiteral("/plan.txt"), root), 0);
    EXPECT_EQ(guard.WorkingCopyExists(container), -1);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    put(store() + QStringLiteral("/Ac/docs/2024/plan.txt"), "decrypted for use");
    EXPECT_EQ(guard.WorkingCopyExists(container), 0);
    const struct
    {
        int rc;
        QString message;
    } results[] = {
        {guard.RefuseIfDecryptedCopy(docs, root), MsgA(295) + QStringLiteral("docs") + MsgA(296)},
        {guard.RefuseIfDecryptedCopy(container, root), MsgA(297) + QStringLiteral("plan.txt") + MsgA(298)},
        {guard.RefuseIfEntryDecrypted(sub + QStringLiteral("/plan.txt"), root),
         MsgA(297) + QStringLiteral("plan.txt") + MsgA(298)},
        {guard.RefuseIfDecryptedCopy(sub + QStringLiteral("/gone.kbxf"), root),
         MsgA(299) + sub + QStringLiteral("/gone.kbxf")},
    };
    QStringList expected;
    for (const auto& r : results) {
        SCOPED_TRACE(testing::Message() << "row " << (&r - std::data(results)));
        EXPECT_EQ(r.rc, -1);
        expected.append(r.message);
    }
    EXPECT_EQ(messages.texts(), expected);
    for (const auto& shown : messages.shown()) {
        EXPECT_EQ(shown.style, MessageStyle::warning());
    }
    messages.clear();
    EXPECT_EQ(guard.RefuseIfEntryDecrypted(sub + QStringLiteral("/no such name.txt"), root), 0);
    EXPECT_EQ(guard.RefuseIfDecryptedCopy(root + QStringLiteral("/other"), root), -1)
        << "a missing item is no file";

    EXPECT_EQ(guard.IsWorkingCopyOpen(container), 0);
    platform.setOpenElsewhere(store() + QStringLiteral("/Ac/docs/2024/plan.txt"));
    EXPECT_EQ(guard.IsWorkingCopyOpen(container), -1);
}
