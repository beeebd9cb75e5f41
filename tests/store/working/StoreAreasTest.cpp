#include "store/working/StoreAreas.h"

#include "store/working/AreaFolders.h"
#include "store/working/TakeOutArea.h"
#include "store/working/WorkingFolderFixture.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"

#include <QTemporaryDir>

namespace {

class StoreAreasTest : public WorkingFolderTest
{
protected:
    StoreAreas areas{table, [this] { return workingFolder(); }};
};

} // namespace

TEST_F(StoreAreasTest, StartUpRemovesTakeOutFoldersAndScratchAreasOnly)
{
    registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    registerFolder(QStringLiteral("two"), QStringLiteral("S00002"));
    const QString one = storeFolder(QStringLiteral("S00001"));
    const QString two = storeFolder(QStringLiteral("S00002"));
    // Folder one was interrupted in a take-out; folder two is between take-outs.
    for (const QString& store : {one, two}) {
        put(store + QStringLiteral("/Ac/sub/opened.txt"));
        put(store + QStringLiteral("/Nf/sub/_snf.kbxn"));
        put(store + QStringLiteral("/Re/copy.kbxf"));
        put(store + QStringLiteral("/Ce/C/scratch.txt"));
    }
    put(one + QStringLiteral("/To/report.txt"));
    ASSERT_EQ(SetAttributeBits(one + QStringLiteral("/To/report.txt"), FileAttribute::ReadOnly, false), 0);
    put(two + QStringLiteral("/To"), QByteArray());
    // A store folder nobody registered is not ours to clean.
    put(storeFolder(QStringLiteral("OTHERS/Ce/x.txt")));

    EXPECT_EQ(areas.CleanTemporaryAreas(true), 0);

    EXPECT_FALSE(exists(one + QStringLiteral("/To")));
    EXPECT_EQ(FileExists(two + QStringLiteral("/To")), 0);
    for (const QString& store : {one, two}) {
        SCOPED_TRACE(store.toStdString());
        EXPECT_FALSE(exists(store + QStringLiteral("/Ce")));
        EXPECT_EQ(FileExists(store + QStringLiteral("/Ac/sub/opened.txt")), 0);
        EXPECT_EQ(FileExists(store + QStringLiteral("/Nf/sub/_snf.kbxn")), 0);
        EXPECT_EQ(FileExists(store + QStringLiteral("/Re/copy.kbxf")), 0);
    }
    EXPECT_EQ(FileExists(storeFolder(QStringLiteral("OTHERS/Ce/x.txt"))), 0);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    // Nothing left to do is no failure.
    EXPECT_EQ(areas.CleanTemporaryAreas(true), 0);
}

TEST_F(StoreAreasTest, LinksInPlaceOfAreasAreRemovedWithoutFollowingThem)
{
    registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    const QString store = storeFolder(QStringLiteral("S00001"));
    QTemporaryDir outside;
    const QString precious = outside.filePath(QStringLiteral("precious.txt"));
    put(precious, "the user's own file");
    ASSERT_TRUE(QDir().mkpath(store));
    for (const char* area : {"To", "Ce"}) {
        ASSERT_TRUE(QFile::link(outside.path(), store + QLatin1Char('/') + QLatin1String(area)));
    }

    EXPECT_EQ(areas.CleanTemporaryAreas(true), 0);
    EXPECT_FALSE(exists(store + QStringLiteral("/To")));
    EXPECT_FALSE(exists(store + QStringLiteral("/Ce")));
    EXPECT_EQ(readFile(precious), QByteArray("the user's own file"));

    // Opening the take-out area over a link makes a real folder instead.
    ASSERT_TRUE(QFile::link(outside.path(), store + QStringLiteral("/To")));
    ASSERT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Open, store, true), 0);
    EXPECT_FALSE(QFileInfo(store + QStringLiteral("/To")).isSymLink());
    EXPECT_EQ(DirectoryExists(store + QStringLiteral("/To")), 0);
    EXPECT_EQ(readFile(precious), QByteArray("the user's own file"));
}

TEST_F(StoreAreasTest, AreasThatResistAreReported)
{
    registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    registerFolder(QStringLiteral("two"), QStringLiteral("S00002"));
    const QString one = storeFolder(QStringLiteral("S00001"));
    const QString two = storeFolder(QStringLiteral("S00002"));
    for (const QString& store : {one, two}) {
        put(store + QStringLiteral("/To/t.txt"));
        put(store + QStringLiteral("/Ce/c.txt"));
    }
    LockedFolder lockedOne(one);
    LockedFolder lockedTwo(two);
    if (!lockedOne.works()) {
        GTEST_SKIP() << "this user can remove anything";
    }

    EXPECT_EQ(areas.CleanTemporaryAreas(false), -1);
    EXPECT_TRUE(messages.shown().isEmpty());

    EXPECT_EQ(areas.CleanTemporaryAreas(true), -1);
    ASSERT_EQ(messages.shown().size(), 3) << shownMessages().toStdString();
    EXPECT_EQ(messages.shown()[0].text,
              MsgA(634) + one + QStringLiteral("/To") + QStringLiteral("\n\n") + two + QStringLiteral("/To"));
    EXPECT_EQ(messages.shown()[1].text, MsgA(201) + one + QStringLiteral("/Ce"));
    EXPECT_EQ(messages.shown()[2].text, MsgA(201) + two + QStringLiteral("/Ce"));
    // The plain copies are gone all the same; only the folders stay.
    EXPECT_FALSE(exists(one + QStringLiteral("/To/t.txt")));
    EXPECT_FALSE(exists(two + QStringLiteral("/Ce/c.txt")));
}

TEST_F(StoreAreasTest, TakeOutAreaAlternatesBetweenFolderAndEmptyFile)
{
    const QString store = storeFolder(QStringLiteral("S00001"));
    const QString area = store + QStringLiteral("/To");

    // The first take-out makes every level, private to the user.
    ASSERT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Open, store, true), 0);
    EXPECT_EQ(DirectoryExists(area), 0);
    for (const QString& level : {workingFolder(), store, area}) {
        EXPECT_EQ(permissions(level), 0700) << level.toStdString();
    }
    put(area + QStringLiteral("/sub/copy.txt"));
    ASSERT_EQ(SetAttributeBits(area + QStringLiteral("/sub/copy.txt"), FileAttribute::ReadOnly, false), 0);

    ASSERT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Close, store, true), 0);
    EXPECT_EQ(FileExists(area), 0);
    EXPECT_EQ(QFileInfo(area).size(), 0);
    ASSERT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Close, store, true), 0); // twice is harmless
    EXPECT_EQ(FileExists(area), 0);

    ASSERT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Open, store, true), 0);
    EXPECT_EQ(DirectoryExists(area), 0);
    EXPECT_EQ(permissions(area), 0700);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(StoreAreasTest, TakeOutAreaFailuresAreShownOrHandedBack)
{
    const QString store = storeFolder(QStringLiteral("S00001"));
    put(store); // a file where the store folder should be

    QString error;
    EXPECT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Open, store, false, &error), -1);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(error.startsWith(MsgA(642))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("\n") + store + QStringLiteral("/To"))) << error.toStdString();

    EXPECT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Close, store, true), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(MsgA(643)));
    EXPECT_EQ(messages.shown()[0].style.icon, MsgIcon::Error);

    // The no-location marker is no place to make anything in, not even relative to here.
    error.clear();
    EXPECT_EQ(PrepareTakeOutArea(TakeOutAreaKind::Open, MsgB(4), false, &error), -1);
    EXPECT_TRUE(error.startsWith(MsgA(642)));
    EXPECT_FALSE(exists(MsgB(4)));
}

TEST_F(StoreAreasTest, ScratchAreaOfPathsInFoldersAndInStoreFolders)
{
    const QString root = registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    registerFolder(QStringLiteral("two"), QStringLiteral("S00002"));
    const QString scratchOne = storeFolder(QStringLiteral("S00001/Ce"));
    const QString scratchTwo = storeFolder(QStringLiteral("S00002/Ce"));

    struct Case
    {
        QString path;
        QString expected;
    };
    const QList<Case> cases = {
        {root, scratchOne},
        {root + QStringLiteral("/deep/file.txt"), scratchOne},
        {storeFolder(QStringLiteral("S00002/Ac/deep/opened.txt")), scratchTwo},
        {storeFolder(QStringLiteral("S00002")), scratchTwo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        QString folder;
        EXPECT_EQ(areas.ScratchAreaOf(c.path, &folder), 0) << c.path.toStdString();
        EXPECT_EQ(folder, c.expected) << c.path.toStdString();
    }
    EXPECT_FALSE(exists(scratchOne)); // not made here
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    QString folder = QStringLiteral("unchanged");
    const QString stranger = path(QStringLiteral("elsewhere/file.txt"));
    EXPECT_EQ(areas.ScratchAreaOf(stranger, &folder), -1);
    EXPECT_EQ(folder, QStringLiteral("unchanged"));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, MsgA(324) + stranger);
    EXPECT_EQ(messages.shown()[0].style.icon, MsgIcon::Error);
}

TEST_F(StoreAreasTest, AFolderWithoutStoreNameNeverTouchesTheWorkingFolder)
{
    // A damaged record without StoreName maps its store folder onto the working folder itself.
    const QString root = registerFolder(QStringLiteral("damaged"), QString());
    put(workingFolder() + QStringLiteral("/Ce/scratch.txt"));
    put(workingFolder() + QStringLiteral("/To/copy.txt"));
    put(storeFolder(QStringLiteral("S00009/Ac/opened.txt")));

    EXPECT_EQ(areas.RemoveStoreFolder(root), 0);
    EXPECT_EQ(areas.CleanTemporaryAreas(true), 0);
    EXPECT_EQ(FileExists(workingFolder() + QStringLiteral("/Ce/scratch.txt")), 0);
    EXPECT_EQ(FileExists(workingFolder() + QStringLiteral("/To/copy.txt")), 0);
    EXPECT_EQ(FileExists(storeFolder(QStringLiteral("S00009/Ac/opened.txt"))), 0);

    QString folder;
    EXPECT_EQ(areas.ScratchAreaOf(root + QStringLiteral("/file.txt"), &folder), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(325) + root + QStringLiteral("/file.txt")});
}

TEST_F(StoreAreasTest, RemovingAStoreFolderLeavesTheOthers)
{
    const QString root = registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    const QString other = registerFolder(QStringLiteral("two"), QStringLiteral("S00002"));
    put(storeFolder(QStringLiteral("S00001/Nf/_snf.kbxn")));
    put(storeFolder(QStringLiteral("S00001/Ac/sub/opened.txt")));
    ASSERT_EQ(SetAttributeBits(storeFolder(QStringLiteral("S00001/Ac/sub/opened.txt")),
                               FileAttribute::ReadOnly, false),
              0);
    put(storeFolder(QStringLiteral("S00002/Nf/_snf.kbxn")));

    EXPECT_EQ(areas.RemoveStoreFolder(root), 0);
    EXPECT_FALSE(exists(storeFolder(QStringLiteral("S00001"))));
    EXPECT_EQ(FileExists(storeFolder(QStringLiteral("S00002/Nf/_snf.kbxn"))), 0);
    EXPECT_EQ(areas.RemoveStoreFolder(root), 0); // already gone
    EXPECT_EQ(areas.RemoveStoreFolder(path(QStringLiteral("never/registered"))), 0);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
    EXPECT_EQ(DirectoryExists(other), 0);
}

TEST_F(StoreAreasTest, WipeShowsTheErasingTextWhileItRuns)
{
    const QString file = path(QStringLiteral("copy.txt"));
    put(file);
    QStringList texts;
    const QMetaObject::Connection watching =
        QObject::connect(&MainWindowServices::instance(), &MainWindowServices::busyTextChanged,
                         [&](const QString& text) { texts.append(text); });

    EXPECT_EQ(WipeWithBusyText(file, true), 0);
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(texts, (QStringList{MsgA(636), QString()}));
    QObject::disconnect(watching);
}
