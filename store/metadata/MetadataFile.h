#pragma once

#include <QByteArray>
#include <QString>

class CryptEngine;

// The enciphered text files of the folder metadata ("_snf.kbxn").
//
// On disk: the text as UTF-16LE code units without a byte-order mark, followed by 1 to 16 zero
// bytes up to a multiple of 16, the whole image enciphered under the registered folder's key
// (the key slot named by its root). Between writes the file is read-only.

inline const QString MetadataFileName = QStringLiteral("_snf.kbxn");

// The file's length is always a whole number of these.
inline constexpr qsizetype MetadataCipherBlock = 16;

// The process-wide state of the folder metadata. Everything runs on the window thread, but every
// wait dispatches events, so a command or timer can re-enter the store while an operation waits;
// these flags keep the re-entered call off the work of the waiting one.
struct MetadataFlags
{
    bool syncBusy = false; // a synchronisation runs
    bool reading = false;  // a file is being read and deciphered
    bool writing = false;  // a file is being enciphered and written
    // The folder that ResolveDisplayName last brought up to date.
    QString lastResolvedFolder;

    static MetadataFlags& instance();

    // Sets a flag for its lifetime and gives it back its previous value on every way out, so that
    // a call made while another waits does not end the waiting one's flag.
    class Hold
    {
    public:
        explicit Hold(bool& flag) : m_flag(flag), m_previous(flag) { m_flag = true; }
        ~Hold() { m_flag = m_previous; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        bool& m_flag;
        bool m_previous;
    };
};

// The metadata header line: the text of message B-2.
QString MetadataHeaderLine();

// The padded plaintext image of a text: its code units, then 1 to 16 zero bytes.
QByteArray MetadataImage(const QString& text);

// Reads and deciphers the file; the text runs up to the first zero character, trailing spaces
// removed. Waits up to ten seconds for a write in progress (then -1 without a message). A-284
// with the cause and the path when the file cannot be read; a failed decipher is reported by the
// engine.
int ReadEncipheredText(CryptEngine& engine, const QString& path, const QString& root, QString* text);

// Enciphers the text and replaces the file with it through a file beside it, so a failed write
// leaves the old file whole; up to three attempts. Waits up to ten seconds for a read in progress
// (then -1 without a message). The file is read-only afterwards. A-285 when the attribute cannot
// be cleared, A-286 when enciphering or every attempt failed, A-287 when the attribute cannot be
// set again; each with the cause and the path.
int WriteEncipheredText(CryptEngine& engine, const QString& path, const QString& text, const QString& root);
