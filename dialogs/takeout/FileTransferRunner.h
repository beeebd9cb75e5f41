#pragma once

#include <QString>
#include <QStringList>

class QProgressDialog;
class QWidget;

// Copies or moves items into a folder the way a file manager does it in front of the user: a
// progress window with a stop button, and a question for every name that is already taken
// (ReplaceFileDialog for files, ReplaceFolderDialog for folders, which merge). Files are copied
// beside their target and renamed over it, so a replaced file survives a failure. Failures
// are shown as message boxes.
class FileTransferRunner
{
public:
    enum class Mode
    {
        Copy,
        Move,
    };

    explicit FileTransferRunner(QWidget* owner = nullptr);
    ~FileTransferRunner();
    FileTransferRunner(const FileTransferRunner&) = delete;
    FileTransferRunner& operator=(const FileTransferRunner&) = delete;

    // Puts every item of `from` into the folder `to` (created when missing). Returns 0 when every
    // item was handled (items the user chose to skip included), -9 when the user stopped, and -1
    // after a failure, which has been shown.
    int run(Mode mode, const QStringList& from, const QString& to);

private:
    int transfer(const QString& source, const QString& targetFolder);
    int transferFolder(const QString& source, const QString& target);
    int transferFile(const QString& source, const QString& targetFolder);
    static int followAnswer(int answer, bool* yesToAll);
    int askFile(const QString& source, const QString& target);
    int askFolder(const QString& source);
    int refuseIntoItself(const QString& folder);
    int fail(const QString& path, int error);
    void advance(const QString& name);

    QWidget* m_owner;
    Mode m_mode = Mode::Copy;
    bool m_single = true;
    bool m_yesToAllFiles = false;
    bool m_yesToAllFolders = false;
    QProgressDialog* m_progress = nullptr;
    int m_done = 0;
};
