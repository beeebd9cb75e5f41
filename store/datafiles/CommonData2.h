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

    QString AngoTempFolderFlg = QStringLiteral("0"); // "0": the default location
    QString AngoTempFolder;                          // the working folder in use
    QString Dummy1 = QStringLiteral("dummy");        // kept and written back
    int Dummy2 = 1;                                  // kept and written back

    CommonData2(CryptEngine& engine, const QString& dataFolder, const QString& defaultWorkingFolder);

    QString FilePath() const;
    bool isLoaded() const { return m_loaded; }

    // Sets the defaults, then loads the file (a missing one is created empty); records with
    // other keys are ignored. A failure leaves the object not loaded.
    int LoadCommon2();
    // Writes the four keys in order; refused when the object is not loaded.
    int SaveCommon2();

private:
    CryptEngine& m_engine;
    QString m_dataFolder;
    QString m_defaultWorkingFolder;
    bool m_loaded = false;
};
