#include "store/SettingsFile.h"

#include "store/DataFolder.h"
#include "store/DecimalText.h"
#include "store/ProfileFile.h"
#include "store/WholeFileSave.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QDir>

#include <array>

namespace {

constexpr int SaveFailed = 154;
constexpr int CreateFailed = 549;
constexpr int NewerVersion = 592;

struct IntegerKey
{
    const char* section;
    const char* key;
    int SettingsRecord::*field;
};

// Every integer key in file order; "VL" in [Base] comes before them.
constexpr std::array<IntegerKey, 23> IntegerKeys = {{
    {"Disp", "DispMode", &SettingsRecord::DispMode},
    {"Disp", "TitleMode", &SettingsRecord::TitleMode},
    {"Disp", "SizeMfMax", &SettingsRecord::SizeMfMax},
    {"Disp", "SizeMfHigh", &SettingsRecord::SizeMfHigh},
    {"Disp", "SizeMfWidth", &SettingsRecord::SizeMfWidth},
    {"Disp", "SizeTvWidth", &SettingsRecord::SizeTvWidth},
    {"Disp", "SizeLv2Width", &SettingsRecord::SizeLv2Width},
    {"Disp", "ExtNonAplFlg", &SettingsRecord::ExtNonAplFlg},
    {"Disp", "Lv1WidthTi", &SettingsRecord::Lv1WidthTi},
    {"Disp", "Lv1WidthMs", &SettingsRecord::Lv1WidthMs},
    {"Disp", "Lv1WidthSr", &SettingsRecord::Lv1WidthSr},
    {"Disp", "Lv1WidthMt", &SettingsRecord::Lv1WidthMt},
    {"Disp", "Lv1WidthAt", &SettingsRecord::Lv1WidthAt},
    {"Action", "AngoOutNameMode", &SettingsRecord::AngoOutNameMode},
    {"Action", "ReturnAngoMsgFlg", &SettingsRecord::ReturnAngoMsgFlg},
    {"Action", "ExecProcEndWaitFlg", &SettingsRecord::ExecProcEndWaitFlg},
    {"Action", "ReadOnlyMsgDispFlg", &SettingsRecord::ReadOnlyMsgDispFlg},
    {"Action", "UsbAutoKaijyoFlg", &SettingsRecord::UsbAutoKaijyoFlg},
    {"Action", "ProcEndMsgFlg", &SettingsRecord::ProcEndMsgFlg},
    {"Action", "OutReadOnlyFlg", &SettingsRecord::OutReadOnlyFlg},
    {"Action", "DandDDecryFlg", &SettingsRecord::DandDDecryFlg},
    {"Action", "OutsideReWriteSkipFlg", &SettingsRecord::OutsideReWriteSkipFlg},
    {"Action", "OutsideDDMoveFlg", &SettingsRecord::OutsideDDMoveFlg},
}};

const QString BaseSection = QStringLiteral("Base");
const QString VersionKey = QStringLiteral("VL");

} // namespace

QString SettingsFilePath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/KBXcl.ini");
}

int LoadSettings(SettingsRecord& record, const QString& dataFolder)
{
    const SettingsRecord defaults;
    ProfileFile file;
    if (!file.load(SettingsFilePath(dataFolder))) {
        file = ProfileFile(); // unreadable: every key reads as its default
    }
    record.VL = file.value(BaseSection, VersionKey, defaults.VL);
    for (const IntegerKey& k : IntegerKeys) {
        const QString text =
            file.value(QLatin1String(k.section), QLatin1String(k.key), QString::number(defaults.*k.field));
        record.*k.field = DecimalToInt(text);
    }
    return 0;
}

bool SaveSettings(const SettingsRecord& record, const QString& dataFolder)
{
    const QString path = SettingsFilePath(dataFolder);
    ProfileFile file;
    if (!file.load(path)) {
        return false;
    }
    file.setValue(BaseSection, VersionKey, SettingsVersion);
    for (const IntegerKey& k : IntegerKeys) {
        file.setValue(QLatin1String(k.section), QLatin1String(k.key), QString::number(record.*k.field));
    }
    return file.save(path);
}

int EnsureSettingsFile(const QString& dataFolder)
{
    const QString path = SettingsFilePath(dataFolder);
    if (SettingsFileExists(dataFolder) == 0) {
        return 0;
    }
    QString error;
    if (SaveWholeFile(path, QByteArray("\xFF\xFE", 2), &error) != 0) {
        ShowMessage(MsgA(CreateFailed) + error + QStringLiteral("\n\n") + QDir::toNativeSeparators(path),
                    MessageStyle::error());
        return -1;
    }
    return 0;
}

int SettingsFileExists(const QString& dataFolder)
{
    return FileExists(SettingsFilePath(dataFolder));
}

int HideSettingsFile(const QString& dataFolder)
{
    return SetAttributeBits(SettingsFilePath(dataFolder), FileAttribute::Hidden, false);
}

int LoadSettingsAtStartup(SettingsRecord& record, const QString& dataFolder, bool* firstStart)
{
    if (CreateDataFolder(dataFolder) != 0) {
        return -1;
    }
    if (firstStart) {
        *firstStart = SettingsFileExists(dataFolder) != 0;
    }
    if (EnsureSettingsFile(dataFolder) != 0) {
        return -1;
    }
    LoadSettings(record, dataFolder);
    if (record.VL.compare(SettingsVersion) > 0) {
        ShowMessage(MsgA(NewerVersion) + QDir::toNativeSeparators(dataFolder), MessageStyle::error());
        return -1;
    }
    return 0;
}

int SaveSettingsAtExit(const SettingsRecord& record, const QString& dataFolder)
{
    if (!SaveSettings(record, dataFolder)) {
        ShowMessage(MsgA(SaveFailed), MessageStyle::error());
        return -1;
    }
    HideSettingsFile(dataFolder); // nothing to do on Linux; a failure would be ignored anyway
    return 0;
}
