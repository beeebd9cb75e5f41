#pragma once

#include <QString>

class StoreContext;

// Registering an ordinary folder as an encrypted folder and releasing it again. The questions go
// through the message and prompt services, so the same code runs in the window and in tests.
// The tree item and the login after a registration are the window's.
class FolderRegistration
{
public:
    // What a registration that went through leaves for the window.
    struct Outcome
    {
        QString root;
        QString password; // for the login that follows; the caller wipes it
        bool readOnly = false;
    };

    // What verifying a password against a folder's files concludes.
    enum Verdict
    {
        Accepted = 0,
        AskAgain = 3, // the user wants to type the password again
    };

    explicit FolderRegistration(StoreContext& store) : m_store(store) {}

    // The whole registration up to the table: the checks, the network and removable-disk
    // questions, the non-empty folder question, the access check, the store name, the password
    // (set anew, or for a read-only folder the existing one, verified against the files), the
    // table entry and the final check (the write test of an empty folder, the hints of a full
    // one). A registration that fails after the table entry removes it again. 0 or -1.
    int RegisterFolder(const QString& path, Outcome* outcome);

    // Accepted, AskAgain or -1: classifies every file below the folder with the password and asks
    // about containers of a newer format, of another password and plain files
    // a "no" gives AskAgain.
    int VerifyPasswordAgainstFiles(const QString& folder, const QString& password);

    // Offers to give every container below the root the new hint; 0 also when the user declines.
    int ReplaceAllHints(const QString& password, const QString& hint, const QString& root);

    // Asks, refuses while the folder has decrypted copies (A-237; a read-only folder's
    // copies are erased instead) and releases the root. 0 or -1.
    int UnregisterFolder(const QString& root);

    // Forgets the root: its key, its store folder's areas and its table entry. A-239 when
    // announce is set. 0 or -1.
    int ReleaseRoot(const QString& root, bool announce);

    // A 6-character name for the folder's store folder that is not taken in the working folder;
    // empty when none could be made.
    QString ChooseStoreName() const;

private:
    int askPassword(const QString& path, bool readOnly, bool wasEmpty, QString* password, QString* hint);
    int finalCheck(const QString& path, bool wasEmpty, const QString& password, const QString& hint);
    int removeAgain(const QString& path);

    StoreContext& m_store;
};
