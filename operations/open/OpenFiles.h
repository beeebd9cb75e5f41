#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class StoreContext;

// Opening encrypted files: each is decrypted into its place in the working folder (a private
// copy that keeps the original name and, at first, the container's last-write time) and a
// program is started on the copy; or the copies are only made (decrypt only, take-out copies).
// A copy that exists already is never decrypted over: the user is asked to use it as it is.
class OpenFiles
{
public:
    struct Request
    {
        QString path;        // the container
        bool launch = true;  // start a program on the copy
        bool refresh = true; // tell the decrypted-files list afterwards
        QString program;     // the program to use; empty: the desktop's default for the type
        bool makeWritable = true;
        bool copyTime = true;     // the copy gets the container's time; read-only in a read-only folder
        bool takeOutCopy = false; // the take-out area instead of the working copies
    };

    explicit OpenFiles(StoreContext& store) : m_store(store) {}

    // A program was started on a copy (pid 0: none that can be watched); the window watches it.
    std::function<void(const QString& copy, qint64 pid, const QString& program)> programStarted;
    // The copies changed: the decrypted-files list scans its folder again.
    std::function<void()> copiesChanged;
    // The take-out-only state of the window refuses opening.
    bool takeOutOnly = false;
    // How pictures without a program are shown: this program with "--view-image" and the file.
    QString imageViewer;

    // 0 or -1 (the failure's message has been shown).
    int OpenEncryptedFile(const Request& request);
    // Every path in order: a file is decrypted (no program), a folder as a tree. 0 or -1.
    int DecryptSelection(const QStringList& paths, bool refresh, bool makeWritable, bool copyTime,
                         bool takeOutCopy);
    int DecryptFolderTree(const QString& folder, const QString& target, bool makeWritable, bool copyTime,
                          bool takeOutCopy);
    // -1 with A-120/A-121 (a folder with a copy below it) or A-122/A-123 (a file whose copy
    // exists) for the first selected item that is decrypted for use.
    int RefuseIfDecrypted(const QStringList& paths);
    // The notice before opening while the setting asks for it.
    void ShowOpenNotice();

    // Whether a picture of this name is shown by our own viewer when no program takes it.
    static bool IsViewerPicture(const QString& name);

private:
    int launch(const QString& copy, const QString& originalName, const QString& program);
    // Decrypts one file to its copy without starting a program or refreshing the lists.
    int decryptFileOnly(const QString& path, bool makeWritable, bool copyTime, bool takeOutCopy);

    StoreContext& m_store;
};
