#pragma once

#include <QByteArray>
#include <QString>

class CryptEngine;

// The data files of the data folder: fixed-size records, the whole file enciphered under the
// program's own key. Each file names the catalogue A messages of its failures.
struct DataFileMessages
{
    int createFailed; // + cause + "\n" + path
    int sizeFailed;   // + path (a file that cannot be read is set aside instead)
    int readFailed;   // + cause + "\n" + path (likewise)
    int saveFailed;   // + cause + "\n" + path
};

// Reading them, damaged or not: ReadRecordFile (DamagedDataFile.h).

// Enciphers the records and replaces the file with them (see SaveWholeFile). Returns 0, or -1
// after the failure's message. The plain bytes are wiped.
int SaveDataFile(CryptEngine& engine, const QString& path, const DataFileMessages& messages,
                 QByteArray& plain);
