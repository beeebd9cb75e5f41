#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class CryptEngine;

// One change password: a password that may be used instead of a folder's own when files are
// taken out re-encrypted.
struct ChangePassword
{
    QString name; // identification, at most 48 characters
    QString password;
    QString hint; // at most 48 characters

    bool operator==(const ChangePassword&) const = default;
};

// The administrator password check and the list of change passwords, kept in
// "kbxcl_common1.dat" in the data folder: 1024-byte records tagged "001" (the administrator's
// check block and hint, at most one, first) and "002" (one change password each, at most 100),
// the whole file enciphered under the program's own key. No password is stored in plain: the
// change passwords are enciphered under the list key, which is built from the administrator
// check block's known text and the text of message B-35; it reads without the administrator
// password, which guards only changes to the list.
class CommonData1
{
public:
    static constexpr qsizetype RecordSize = 1024;
    static constexpr int MaxRecords = 500;
    static constexpr int MaxChangePasswords = 100;

    struct Layout
    {
        static constexpr qsizetype Tag = 0; // 32: 16 characters, "001" or "002" and spaces
        static constexpr qsizetype TagChars = 16;
        // "001"
        static constexpr qsizetype CheckBlock = 32; // 256
        static constexpr qsizetype AdminHint = 288; // 96: 48 characters, zero-filled
        // "002", every text field space-filled behind its text
        static constexpr qsizetype Name = 32;      // 96: 48 characters
        static constexpr qsizetype Password = 128; // 64: 32 characters, enciphered under the list key
        static constexpr qsizetype Hint = 192;     // 96: 48 characters
        static constexpr qsizetype TextChars = 48;
        static constexpr qsizetype PasswordBytes = 64;
    };

    CommonData1(CryptEngine& engine, const QString& dataFolder);
    ~CommonData1();
    CommonData1(const CommonData1&) = delete;
    CommonData1& operator=(const CommonData1&) = delete;

    QString FilePath() const;
    bool isLoaded() const { return m_loaded; }

    // Loads the file (a missing one is created empty) and checks the administrator password:
    // match = 1 when it opens the stored check block. With mode 1 a wrong password shows A-561
    // with the stored hint and fails; only a mode-1 load that succeeds marks the object loaded,
    // and only a loaded object can be saved. A damaged file (not a file, cut, swollen,
    // unreadable, or a record that is neither the administrator's nor a change password) is set
    // aside with one message and the load fails; the next one finds no file and starts empty.
    int LoadCommon1(const QString& adminPassword, int mode, int* match);
    // Writes the "001" record made from the password and the administrator hint, then the list.
    int SaveCommon1(const QString& adminPassword);
    int Common1Exists() const;
    // Deletes the file; A-564 with the cause and the path on failure.
    int DeleteCommon1();

    QList<ChangePassword> GetChangePasswords() const { return m_changePasswords; }
    // Replaces the list in memory; more than MaxChangePasswords entries are refused with -1.
    int SetChangePasswords(const QList<ChangePassword>& list);
    QString AdministratorHint() const { return m_adminHint; }
    void SetAdministratorHint(const QString& hint) { m_adminHint = hint; }

private:
    void clear();
    QByteArray listKey() const;

    CryptEngine& m_engine;
    QString m_dataFolder;
    QByteArray m_checkBlock; // the "001" check block as stored
    QString m_adminHint;
    QList<ChangePassword> m_changePasswords;
    bool m_loaded = false;
};
