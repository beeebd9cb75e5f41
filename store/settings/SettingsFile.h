#pragma once

#include <QString>

// The user's display and behaviour preferences, kept in "KBXcl.ini" in the data folder. Each
// field is the key of the same name; the initial values are the defaults a missing key reads as.
struct SettingsRecord
{
    // [Base]
    QString VL = QStringLiteral("1.72"); // the version that last wrote the file
    // [Disp]
    int DispMode = 0;
    int TitleMode = 0;
    int SizeMfMax = 0;
    int SizeMfHigh = 520;
    int SizeMfWidth = 775;
    int SizeTvWidth = 210;
    int SizeLv2Width = 120;
    int ExtNonAplFlg = 1;
    int Lv1WidthTi = 270;
    int Lv1WidthMs = 80;
    int Lv1WidthSr = 130;
    int Lv1WidthMt = 140;
    int Lv1WidthAt = 140;
    // [Action]
    int AngoOutNameMode = 0;
    int ReturnAngoMsgFlg = 1;
    int ExecProcEndWaitFlg = 1;
    int ReadOnlyMsgDispFlg = 1;
    int UsbAutoKaijyoFlg = 0;
    int ProcEndMsgFlg = 1;
    int OutReadOnlyFlg = 1;
    int DandDDecryFlg = 1;
    int OutsideReWriteSkipFlg = 0;
    int OutsideDDMoveFlg = 0;

    bool operator==(const SettingsRecord&) const = default;
};

// The version this program writes; a file of a higher version (by text comparison) is refused.
inline const QString SettingsVersion = QStringLiteral("1.72");

QString SettingsFilePath(const QString& dataFolder);

// Reads every key, a missing one (or a missing or unreadable file) as its default. Returns 0.
int LoadSettings(SettingsRecord& record, const QString& dataFolder);
// Writes every key in one replacement of the file, "VL" as SettingsVersion; other lines of the
// file stay. Returns true on success (the profile write result: nonzero is success). A file that
// exists but cannot be read is not overwritten.
bool SaveSettings(const SettingsRecord& record, const QString& dataFolder);
// Creates a missing file holding exactly FF FE. Returns 0, or -1 after message A-549.
int EnsureSettingsFile(const QString& dataFolder);
// 0 when the file exists as a file, -1 otherwise.
int SettingsFileExists(const QString& dataFolder);
// Gives the file the hidden attribute; on Linux it has no counterpart and the file stays as it
// is. Returns 0, or -1 when the file is missing.
int HideSettingsFile(const QString& dataFolder);

// Start-up: creates the data folder, notes whether the file was missing (the first
// start), creates it, loads it and refuses a file written by a newer version (A-592
// with the data folder). Returns 0, or -1 when start-up must stop.
int LoadSettingsAtStartup(SettingsRecord& record, const QString& dataFolder, bool* firstStart = nullptr);
// Exit: the caller first sets SizeMfMax from the window state. Saves the record (A-154 on
// failure, the file left as it was), then hides the file. Returns 0 or -1.
int SaveSettingsAtExit(const SettingsRecord& record, const QString& dataFolder);
