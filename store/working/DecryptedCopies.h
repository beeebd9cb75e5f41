#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class RegisteredFolderTable;

// The decrypted working copies of a registered folder: the files below the "Ac" area of its
// store folder. Finds them, lists the folders that have any, and erases them when a folder's
// use ends.
class DecryptedCopies
{
public:
    // How DiscardDecryptedFiles speaks about a read-only folder's copies, whose changes cannot be
    // written back. Any other mode shows nothing there but still reports failures.
    enum Mode
    {
        AnnounceLoss = 1,  // always warn that the copies go
        WarnIfChanged = 2, // warn only when a copy has changed or cannot be compared
        Silent = 99,       // no message at all, failures included
    };

    // The time a copy had when it was decrypted (its container's last-write time): 0 with the
    // time, or -1 when it cannot be told.
    using RecordedTime = std::function<int(const QString& copy, QDateTime* time)>;

    // workingFolder answers the current working folder; recordedTime serves WarnIfChanged (without
    // it every copy counts as changed).
    DecryptedCopies(const RegisteredFolderTable& table, std::function<QString()> workingFolder,
                    RecordedTime recordedTime = {});

    void setRecordedTime(RecordedTime recordedTime) { m_recordedTime = std::move(recordedTime); }

    // -1 when the root's "Ac" area exists and holds at least one file at any depth; 0 otherwise.
    // An unknown root shows A-301.
    int HasDecryptedFiles(const QString& root) const;
    // -1 when any registered folder has decrypted copies; list names their roots, each followed
    // by "\r\n", and roots (when given) holds them in slot order.
    int ListFoldersWithDecryptedFiles(QString* list, QStringList* roots = nullptr) const;
    // Makes everything below the root's "Ac" area writable (A-317 on failure) and wipes the area
    // with everything in it (A-318 with the cause and the area). Mode Silent shows nothing.
    int ClearDecryptedFiles(const QString& root, int mode) const;
    // The end-of-use clean-up of one registered folder: for a read-only folder first the warning
    // the mode asks for, then ClearDecryptedFiles (A-321 with the root on failure unless the mode
    // is Silent). The copies of a writable folder are erased without a word: callers write
    // them back first.
    int DiscardDecryptedFiles(const QString& root, int mode) const;

    // The root's "Ac" area; empty when the root has no store folder of its own.
    QString WorkingCopyArea(const QString& root, int warn) const;

private:
    bool anyCopyChanged(const QString& area) const;

    const RegisteredFolderTable& m_table;
    std::function<QString()> m_workingFolder;
    RecordedTime m_recordedTime;
};
