#include "store/working/DecryptedCopies.h"

#include "store/working/WorkingFolderFixture.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"

#include <QMap>
#include <QTemporaryDir>

namespace {

class DecryptedCopiesTest : public WorkingFolderTest
{
protected:
    // The time each copy was given when it was decrypted; copies not listed cannot be told.
    QMap<QString, QDateTime> recorded;
    DecryptedCopies copies{table, [this] { return workingFolder(); },
                           [this](const QString& copy, QDateTime* time) {
                               if (!recorded.contains(copy)) {
                                   return -1;
                               }
                               *time = recorded.value(copy);
                               return 0;
                           }};

    // A decrypted copy below the store folder's "Ac" area, with the container's time.
    QString decrypt(const QString& storeName, const QString& relative)
    {
        const QString copy = storeFolder(storeName) + QStringLiteral("/Ac/") + relative;
        put(copy);
        const QDateTime time = QDateTime::fromSecsSinceEpoch(1700000000);
        EXPECT_EQ(SetModifiedTime(copy, time), 0);
        recorded.insert(copy, time);
        return copy;
    }
};

} // namespace

TEST_F(DecryptedCopiesTest, FoldersWithCopiesAtAnyDepthAreListed)
{
    const QString one = registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    const QString two = registerFolder(QStringLiteral("two"), QStringLiteral("S00002"));
    const QString three = registerFolder(QStringLiteral("three"), QStringLiteral("S00003"));
    ASSERT_TRUE(QDir().mkpath(storeFolder(QStringLiteral("S00002/Ac/empty/folders/only"))));
    put(storeFolder(QStringLiteral("S00002/Nf/_snf.kbxn"))); // metadata is no decrypted copy
    decrypt(QStringLiteral("S00003"), QStringLiteral("a/b/c/deep.txt"));
    QString list;
    QStringList roots;

    EXPECT_EQ(copies.ListFoldersWithDecryptedFiles(&list, &roots), -1);
    EXPECT_EQ(list, three + QStringLiteral("\r\n"));
    decrypt(QStringLiteral("S00001"), QStringLiteral(".hidden"));
    EXPECT_EQ(copies.ListFoldersWithDecryptedFiles(&list, &roots), -1);
    EXPECT_EQ(list, one + QStringLiteral("\r\n") + three + QStringLiteral("\r\n"));
    EXPECT_EQ(roots, (QStringList{one, three}));
    EXPECT_EQ(copies.HasDecryptedFiles(two), 0);
    EXPECT_EQ(copies.HasDecryptedFiles(three + QStringLiteral("/a")), -1); // any path in the folder
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    ASSERT_EQ(copies.ClearDecryptedFiles(one, DecryptedCopies::AnnounceLoss), 0);
    ASSERT_EQ(copies.ClearDecryptedFiles(three, DecryptedCopies::AnnounceLoss), 0);
    EXPECT_EQ(copies.ListFoldersWithDecryptedFiles(&list, &roots), 0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(roots.isEmpty());
}

TEST_F(DecryptedCopiesTest, ClearingWipesTheWholeAreaButNothingOutsideIt)
{
    const QString root = registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    const QString area = storeFolder(QStringLiteral("S00001/Ac"));
    const QString copy = decrypt(QStringLiteral("S00001"), QStringLiteral("sub/report.txt"));
    ASSERT_EQ(SetAttributeBits(copy, FileAttribute::ReadOnly, false), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(area + QStringLiteral("/sub")).constData(), 0500), 0);
    // A link in the area leads to a file of the user's that must survive.
    QTemporaryDir outside;
    const QString precious = outside.filePath(QStringLiteral("precious.txt"));
    put(precious, "the user's own file");
    ASSERT_EQ(SetAttributeBits(precious, FileAttribute::ReadOnly, false), 0);
    ASSERT_TRUE(QFile::link(precious, area + QStringLiteral("/link.txt")));
    put(storeFolder(QStringLiteral("S00001/Nf/_snf.kbxn")));

    ASSERT_EQ(copies.ClearDecryptedFiles(root, DecryptedCopies::AnnounceLoss), 0);
    EXPECT_FALSE(exists(area));
    EXPECT_EQ(readFile(precious), QByteArray("the user's own file"));
    EXPECT_EQ(permissions(precious) & 0200, 0); // its read-only state is not ours to change
    EXPECT_EQ(FileExists(storeFolder(QStringLiteral("S00001/Nf/_snf.kbxn"))), 0);
    EXPECT_EQ(copies.ClearDecryptedFiles(root, DecryptedCopies::AnnounceLoss), 0); // nothing left
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(DecryptedCopiesTest, DiscardingWarnsAsTheModeAsksForReadOnlyFolders)
{
    const QString readOnly = registerFolder(QStringLiteral("cd"), QStringLiteral("S00001"), true);
    const QString writable = registerFolder(QStringLiteral("disk"), QStringLiteral("S00002"));
    enum Change
    {
        Unchanged,
        Saved,
        Untold,
    };
    struct Case
    {
        const char* name;
        QString root;
        int mode;
        Change change;
        int message; // 0: none
    };
    const QList<Case> cases = {
        {"announce", readOnly, DecryptedCopies::AnnounceLoss, Unchanged, 319},
        {"unchanged", readOnly, DecryptedCopies::WarnIfChanged, Unchanged, 0},
        {"saved", readOnly, DecryptedCopies::WarnIfChanged, Saved, 320},
        {"untold", readOnly, DecryptedCopies::WarnIfChanged, Untold, 320},
        {"silent", readOnly, DecryptedCopies::Silent, Saved, 0},
        {"writable", writable, DecryptedCopies::AnnounceLoss, Saved, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString storeName = c.root == readOnly ? QStringLiteral("S00001") : QStringLiteral("S00002");
        decrypt(storeName, QStringLiteral("same.txt"));
        const QString copy = decrypt(storeName, QStringLiteral("sub/other.txt"));
        if (c.change == Saved) {
            ASSERT_EQ(SetModifiedTime(copy, QDateTime::fromSecsSinceEpoch(1700000001)), 0);
        } else if (c.change == Untold) {
            recorded.remove(copy);
        }
        messages.clear();

        EXPECT_EQ(copies.DiscardDecryptedFiles(c.root, c.mode), 0);
        EXPECT_FALSE(exists(storeFolder(storeName) + QStringLiteral("/Ac")));
        if (c.message == 0) {
            EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
        } else {
            ASSERT_EQ(messages.shown().size(), 1);
            EXPECT_EQ(messages.shown()[0].text, MsgA(c.message) + c.root);
            EXPECT_EQ(messages.shown()[0].style.icon, MsgIcon::Warning);
        }
    }

    // Without decrypted copies there is nothing to say.
    messages.clear();
    EXPECT_EQ(copies.DiscardDecryptedFiles(readOnly, DecryptedCopies::AnnounceLoss), 0);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(DecryptedCopiesTest, AFailedDiscardIsSilentOnlyInSilentMode)
{
    const QString root = registerFolder(QStringLiteral("one"), QStringLiteral("S00001"));
    decrypt(QStringLiteral("S00001"), QStringLiteral("opened.txt"));
    LockedFolder locked(storeFolder(QStringLiteral("S00001")));
    if (!locked.works()) {
        GTEST_SKIP() << "this user can remove anything";
    }

    EXPECT_EQ(copies.DiscardDecryptedFiles(root, DecryptedCopies::Silent), -1);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    decrypt(QStringLiteral("S00001"), QStringLiteral("opened.txt"));
    EXPECT_EQ(copies.DiscardDecryptedFiles(root, DecryptedCopies::AnnounceLoss), -1);
    ASSERT_EQ(messages.shown().size(), 2) << shownMessages().toStdString();
    EXPECT_TRUE(messages.shown()[0].text.startsWith(MsgA(318)));
    EXPECT_TRUE(
        messages.shown()[0].text.endsWith(QStringLiteral("\n") + storeFolder(QStringLiteral("S00001/Ac"))));
    EXPECT_EQ(messages.shown()[1].text, MsgA(321) + root);
}
