#include "store/checks/ItemComparison.h"
#include "store/checks/StoreChecksFixture.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/StringTable.h"
#include "util/TimeText.h"

class ContainerChecksTest : public StoreChecksTest
{
protected:
    void SetUp() override
    {
        StoreChecksTest::SetUp();
        ASSERT_EQ(engine.SetKeySlot("0ther-pass", otherKey(), QStringLiteral("別の")), 0);
        docs = root + QStringLiteral("/docs");
        container = encrypt(docs, QStringLiteral("plan.txt"), "twelve bytes");
        foreign = encrypt(docs, QStringLiteral("foreign.txt"), "x", otherKey());
        plain = docs + QStringLiteral("/notes.txt");
        put(plain, "not encrypted");
        messages.clear();
    }
    QString otherKey() const { return path(QStringLiteral("vault/other")); }

    QString docs, container, foreign, plain;
};

TEST_F(ContainerChecksTest, DisplayNamesComeFromContainersTheKeyOpens)
{
    const struct
    {
        QString path;
        QString key;
        int rc;
        QString name;
    } cases[] = {
        {docs, root, 0, QStringLiteral("docs")},
        {container, root, 0, QStringLiteral("plan.txt")},
        {foreign, root, 2, FileNamePart(foreign)},
        {plain, root, 2, QStringLiteral("notes.txt")},
        {container, path(QStringLiteral("vault/logged-out")), 2, FileNamePart(container)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        QString name;
        EXPECT_EQ(checks.DisplayNameOf(c.path, c.key, &name), c.rc) << c.path.toStdString();
        EXPECT_EQ(name, c.name);
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(ContainerChecksTest, AStoredNameThatLeadsOutOfTheFolderIsNoDisplayName)
{
    for (const QString& stored :
         {QStringLiteral(".."), QStringLiteral("../escape.txt"), QStringLiteral("a/b")}) {
        const QString crafted = craftedContainer(docs, stored);
        QString name;
        EXPECT_EQ(checks.DisplayNameOf(crafted, root, &name), -1) << stored.toStdString();
        EXPECT_EQ(name, FileNamePart(crafted));
        QFile::remove(crafted);
    }
}

TEST_F(ContainerChecksTest, ReadabilityTellsOtherKeysFromPlainFiles)
{
    const struct
    {
        QString path;
        QString key;
        int rc;
        int otherKey;
    } cases[] = {
        {container, root, 0, 0},
        {foreign, root, -1, 1},
        {container, path(QStringLiteral("vault/logged-out")), -1, 1},
        {plain, root, -1, 0},
        {docs + QStringLiteral("/missing"), root, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        int flag = -5;
        EXPECT_EQ(checks.IsReadableContainer(c.path, c.key, &flag), c.rc) << c.path.toStdString();
        EXPECT_EQ(flag, c.otherKey) << c.path.toStdString();
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    const QString clean = root + QStringLiteral("/clean");
    encrypt(clean + QStringLiteral("/sub"), QStringLiteral("a.txt"));
    QString failing;
    EXPECT_EQ(checks.AllContainersReadable(clean, root, &failing), 0);
    put(clean + QStringLiteral("/sub/deeper/stray.txt"));
    EXPECT_EQ(checks.AllContainersReadable(clean, root, &failing), -1);
    EXPECT_EQ(failing, clean + QStringLiteral("/sub/deeper/stray.txt"));
}

TEST_F(ContainerChecksTest, HintsAreReadWithoutAnyPassword)
{
    engine.ClearKeySlot(otherKey());
    QString hint, error;
    EXPECT_EQ(checks.ReadHintOfFile(foreign, &hint, &error), 0);
    EXPECT_EQ(hint, QStringLiteral("別の"));
    EXPECT_TRUE(error.isEmpty());

    EXPECT_EQ(checks.ReadHintOfFile(plain, &hint, &error), -1);
    EXPECT_TRUE(hint.isEmpty());
    EXPECT_EQ(error, QStringLiteral("このファイルは") + LoadText(57344) + MsgA(331));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(ContainerChecksTest, SizesAndIdentityCompareWhatTheContainerHolds)
{
    const QString source = path(QStringLiteral("plain/plan.txt")); // what `container` was made from
    const QString sameSize = path(QStringLiteral("twelve.txt"));
    put(sameSize, "TWELVE BYTES");
    EXPECT_EQ(SameSize(checks, container, sameSize, OnlyAContainer, root, QString()), 0);
    EXPECT_EQ(SameSize(checks, sameSize, container, OnlyBContainer, QString(), root), 0);
    EXPECT_EQ(SameSize(checks, container, container, BothContainers, root, root), 0);
    EXPECT_EQ(SameSize(checks, container, sameSize, NeitherContainer, root, root), -1)
        << "the container file is larger";
    EXPECT_EQ(SameSize(checks, container, plain, OnlyAContainer, root, QString()), -1);

    EXPECT_EQ(IsIdenticalToContainer(checks, source, container, root), 7);
    QDateTime written;
    ASSERT_EQ(FileTimeText(source, FileTimeKind::LastWrite, nullptr, &written), 0);
    ASSERT_EQ(SetModifiedTime(source, written.addSecs(1)), 0);
    EXPECT_EQ(IsIdenticalToContainer(checks, source, container, root), 0);
    ASSERT_EQ(SetModifiedTime(source, written), 0);
    EXPECT_EQ(IsIdenticalToContainer(checks, source, container, root), 7);
    put(source, "thirteen bytes");
    ASSERT_EQ(SetModifiedTime(source, written), 0);
    EXPECT_EQ(IsIdenticalToContainer(checks, source, container, root), 0);
    EXPECT_EQ(IsIdenticalToContainer(checks, source, docs + QStringLiteral("/gone.kbxf"), root), -1);
    EXPECT_EQ(IsIdenticalToContainer(checks, path(QStringLiteral("gone.txt")), container, root), -1);

    EXPECT_EQ(SameModifiedTime(source, source), 0);
    EXPECT_EQ(SameModifiedTime(source, QString()), -1);
    EXPECT_EQ(SameModifiedTime(source, path(QStringLiteral("gone.txt"))), -1);
}

TEST_F(ContainerChecksTest, TreeCollisionsFindCopiesUnderOriginalOrOwnNames)
{
    const QString target = path(QStringLiteral("copies"));
    ASSERT_TRUE(QDir().mkpath(target));
    QString offending;
    EXPECT_EQ(CheckTreeCollisions(checks, root, target, 1, 0, root, &offending), 0);

    put(target + QStringLiteral("/docs/plan.txt"), "a working copy");
    EXPECT_EQ(CheckTreeCollisions(checks, root, target, 1, 0, root, &offending), -1);
    EXPECT_EQ(offending, container);
    EXPECT_EQ(CheckTreeCollisions(checks, root, target, 0, 0, root, &offending), 0)
        << "under stored names nothing is there";

    // With same-time, a file with the source's last-write time is no collision.
    put(target + QStringLiteral("/docs/notes.txt"), "other");
    QDateTime written;
    ASSERT_EQ(FileTimeText(plain, FileTimeKind::LastWrite, nullptr, &written), 0);
    ASSERT_EQ(SetModifiedTime(target + QStringLiteral("/docs/notes.txt"), written), 0);
    EXPECT_EQ(CheckTreeCollisions(checks, docs, target + QStringLiteral("/docs"), 0, 1, root, &offending), 0);
    ASSERT_EQ(SetModifiedTime(target + QStringLiteral("/docs/notes.txt"), written.addSecs(-60)), 0);
    EXPECT_EQ(CheckTreeCollisions(checks, docs, target + QStringLiteral("/docs"), 0, 1, root, &offending),
              -1);
    EXPECT_EQ(offending, QStringLiteral("notes.txt"));
    EXPECT_EQ(CheckTreeCollisions(checks, docs, target + QStringLiteral("/docs"), 0, 0, root, &offending),
              -1);
    EXPECT_EQ(offending, plain);
}

TEST_F(ContainerChecksTest, StatisticsOfAPathThatIsNothingAreRefused)
{
    qint64 files = -1, bytes = -1, folders = -1;
    EXPECT_EQ(FolderStatisticsChecked(root, 1, &files, &bytes, &folders), 0);
    EXPECT_EQ(files, 3);
    EXPECT_EQ(folders, 1);
    EXPECT_EQ(FolderStatisticsChecked(plain, 1, &files, &bytes, &folders), 0);
    EXPECT_EQ(bytes, 13);

    const QString gone = root + QStringLiteral("/gone");
    EXPECT_EQ(FolderStatisticsChecked(gone, 0, &files, &bytes, &folders), -1);
    EXPECT_EQ(files + bytes + folders, 0);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(FolderStatisticsChecked(gone, 1, &files, &bytes, &folders), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(308) + gone});
}
