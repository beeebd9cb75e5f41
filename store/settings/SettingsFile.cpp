#include "store/settings/SettingsFile.h"

#include "store/datafiles/DamagedDataFile.h"
#include "store/datafiles/DataFolder.h"
#include "store/datafiles/WholeFileSave.h"
#include "store/settings/DecimalText.h"
#include "store/settings/ProfileFile.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>

#include <array>

namespace {

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
    // A link or a folder in the file's place is never read through nor written into: it is set
    // aside and the settings start afresh.
    const QString problem = NotARegularFile(path);
    if (!problem.isEmpty() &&
        SetDamagedFileAside(path, problem, QStringLiteral("設定を初期値に戻して起動します。")) != 0) {
        return Result::Failed;
    }
    if (SettingsFileExists(dataFolder) == 0) {
        return 0;
    }
    QString error;
    if (SaveWholeFile(path, QByteArray("\xFF\xFE", 2), &error) != 0) {
        ShowMessage(MsgA(549) + error + QStringLiteral("\n\n") + QDir::toNativeSeparators(path),
                    MessageStyle::error());
        return Result::Failed;
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
        return Result::Failed;
    }
    if (firstStart) {
        *firstStart = SettingsFileExists(dataFolder) != 0;
    }
    if (EnsureSettingsFile(dataFolder) != 0) {
        return Result::Failed;
    }
    LoadSettings(record, dataFolder);
    if (record.VL.compare(SettingsVersion) > 0) {
        ShowMessage(MsgA(592) + QDir::toNativeSeparators(dataFolder), MessageStyle::error());
        return Result::Failed;
    }
    return 0;
}

int SaveSettingsAtExit(const SettingsRecord& record, const QString& dataFolder)
{
    if (!SaveSettings(record, dataFolder)) {
        ShowMessage(MsgA(154), MessageStyle::error());
        return Result::Failed;
    }
    HideSettingsFile(dataFolder); // nothing to do on Linux; a failure would be ignored anyway
    return 0;
}
