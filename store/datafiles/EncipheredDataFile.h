#pragma once

#include <QByteArray>
#include <QString>

class CryptEngine;

// The data files of the data folder: fixed-size records, the whole file enciphered under the
// program's own key. Each file names the catalogue A messages of its failures.
struct DataFileMessages
{
    int createFailed; // + cause + "\n" + path
    int sizeFailed;   // + path
    int readFailed;   // + cause + "\n" + path
    int saveFailed;   // + cause + "\n" + path
};

// Reads and deciphers the whole file. A missing file is created empty; an empty file gives
// empty contents. Returns 0, or -1 after the failure's message (a deciphering failure, such as a
// size that is no multiple of 16, is reported by the engine).
int LoadDataFile(CryptEngine& engine, const QString& path, const DataFileMessages& messages,
                 QByteArray* plain);
// Enciphers the records and replaces the file with them (see SaveWholeFile). Returns 0, or -1
// after the failure's message. The plain bytes are wiped.
int SaveDataFile(CryptEngine& engine, const QString& path, const DataFileMessages& messages,
                 QByteArray& plain);
