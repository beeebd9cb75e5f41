#pragma once

#include <QString>

class CryptEngine;

// The choice of the working folder, kept in "kbxcl_common2.dat" in the data folder as 1024-byte
// key/value records (key: 48 characters, value: 464 characters, both UTF-16LE and zero-filled),
// the whole file enciphered under the program's own key. Readers take the working folder from
// AngoTempFolder: after every load with the flag "0" it holds the default location.
class CommonData2
{
public:
    static constexpr qsizetype RecordSize = 1024;
    static constexpr qsizetype KeyChars = 48;
    static constexpr qsizetype ValueOffset = 96;
    static constexpr qsizetype ValueChars = 464;
    // More records than this make a damaged file (four are written).
    static constexpr int MaxRecords = 64;

    QString AngoTempFolderFlg = QStringLiteral("0"); // "0": the default location
    QString AngoTempFolder;                          // the working folder in use
    QString Dummy1 = QStringLiteral("dummy");        // kept and written back
    int Dummy2 = 1;                                  // kept and written back

    CommonData2(CryptEngine& engine, const QString& dataFolder, const QString& defaultWorkingFolder);

    QString FilePath() const;
    bool isLoaded() const { return m_loaded; }

    // Sets the defaults, then loads the file (a missing one is created empty); records with
    // other keys are ignored. A damaged file (not a file, cut, swollen, unreadable, or holding
    // records whose texts are not plausible) is set aside with one message; the values that were
    // sound are kept and saved in its place. A file that can neither be read nor set aside leaves
    // the object not loaded.
    int LoadCommon2();
    // Writes the four keys in order; refused when the object is not loaded.
    int SaveCommon2();

private:
    // Whether a record can be one of ours: texts without control characters, the flag "0" or "1",
    // the folder empty or absolute. Records with other keys are kept out of the values.
    static bool isPlausible(const QString& key, const QString& value);

    CryptEngine& m_engine;
    QString m_dataFolder;
    QString m_defaultWorkingFolder;
    bool m_loaded = false;
};
