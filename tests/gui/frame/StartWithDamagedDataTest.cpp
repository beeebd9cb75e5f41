#include "frame/MainWindow.h"
#include "gui/frame/WindowFixture.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

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
