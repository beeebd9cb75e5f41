#include "store/StoreTestFixture.h"
#include "store/datafiles/CommonData1.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/settings/SettingsFile.h"
#include "support/SmallDisk.h"
#include "util/MessageText.h"

#include <functional>

namespace {

// One file of the data folder: how to write a first version, then a second one, and what a load
// finds (the first version reads "1", the second "2").
struct FileCase
{
    const char* name;
    const char* fileName;
    int saveFailedMessage;
    std::function<int(CryptEngine&, const QString&, int version)> save;
    std::function<QString(CryptEngine&, const QString&)> load;
};

RegisteredFolderTable folderTable(CryptEngine& engine, const QString& folder)
{
    return RegisteredFolderTable(engine, folder, [] { return QStringLiteral("/work"); });
}

const FileCase FileCases[] = {
    {"settings", "KBXcl.ini", 154,
     [](CryptEngine&, const QString& folder, int version) {
         SettingsRecord record;
         record.DispMode = version;
         if (EnsureSettingsFile(folder) != 0) {
             return -1;
         }
         return SaveSettingsAtExit(record, folder);
     },
     [](CryptEngine&, const QString& folder) {
         SettingsRecord record;
         LoadSettings(record, folder);
         return QString::number(record.DispMode);
     }},
    {"registered folders", "kbxcl_folder.dat", 554,
     [](CryptEngine& engine, const QString& folder, int version) {
         RegisteredFolderTable table = folderTable(engine, folder);
         if (table.LoadRegisteredFolders() != 0) {
             return -1;
         }
         return table.AddRegisteredFolder(QStringLiteral("/srv/%1").arg(version), QString(),
                                          QStringLiteral("password-1"), QStringLiteral("0"),
                                          QStringLiteral("S"), QStringLiteral("0"), DriveFixed);
     },
     [](CryptEngine& engine, const QString& folder) {
         RegisteredFolderTable table = folderTable(engine, folder);
         if (table.LoadRegisteredFolders() != 0) {
             return QStringLiteral("unreadable");
         }
         int count = 0;
         table.CountRegisteredFolders(&count);
         return QString::number(count);
     }},
    {"administrator data", "kbxcl_common1.dat", 563,
     [](CryptEngine& engine, const QString& folder, int version) {
         CommonData1 data(engine, folder);
         int match = 0;
         if (data.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match) != 0) {
             return -1;
         }
         data.SetChangePasswords(
             {{QStringLiteral("n"), QStringLiteral("password-%1").arg(version), QString()}});
         return data.SaveCommon1(QStringLiteral("Admin-Pass1"));
     },
     [](CryptEngine& engine, const QString& folder) {
         CommonData1 data(engine, folder);
         int match = 0;
         if (data.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match) != 0 || match != 1) {
             return QStringLiteral("unreadable");
         }
         return data.GetChangePasswords().value(0).password.right(1);
     }},
    {"working folder data", "kbxcl_common2.dat", 569,
     [](CryptEngine& engine, const QString& folder, int version) {
         CommonData2 data(engine, folder, QStringLiteral("/default"));
         if (data.LoadCommon2() != 0) {
             return -1;
         }
         data.Dummy2 = version;
         return data.SaveCommon2();
     },
     [](CryptEngine& engine, const QString& folder) {
         CommonData2 data(engine, folder, QStringLiteral("/default"));
         return data.LoadCommon2() == 0 ? QString::number(data.Dummy2) : QStringLiteral("unreadable");
     }},
};

class DataFileSafetyTest : public StoreTest
{
};

} // namespace

// A save that fails halfway (a full disk) leaves the previous file whole and readable, and no
// temporary file behind.
TEST_F(DataFileSafetyTest, InterruptedSaveLeavesThePreviousFile)
{
    for (const FileCase& c : FileCases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(FileCases)));
        const QString file = dataFolder() + QLatin1Char('/') + QLatin1String(c.fileName);
        ASSERT_EQ(c.save(engine, dataFolder(), 1), 0) << c.name;
        const QByteArray before = readFile(file);
        const QStringList entries = dataFolderEntries();
        messages.clear();

        SetSaveFailureForTesting([file](const QString& saved) { return saved == file; });
        EXPECT_EQ(c.save(engine, dataFolder(), 2), -1) << c.name;
        SetSaveFailureForTesting({});

        ASSERT_EQ(messages.shown().size(), 1) << c.name;
        EXPECT_TRUE(messages.texts().first().startsWith(MsgA(c.saveFailedMessage))) << c.name;
        EXPECT_EQ(readFile(file), before) << c.name;
        EXPECT_EQ(dataFolderEntries(), entries) << c.name;
        EXPECT_EQ(c.load(engine, dataFolder()), QStringLiteral("1")) << c.name;

        ASSERT_EQ(c.save(engine, dataFolder(), 2), 0) << c.name; // and the next save works
        EXPECT_EQ(c.load(engine, dataFolder()), QStringLiteral("2")) << c.name;
    }
}

// A data file that cannot be deciphered (a size that is no whole number of cipher blocks) fails
// to load: it is set aside as it was, with one message naming it, and the object that failed
// refuses to save, so nothing is written in its place. (The table of registered folders and the
// working-folder data go on with their sound records: DamagedDataFileTest.)
TEST_F(DataFileSafetyTest, FailedLoadNeverLetsASaveOverwriteTheFile)
{
    const QByteArray damaged(4100, 'x');
    const QString file = dataFolder() + QStringLiteral("/kbxcl_common1.dat");
    writeFile(file, damaged);
    messages.clear();
    CommonData1 data(engine, dataFolder());
    int match = 0;
    EXPECT_EQ(data.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match), -1);
    EXPECT_EQ(data.SaveCommon1(QStringLiteral("Admin-Pass1")), -1);
    ASSERT_EQ(messages.shown().size(), 2); // the file set aside, then the refusal
    EXPECT_TRUE(messages.texts().first().contains(file));
    EXPECT_EQ(messages.texts().last(), MsgA(562));
    EXPECT_FALSE(QFileInfo::exists(file));
    const QStringList aside = QDir(dataFolder()).entryList({QStringLiteral("kbxcl_common1.dat.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(dataFolder() + QLatin1Char('/') + aside.first()), damaged);
}

TEST_F(DataFileSafetyTest, SettingsFileThatCannotBeCreatedStopsStartUp)
{
    const QString file = SettingsFilePath(dataFolder());
    SetSaveFailureForTesting([file](const QString& saved) { return saved == file; });
    SettingsRecord record;
    EXPECT_EQ(LoadSettingsAtStartup(record, dataFolder()), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(549)));
    EXPECT_TRUE(messages.texts().first().endsWith(QStringLiteral("\n\n") + file));
    EXPECT_TRUE(dataFolderEntries().isEmpty());
}

// The same on a disk that is really full: every data file's save fails, the previous file stays
// byte for byte and no temporary file is left beside it.
TEST_F(DataFileSafetyTest, FullDiskLeavesThePreviousFile)
{
    SmallDisk disk;
    QString reason;
    if (!disk.mount(path(QStringLiteral("disk")), 1 << 20, &reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    const QString folder = path(QStringLiteral("disk/data"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const FileCase& c : FileCases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(FileCases)));
        const QString file = folder + QLatin1Char('/') + QLatin1String(c.fileName);
        ASSERT_EQ(c.save(engine, folder, 1), 0) << c.name;
        const QByteArray before = readFile(file);
        const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        disk.fill();
        messages.clear();
        EXPECT_EQ(c.save(engine, folder, 2), -1) << c.name;
        EXPECT_FALSE(messages.shown().isEmpty()) << c.name;
        EXPECT_EQ(readFile(file), before) << c.name;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), entries) << c.name;
        disk.release();
        EXPECT_EQ(c.load(engine, folder), QStringLiteral("1")) << c.name;
    }
}
