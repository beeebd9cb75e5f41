#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/frame/WindowFixture.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataLocation.h"
#include "support/TestContainers.h"
#include "support/TestFiles.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

constexpr const char* Password = "Pass-word1";

QByteArray garbage(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : bytes) {
        byte = char(generator.generate());
    }
    return bytes;
}

// The real window started again over data files damaged between two starts.
class StartWithDamagedDataTest : public WindowFixture
{
protected:
    void prepareHome() override { ASSERT_TRUE(QDir().mkpath(folder)); }

    QString dataFolder() const { return home(QStringLiteral("config/kurasoft/KBXcl1")); }
    QString tableFile() const { return dataFolder() + QStringLiteral("/kbxcl_folder.dat"); }

    void restart()
    {
        frame.reset();
        messages.clear();
        frame = std::make_unique<MainWindow>(dataFolder());
        if (frame->isCreated()) {
            frame->StartUpWork(); // as the application does once the window is up
        }
    }

    const QString folder = home(QStringLiteral("金庫"));
};

} // namespace

// A table of registered folders with garbage after its sound record, or garbage only: the window
// starts with one message naming the file, keeps the sound registration and the file aside, and
// no clean-up runs on paths read from garbage.
TEST_F(StartWithDamagedDataTest, DamagedFolderTableGivesOneMessageAndKeepsTheSoundRegistrations)
{
    registerFolder(folder, QLatin1String(Password), {});
    const QByteArray sound = ReadTestFile(tableFile());
    ASSERT_EQ(sound.size(), RegisteredFolderTable::RecordSize);

    const struct
    {
        const char* name;
        QByteArray contents;
        int kept;
    } cases[] = {
        {"garbage after the sound record", sound + garbage(99 * RegisteredFolderTable::RecordSize), 1},
        {"garbage only", garbage(100 * RegisteredFolderTable::RecordSize), 0},
        {"garbage of fifty megabytes", garbage(50 << 20), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frame.reset();
        for (const QString& aside : QDir(dataFolder()).entryList({QStringLiteral("*.damaged-*")})) {
            QFile::remove(dataFolder() + QLatin1Char('/') + aside);
        }
        WriteTestFile(tableFile(), c.contents);
        restart();
        ASSERT_TRUE(frame->isCreated()) << shownTexts();
        ASSERT_EQ(messages.texts().size(), 1) << shownTexts();
        EXPECT_TRUE(messages.texts().first().contains(tableFile())) << shownTexts();
        EXPECT_EQ(frame->store().folders().count(), c.kept);
        EXPECT_EQ(QDir(dataFolder()).entryList({QStringLiteral("kbxcl_folder.dat.damaged-*")}).size(), 1);
        EXPECT_TRUE(QFileInfo::exists(folder)) << "the user's folder is untouched";

        // Quiet from then on.
        restart();
        ASSERT_TRUE(frame->isCreated());
        EXPECT_TRUE(messages.texts().isEmpty()) << shownTexts();
        EXPECT_EQ(frame->store().folders().count(), c.kept);
        WriteTestFile(tableFile(), sound);
    }
}

// Working-folder data cut short kept the window from starting at all; now it starts on the
// default working folder with one message, and the registered folder is still there.
TEST_F(StartWithDamagedDataTest, CutWorkingFolderDataStillLetsTheWindowStart)
{
    registerFolder(folder, QLatin1String(Password), {});
    frame.reset();
    const QString file = dataFolder() + QStringLiteral("/kbxcl_common2.dat");
    WriteTestFile(file, ReadTestFile(file).left(1000));
    restart();
    ASSERT_TRUE(frame->isCreated()) << shownTexts();
    ASSERT_EQ(messages.texts().size(), 1) << shownTexts();
    EXPECT_TRUE(messages.texts().first().contains(file)) << shownTexts();
    EXPECT_EQ(frame->store().folders().count(), 1);
}

namespace {

// Every file below the folder with its bytes, to show that nothing of the user's changed.
std::map<QString, QByteArray> Snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files[file] = ReadTestFile(file);
    }
    return files;
}

} // namespace

// Each data file the window reads at start or at login, damaged each way between two starts: the
// window starts, shows at most one message (naming the file), logs the folder in with its rows
// when its registration was sound, and the user's folder stays byte for byte; nothing is written
// through a link.
TEST_F(StartWithDamagedDataTest, EveryDataFileDamagedEveryWayStartsWithAtMostOneMessage)
{
    ASSERT_FALSE(frame->store().engine().SetTemporaryKey(QLatin1String(Password), QString()).isEmpty());
    EncryptTestFile(frame->store().crypt(), m_home.path(), folder, QStringLiteral("報告書.txt"),
                    CryptEngine::TemporarySlotName, "contents");
    registerFolder(folder, QLatin1String(Password), {MsgButton::Yes, MsgButton::No});
    const QString metadataFile = frame->store().metadata().location().MetadataFileOf(folder);
    ASSERT_TRUE(QFileInfo::exists(metadataFile));
    frame.reset();
    const auto userFiles = Snapshot(folder);
    const QString outside = home(QStringLiteral("outside.txt"));
    const QStringList files = {dataFolder() + QStringLiteral("/kbxcl_folder.dat"),
                               dataFolder() + QStringLiteral("/kbxcl_common2.dat"),
                               dataFolder() + QStringLiteral("/KBXcl.ini"), metadataFile};
    std::map<QString, QByteArray> sound;
    for (const QString& file : files) {
        sound[file] = ReadTestFile(file);
    }
    const struct
    {
        const char* name;
        std::function<void(const QString& file)> damage;
    } damages[] = {
        {"truncated",
         [&](const QString& f) { WriteTestFile(f, sound[f].left(sound[f].size() * 2 / 3 + 1)); }},
        {"garbage of the same length", [&](const QString& f) { WriteTestFile(f, garbage(sound[f].size())); }},
        {"huge", [&](const QString& f) { WriteTestFile(f, garbage(8 << 20)); }},
        {"a link",
         [&](const QString& f) {
             WriteTestFile(outside, "not ours");
             QFile::remove(f);
             ASSERT_TRUE(QFile::link(outside, f));
         }},
        {"a folder",
         [&](const QString& f) {
             QFile::remove(f);
             ASSERT_TRUE(QDir().mkpath(f + QStringLiteral("/inside")));
         }},
    };
    for (const QString& file : files) {
        for (const auto& d : damages) {
            SCOPED_TRACE(QFileInfo(file).fileName().toStdString() + ", " + d.name);
            frame.reset();
            for (const auto& [path, bytes] : sound) {
                QFileInfo info(path);
                if (info.isDir() && !info.isSymLink()) {
                    QDir(path).removeRecursively();
                } else {
                    QFile::remove(path);
                }
                WriteTestFile(path, bytes);
            }
            for (const QString& aside : QDir(dataFolder()).entryList({QStringLiteral("*.damaged-*")})) {
                QFile::remove(dataFolder() + QLatin1Char('/') + aside);
            }
            d.damage(file);
            restart();
            ASSERT_TRUE(frame->isCreated()) << shownTexts();
            const bool registered = frame->store().folders().IsRegistered(folder) == 0;
            if (registered) {
                ASSERT_TRUE(frame->tree()->SelectFolder(folder));
                frame->tree()->LoginSelectedFolder(QLatin1String(Password));
            }
            EXPECT_LE(messages.texts().size(), 1) << shownTexts();
            if (!messages.texts().isEmpty()) {
                EXPECT_TRUE(messages.texts().first().contains(file)) << shownTexts();
            }
            if (file == files.first()) {
                EXPECT_FALSE(registered) << "a registration read from garbage";
            } else {
                EXPECT_TRUE(registered);
            }
            if (registered) {
                const ContentsModel* rows = frame->contents()->contentsModel();
                EXPECT_TRUE(WaitFor([&] { return rows->rowCount() == 1; })) << shownTexts();
            }
            EXPECT_TRUE(Snapshot(folder) == userFiles) << "the user's folder changed";
            if (QFileInfo::exists(outside)) {
                EXPECT_EQ(ReadTestFile(outside), QByteArray("not ours"));
            }
        }
    }
}
