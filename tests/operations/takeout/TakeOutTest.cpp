#include "operations/takeout/TakeOut.h"

#include "operations/OperationsFixture.h"
#include "operations/open/OpenFiles.h"
#include "operations/open/ReflectCopies.h"
#include "store/working/WorkingAreaNames.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/ShellOperations.h"
#include "util/MessageText.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

class TakeOutTest : public OperationsTest
{
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        report = encrypt(root, QStringLiteral("report.txt"));
        ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/写真")));
        encrypt(root + QStringLiteral("/写真"), QStringLiteral("a.jpg"));
        ASSERT_EQ(store.metadata().SyncFolderMetadata(root, root), 0);
        takeOut.reflect = [this](const QStringList& copies) { return ReflectCopies(store).ReflectSelected(copies); };
        ASSERT_TRUE(QDir().mkpath(outside()));
    }

    QString outside() const { return path(QStringLiteral("desk")); }

    // The dialog as a user who moves (or copies) everything to the desk.
    void handOut(bool move)
    {
        prompts.setTakeOutHandler([this, move](const TakeOutDialogRequest& request) {
            seen = request;
            for (const QString& item : request.paths) {
                const QString target = outside() + QLatin1Char('/') + QFileInfo(item).fileName();
                if (move) {
                    EXPECT_EQ(MovePath(item, target), 0);
                } else {
                    EXPECT_EQ(ShellCopy({item}, outside()), 0);
                }
            }
            TakeOutDialogResult result;
            result.moved = move;
            return result;
        });
    }

    bool takeOutAreaIsPlaceholder()
    {
        const QFileInfo area(store.folders().StoreFolderOf(root, 0) + QLatin1Char('/') + WorkingArea::TakeOut);
        return area.isFile() && area.size() == 0;
    }

    QByteArray decrypt(const QString& container, const QString& slot)
    {
        const QString target = path(QStringLiteral("check/") + QFileInfo(container).fileName() + QStringLiteral(".plain"));
        QDir().mkpath(path(QStringLiteral("check")));
        if (crypt.DecryptToFile(container, target, slot) != 0) {
            return QByteArray("(not decryptable)");
        }
        return ReadTestFile(target);
    }

    OpenFiles open{store};
    TakeOut takeOut{store, open};
    QString report;
    TakeOutDialogRequest seen;
};

} // namespace

TEST_F(TakeOutTest, DecryptedTakeOutWithMoveRemovesTheOriginalsAndCopyKeepsThem)
{
    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        handOut(move);
        ASSERT_EQ(takeOut.Run(TakeOut::Decrypted, {report, root + QStringLiteral("/写真")}), 0) << shownMessages();
        EXPECT_EQ(seen.kinds, (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
        EXPECT_EQ(ReadTestFile(outside() + QStringLiteral("/report.txt")), QByteArray("secret contents"));
        EXPECT_EQ(ReadTestFile(outside() + QStringLiteral("/写真/a.jpg")), QByteArray("secret contents"));
        EXPECT_EQ(QFileInfo::exists(report), !move);
        EXPECT_EQ(QFileInfo::exists(root + QStringLiteral("/写真")), !move);
        EXPECT_EQ(takeOut.removedOriginals(), move);
        EXPECT_TRUE(takeOutAreaIsPlaceholder()) << "no plain copy is left in the take-out area";
        QDir(outside()).removeRecursively();
        QDir().mkpath(outside());
    }
}

TEST_F(TakeOutTest, EncryptedTakeOutsAreNamedAsTheSettingSaysAndReadWithTheirPassword)
{
    store.settings().AngoOutNameMode = 0;
    handOut(false);
    ASSERT_EQ(takeOut.Run(TakeOut::Encrypted, {report}), 0) << shownMessages();
    EXPECT_EQ(decrypt(outside() + QStringLiteral("/report.txt.kbxf"), root), QByteArray("secret contents"));
    EXPECT_TRUE(QFileInfo::exists(report)) << "an encrypted take-out never removes the original";

    store.settings().AngoOutNameMode = 1;
    QDir(outside()).removeRecursively();
    QDir().mkpath(outside());
    ASSERT_EQ(takeOut.Run(TakeOut::Encrypted, {report}), 0) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(outside() + QLatin1Char('/') + QFileInfo(report).fileName()));

    // Under a new password: the folder's key no longer opens it, the new one does.
    store.settings().AngoOutNameMode = 0;
    QDir(outside()).removeRecursively();
    QDir().mkpath(outside());
    prompts.scriptTakeOutPasswords({{QStringLiteral("Colleague-9"), QStringLiteral("いつもの")}});
    ASSERT_EQ(takeOut.Run(TakeOut::NewPassword, {report}), 0) << shownMessages();
    const QString handed = outside() + QStringLiteral("/report.txt.kbxf");
    EXPECT_EQ(decrypt(handed, root), QByteArray("(not decryptable)"));
    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Colleague-9")), QStringLiteral("/colleague"),
                                QString()),
              0);
    messages.clear();
    EXPECT_EQ(decrypt(handed, QStringLiteral("/colleague")), QByteArray("secret contents"));
    EXPECT_TRUE(takeOutAreaIsPlaceholder());
}

TEST_F(TakeOutTest, ReadOnlyContainersStayReadOnlyOutsideOnlyWhenTheSettingSaysSo)
{
    ASSERT_EQ(SetAttributeBits(report, FileAttribute::ReadOnly, false), 0);
    store.settings().AngoOutNameMode = 1;
    for (const int keep : {1, 0}) {
        SCOPED_TRACE(keep);
        store.settings().OutReadOnlyFlg = keep;
        QDir(outside()).removeRecursively();
        QDir().mkpath(outside());
        handOut(false);
        ASSERT_EQ(takeOut.Run(TakeOut::Encrypted, {report}), 0) << shownMessages();
        const QFileInfo handed(outside() + QLatin1Char('/') + QFileInfo(report).fileName());
        ASSERT_TRUE(handed.exists());
        EXPECT_EQ(bool(handed.permissions() & QFile::WriteOwner), keep == 0);
    }
}

TEST_F(TakeOutTest, DecryptedItemsAreRefusedAndChangedCopiesWrittenBackFirst)
{
    // A copy out for use and unchanged: refused.
    OpenFiles::Request request;
    request.path = report;
    request.launch = false;
    ASSERT_EQ(open.OpenEncryptedFile(request), 0);
    const QString copy = store.copyPaths().WorkingCopyPathOf(report);
    handOut(false);
    EXPECT_EQ(takeOut.Run(TakeOut::Decrypted, {report}), -1);
    EXPECT_TRUE(messages.texts().value(0).startsWith(MsgA(122))) << shownMessages();
    EXPECT_TRUE(takeOutAreaIsPlaceholder());

    // Changed: asked, written back, then taken out with the change.
    WriteTestFile(copy, "changed contents");
    SetModifiedTime(copy, QDateTime::currentDateTime().addSecs(10));
    messages.clear();
    messages.script({MsgButton::Yes, MsgButton::Yes});
    ASSERT_EQ(takeOut.Run(TakeOut::Decrypted, {report}), 0) << shownMessages();
    EXPECT_EQ(messages.texts().value(0), MsgA(85));
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(ReadTestFile(outside() + QStringLiteral("/report.txt")), QByteArray("changed contents"));
}
