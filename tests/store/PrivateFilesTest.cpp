#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "store/StoreTestFixture.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/TreeCopies.h"
#include "store/datafiles/CommonData1.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataFile.h"
#include "store/settings/SettingsFile.h"
#include "store/working/AreaFolders.h"
#include "store/working/TakeOutArea.h"
#include "store/working/WorkingCopyPaths.h"
#include "support/FileModes.h"
#include "support/LogCapture.h"
#include "util/MainWindowServices.h"
#include "util/NamingRules.h"
#include "util/PathText.h"

#include <functional>
#include <optional>

namespace {

const QString Password = QStringLiteral("Pass-word1");

// The program from its first start on, run under one umask (the test's parameter), which is set
// before anything is made and put back when the test ends. The data folder is the one a first
// start makes, below a configuration folder that does not exist yet.
class PrivateFilesTest : public StoreTest, public ::testing::WithParamInterface<mode_t>
{
protected:
    void SetUp() override
    {
        m_umask.emplace(GetParam());
        StoreTest::SetUp();
        MainWindowServices::instance().reset();
        MetadataFlags::instance() = MetadataFlags{};
        crypt.setWorkingFolder(workingFolder());
    }
    void TearDown() override
    {
        StoreTest::TearDown();
        m_umask.reset();
    }

    QString config() const { return path(QStringLiteral("config")); }
    QString data() const { return path(QStringLiteral("config/kurasoft/KBXcl1")); }
    QString dataFile(const char* name) const { return data() + QLatin1Char('/') + QLatin1String(name); }
    QString workingFolder() const { return path(QStringLiteral("work")); }
    QString store() const { return workingFolder() + QStringLiteral("/S00001"); }
    QString root() const { return path(QStringLiteral("vault/secret")); }
    QString shownMessages() const { return messages.texts().join(QStringLiteral("\n--\n")); }

    int firstStart()
    {
        SettingsRecord settings;
        bool first = false;
        if (LoadSettingsAtStartup(settings, data(), &first) != 0 || !first) {
            return -1;
        }
        CommonData2 common2(engine, data(), workingFolder());
        return table.LoadRegisteredFolders() == 0 && common2.LoadCommon2() == 0 ? 0 : -1;
    }

    RegisteredFolderTable table{engine, data(), [this] { return workingFolder(); }};
    ContainerCrypt crypt{engine};
    FolderMetadata metadata{table, [this] { return workingFolder(); }, crypt};
    ContainerChecks checks{crypt};
    WorkingCopyPaths paths{table, metadata, checks, [this] { return workingFolder(); }};
    TreeCopies copies{checks, [this] { return workingFolder(); }};

private:
    std::optional<ScopedUmask> m_umask;
};

// One step of the program and the modes of what it leaves behind, checked right after it.
struct Step
{
    const char* name;
    std::function<int()> run;
    std::function<QList<std::pair<QString, const char*>>()> expected;
};

} // namespace

TEST_P(PrivateFilesTest, EverythingItWritesIsTheUsersAlone)
{
    const QString plain = path(QStringLiteral("home/report.txt"));
    WriteTestFile(plain, "quarterly figures");
    QString container;
    QString rawOutput;

    const Step steps[] = {
        {"first start", [&] { return firstStart(); },
         [&] {
             return QList<std::pair<QString, const char*>>{{config(), "0700"},
                                                           {path(QStringLiteral("config/kurasoft")), "0700"},
                                                           {data(), "0700"},
                                                           {dataFile("KBXcl.ini"), "0600"},
                                                           {dataFile("kbxcl_folder.dat"), "0600"},
                                                           {dataFile("kbxcl_common2.dat"), "0600"}};
         }},
        {"settings saved at exit", [&] { return SaveSettingsAtExit(SettingsRecord{}, data()); },
         [&] {
             return QList<std::pair<QString, const char*>>{{dataFile("KBXcl.ini"), "0600"}};
         }},
        {"folder table saved",
         [&] {
             QDir().mkpath(root());
             return table.AddRegisteredFolder(root(), QString(), Password, QStringLiteral("0"),
                                              QStringLiteral("S00001"), QStringLiteral("0"), DriveFixed);
         },
         [&] {
             return QList<std::pair<QString, const char*>>{{dataFile("kbxcl_folder.dat"), "0600"}};
         }},
        {"working folder data saved",
         [&] {
             CommonData2 common2(engine, data(), workingFolder());
             return common2.LoadCommon2() == 0 ? common2.SaveCommon2() : -1;
         },
         [&] {
             return QList<std::pair<QString, const char*>>{{dataFile("kbxcl_common2.dat"), "0600"}};
         }},
        {"administrator data saved",
         [&] {
             CommonData1 common1(engine, data());
             int match = 0;
             return common1.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match) == 0
                        ? common1.SaveCommon1(QStringLiteral("Admin-Pass1"))
                        : -1;
         },
         [&] {
             return QList<std::pair<QString, const char*>>{{dataFile("kbxcl_common1.dat"), "0600"}};
         }},
        {"container",
         [&] {
             QString name;
             if (engine.SetKeySlot(CryptEngine::PasswordToBytes(Password), root(), QString()) != 0 ||
                 ContainerName(root(), &name) != 0) {
                 return -1;
             }
             container = root() + QLatin1Char('/') + name;
             return crypt.EncryptIntoFolder(plain, container, root());
         },
         [&] {
             return QList<std::pair<QString, const char*>>{{container, "0600"}};
         }},
        {"folder metadata", [&] { return metadata.SyncFolderMetadata(root(), root()); },
         [&] {
             return QList<std::pair<QString, const char*>>{
                 {workingFolder(), "0700"},
                 {store(), "0700"},
                 {store() + QStringLiteral("/Nf"), "0700"},
                 {store() + QStringLiteral("/Nf/_snf.kbxn"), "0400"}};
         }},
        {"decrypted copy",
         [&] {
             const QString copy = paths.WorkingCopyPathOf(container);
             return CreatePrivateFolderTree(DirectoryPart(copy)) == 0
                        ? crypt.DecryptToFile(container, copy, root())
                        : -1;
         },
         [&] {
             return QList<std::pair<QString, const char*>>{
                 {store() + QStringLiteral("/Ac"), "0700"},
                 {store() + QStringLiteral("/Ac/report.txt"), "0600"}};
         }},
        {"take-out area opened", [&] { return PrepareTakeOutArea(TakeOutAreaKind::Open, store(), true); },
         [&] {
             return QList<std::pair<QString, const char*>>{{store() + QStringLiteral("/To"), "0700"}};
         }},
        {"decrypted take-out copy",
         [&] { return crypt.DecryptToFile(container, paths.TakeOutCopyPathOf(container), root()); },
         [&] {
             return QList<std::pair<QString, const char*>>{
                 {store() + QStringLiteral("/To/report.txt"), "0600"}};
         }},
        {"encrypted take-out copy of a container the user widened",
         [&] {
             ::chmod(QFile::encodeName(container).constData(), 0644);
             return copies.CopyFileTo(container, store() + QStringLiteral("/Re/report.txt.kbxf"));
         },
         [&] {
             return QList<std::pair<QString, const char*>>{
                 {store() + QStringLiteral("/Re"), "0700"},
                 {store() + QStringLiteral("/Re/report.txt.kbxf"), "0600"}};
         }},
        {"take-out area closed", [&] { return PrepareTakeOutArea(TakeOutAreaKind::Close, store(), true); },
         [&] {
             return QList<std::pair<QString, const char*>>{{store() + QStringLiteral("/To"), "0600"}};
         }},
        {"tool format, both ways",
         [&] {
             if (crypt.RawEncryptFile(plain, root(), &rawOutput) != 0) {
                 return -1;
             }
             return crypt.RawDecryptFile(rawOutput, path(QStringLiteral("home/back.txt")), root());
         },
         [&] {
             return QList<std::pair<QString, const char*>>{{rawOutput, "0600"},
                                                           {path(QStringLiteral("home/back.txt")), "0600"}};
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_EQ(step.run(), 0) << shownMessages().toStdString();
        for (const auto& [item, mode] : step.expected()) {
            EXPECT_EQ(OctalMode(item), mode) << item.toStdString();
        }
    }
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

// Files and a data folder left open to others by an older version: the folder is closed at the
// next start, each file at its next save, each change noted once in the log; a file that is
// already stricter keeps its mode.
TEST_P(PrivateFilesTest, LooserModesLeftBehindAreTightenedOnce)
{
    WriteTestFile(dataFile("KBXcl.ini"), QByteArray("\xFF\xFE", 2));
    WriteTestFile(dataFile("kbxcl_common2.dat"), QByteArray());
    WriteTestFile(dataFile("kbxcl_folder.dat"), QByteArray());
    const auto setMode = [](const QString& item, mode_t mode) {
        ASSERT_EQ(::chmod(QFile::encodeName(item).constData(), mode), 0) << item.toStdString();
    };
    setMode(data(), 0755);
    setMode(dataFile("KBXcl.ini"), 0666);
    setMode(dataFile("kbxcl_common2.dat"), 0644);
    setMode(dataFile("kbxcl_folder.dat"), 0400);

    LogCapture log;
    SettingsRecord settings;
    ASSERT_EQ(LoadSettingsAtStartup(settings, data()), 0) << shownMessages().toStdString();
    EXPECT_EQ(OctalMode(data()), "0700");
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().contains(data()));
    EXPECT_EQ(OctalMode(dataFile("KBXcl.ini")), "0666") << "no file changes before it is saved";

    log.clear();
    CommonData2 common2(engine, data(), workingFolder());
    ASSERT_EQ(common2.LoadCommon2(), 0);
    for (int save = 0; save < 2; ++save) {
        ASSERT_EQ(SaveSettingsAtExit(settings, data()), 0);
        ASSERT_EQ(common2.SaveCommon2(), 0);
        ASSERT_EQ(table.LoadRegisteredFolders(), 0);
        ASSERT_EQ(table.SaveRegisteredFolders(), 0);
    }
    EXPECT_EQ(OctalMode(dataFile("KBXcl.ini")), "0600");
    EXPECT_EQ(OctalMode(dataFile("kbxcl_common2.dat")), "0600");
    EXPECT_EQ(OctalMode(dataFile("kbxcl_folder.dat")), "0400");
    ASSERT_EQ(log.lines().size(), 2) << log.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(log.lines().at(0).contains(dataFile("KBXcl.ini")));
    EXPECT_TRUE(log.lines().at(1).contains(dataFile("kbxcl_common2.dat")));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Umasks, PrivateFilesTest, ::testing::Values(mode_t(000), mode_t(022), mode_t(077)),
    [](const ::testing::TestParamInfo<mode_t>& info) {
        return "umask" + QStringLiteral("%1").arg(uint(info.param), 3, 8, QLatin1Char('0')).toStdString();
    });
