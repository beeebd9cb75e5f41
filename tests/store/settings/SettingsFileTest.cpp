#include "store/settings/SettingsFile.h"

#include "store/StoreTestFixture.h"
#include "util/MessageText.h"

#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString utf16Text(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

class SettingsFileTest : public StoreTest
{
protected:
    QString iniPath() const { return SettingsFilePath(dataFolder()); }
    void writeIni(const QString& text)
    {
        QByteArray bytes("\xFF\xFE", 2);
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        writeFile(iniPath(), bytes);
    }
};

} // namespace

TEST_F(SettingsFileTest, FirstStartCreatesTheFileAndSavesEveryKeyInOrder)
{
    const QString folder = path(QStringLiteral("config/kurasoft/KBXcl1"));
    SettingsRecord record;
    record.DispMode = 9; // overwritten by the load
    bool firstStart = false;
    ASSERT_EQ(LoadSettingsAtStartup(record, folder, &firstStart), 0);
    EXPECT_TRUE(firstStart);
    EXPECT_EQ(readFile(SettingsFilePath(folder)), QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(record, SettingsRecord());

    record.SizeMfMax = 1;
    record.SizeTvWidth = 333;
    record.OutsideDDMoveFlg = -4;
    record.VL = QStringLiteral("0.9"); // always written as this version
    ASSERT_EQ(SaveSettingsAtExit(record, folder), 0);
    const QByteArray bytes = readFile(SettingsFilePath(folder));
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_EQ(utf16Text(bytes),
              QStringLiteral("[Base]\r\nVL=1.72\r\n"
                             "[Disp]\r\nDispMode=0\r\nTitleMode=0\r\nSizeMfMax=1\r\n"
                             "SizeMfHigh=520\r\nSizeMfWidth=775\r\nSizeTvWidth=333\r\n"
                             "SizeLv2Width=120\r\nExtNonAplFlg=1\r\nLv1WidthTi=270\r\n"
                             "Lv1WidthMs=80\r\nLv1WidthSr=130\r\nLv1WidthMt=140\r\n"
                             "Lv1WidthAt=140\r\n"
                             "[Action]\r\nAngoOutNameMode=0\r\nReturnAngoMsgFlg=1\r\n"
                             "ExecProcEndWaitFlg=1\r\nReadOnlyMsgDispFlg=1\r\n"
                             "UsbAutoKaijyoFlg=0\r\nProcEndMsgFlg=1\r\nOutReadOnlyFlg=1\r\n"
                             "DandDDecryFlg=1\r\nOutsideReWriteSkipFlg=0\r\nOutsideDDMoveFlg=-4\r\n"));

    SettingsRecord next;
    ASSERT_EQ(LoadSettingsAtStartup(next, folder, &firstStart), 0);
    EXPECT_FALSE(firstStart);
    record.VL = SettingsVersion;
    EXPECT_EQ(next, record); // started maximised, with the changed widths
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(SettingsFileTest, NewerVersionStopsStartUp)
{
    const struct
    {
        const char* version;
        bool refused;
    } cases[] = {
        {"1.8", true}, {"2.0", true}, {"1.720", true}, {"1.10", false}, {"1.72", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        messages.clear();
        writeIni(QStringLiteral("[Base]\r\nVL=%1\r\n[Disp]\r\nDispMode=2\r\n").arg(QLatin1String(c.version)));
        const QByteArray before = readFile(iniPath());
        SettingsRecord record;
        EXPECT_EQ(LoadSettingsAtStartup(record, dataFolder()), c.refused ? -1 : 0) << c.version;
        EXPECT_EQ(record.DispMode, 2);
        if (c.refused) {
            EXPECT_EQ(messages.texts(), QStringList{MsgA(592) + dataFolder()}) << c.version;
            EXPECT_EQ(messages.shown().value(0).style.icon, MsgIcon::Error);
        } else {
            EXPECT_TRUE(messages.shown().isEmpty()) << c.version;
        }
        EXPECT_EQ(readFile(iniPath()), before);
    }
}

// A file edited by hand or by another tool: values are taken as written, a text that is no
// number is 0, missing keys take their defaults, and a save keeps the lines it does not own.
TEST_F(SettingsFileTest, HandEditedFileReadsAsWrittenAndKeepsForeignLines)
{
    writeIni(QStringLiteral("[disp]\r\n  sizemfwidth = 0 \r\nSizeMfHigh=-20\r\nDispMode=two\r\nMine=1\r\n"
                            "[Other]\r\nX=y\r\n"));
    SettingsRecord record;
    ASSERT_EQ(LoadSettings(record, dataFolder()), 0);
    EXPECT_EQ(record.SizeMfWidth, 0);
    EXPECT_EQ(record.SizeMfHigh, -20);
    EXPECT_EQ(record.DispMode, 0);
    EXPECT_EQ(record.TitleMode, 0);
    EXPECT_EQ(record.ExtNonAplFlg, 1);
    EXPECT_EQ(record.VL, QStringLiteral("1.72"));

    record.DispMode = 2;
    ASSERT_TRUE(SaveSettings(record, dataFolder()));
    const QString text = utf16Text(readFile(iniPath()));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("[disp]\r\nsizemfwidth=0\r\nSizeMfHigh=-20\r\nDispMode=2\r\nMine=1\r\n"
                                       "TitleMode=0\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("[Other]\r\nX=y\r\n[Base]\r\nVL=1.72\r\n[Action]\r\n")));
    SettingsRecord again;
    LoadSettings(again, dataFolder());
    EXPECT_EQ(again, record);
}

TEST_F(SettingsFileTest, DataFolderThatCannotBeMadeStopsStartUp)
{
    writeFile(path(QStringLiteral("blocked")), "x");
    const QString folder = path(QStringLiteral("blocked/KBXcl1"));
    SettingsRecord record;
    EXPECT_EQ(LoadSettingsAtStartup(record, folder), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    const QString text = messages.texts().first();
    EXPECT_TRUE(text.startsWith(MsgA(142))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n( ") + folder + QStringLiteral(" )"))) << text.toStdString();
}

// kill -9 at random moments of a settings save: the file is always one whole version, the old
// or the new, never a mixture or a stub.
TEST_F(SettingsFileTest, SaveKilledAtAnyMomentLeavesAWholeFile)
{
    ASSERT_EQ(EnsureSettingsFile(dataFolder()), 0);
    QByteArray versions[2];
    for (int version = 0; version < 2; ++version) {
        SettingsRecord record;
        record.DispMode = version;
        ASSERT_EQ(SaveSettingsAtExit(record, dataFolder()), 0);
        versions[version] = readFile(SettingsFilePath(dataFolder()));
    }
    ASSERT_NE(versions[0], versions[1]);
    QRandomGenerator random(19);
    int kills = 0;
    while (kills < 60) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two versions in turn until it is killed.
            for (int round = 0;; ++round) {
                SettingsRecord record;
                record.DispMode = round % 2;
                SaveSettingsAtExit(record, dataFolder());
            }
        }
        ::usleep(useconds_t(random.bounded(20000)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        ++kills;
        const QByteArray content = readFile(SettingsFilePath(dataFolder()));
        ASSERT_TRUE(content == versions[0] || content == versions[1]) << "kill " << kills;
    }
}
