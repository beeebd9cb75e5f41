#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

class CryptEngine;

// The registered encrypted folders, kept in "kbxcl_folder.dat" in the data folder as a sequence
// of 4096-byte records (at most 100), the whole file enciphered under the program's own key.
//
// The table is also the authority on which registered folder holds a path. "In the prefix
// relation" means one of two paths lies inside the other (either way round); exact comparisons
// are case-sensitive. Slots without a root never match.
class RegisteredFolderTable
{
public:
    static constexpr int MaxFolders = 100;
    static constexpr qsizetype RecordSize = 4096;

    // Record layout: offsets and lengths in bytes (texts are UTF-16LE).
    struct Layout
    {
        static constexpr qsizetype RootPath = 0;       // 1024: 512 characters
        static constexpr qsizetype Hint = 1024;        // 96: 48 characters, space-filled
        static constexpr qsizetype CheckBlock = 1120;  // 256
        static constexpr qsizetype ReadOnly = 1376;    // 1
        static constexpr qsizetype StoreName = 1377;   // 1024: 512 characters
        static constexpr qsizetype AutoRelease = 2401; // 1, then 10 reserved zero bytes
        static constexpr qsizetype DriveType = 2412;   // 1, then 9 reserved zero bytes
        static constexpr qsizetype Reserved = 2422;    // 1674: 0x20 in new records, kept as found
        static constexpr qsizetype PathChars = 512;
        static constexpr qsizetype HintChars = 48;
    };

    // One slot: the record as held in memory and the texts derived from it at load.
    struct Slot
    {
        QByteArray record; // RecordSize bytes; the root expanded after a load, in stored form after a save
        QString rootPath;
        QString readOnlyText;
        QString storeName;
        QString autoReleaseText;
        int driveType = 0;
    };

    // workingFolder answers the current working folder, below which the store folders lie.
    RegisteredFolderTable(CryptEngine& engine, const QString& dataFolder,
                          std::function<QString()> workingFolder);

    QString FilePath() const;
    bool isLoaded() const { return m_loaded; }
    int count() const { return m_count; }
    const Slot& slot(int index) const { return m_slots.at(static_cast<std::size_t>(index)); }

    // (Re)loads the table; a missing file is created empty. A damaged file (not a file, cut,
    // swollen, unreadable, or holding records that are not plausible) is set aside with one
    // message, and the table keeps its sound records, which are saved in its place. A file that
    // can neither be read nor set aside leaves the table empty and not loaded, so no save can
    // overwrite it.
    int LoadRegisteredFolders();
    // Whether a deciphered record can be a registration: its flags in range, a check block, texts
    // without control characters or broken surrogates, an absolute root and a store name that is
    // one name.
    static bool IsPlausibleRecord(const QByteArray& record);
    // Writes the slots with a root, in slot order. Refused when the table is not loaded.
    int SaveRegisteredFolders();
    // Fills the next slot, builds its check block from the password, saves. A full table is
    // refused with -1: callers check CountRegisteredFolders first and tell the user.
    int AddRegisteredFolder(const QString& rootPath, const QString& hint, const QString& password,
                            const QString& readOnlyText, const QString& storeName,
                            const QString& autoReleaseText, int driveType);
    // Blanks every slot whose root equals the path, then saves (A-555 when none does). The caller
    // reloads the table afterwards.
    int UnregisterFolder(const QString& rootPath);

    int IsRegistered(const QString& rootPath) const;
    // The root of the first slot in the prefix relation with the path; empty when none (A-300
    // with a warning icon when warn is 1).
    QString FindRegisteredRoot(const QString& path, int warn) const;
    // The working folder + "/" + StoreName of the first slot in the prefix relation with the
    // root; the no-location marker when none. The first form always shows A-303, the second
    // shows A-301 only when warn is 1.
    QString StoreFolderOf(const QString& root) const;
    QString StoreFolderOf(const QString& root, int warn) const;
    // The root of the last slot whose store folder (its root when it has no StoreName) is in the
    // prefix relation with the path; the marker when none (A-302 when warn is 1).
    QString RootOfStorePath(const QString& path, int warn) const;
    int SameRegisteredFolder(const QString& a, const QString& b) const;
    int CountRegisteredFolders(int* count) const;
    // The drive type recorded for the last slot in the prefix relation with the path; 0 when it
    // is not 0, -1 otherwise.
    int RegisteredDriveTypeOf(const QString& path, int* driveType) const;
    // -1 when the path is in the prefix relation with a folder registered read-only (A-316 with a
    // warning icon when warn is 1); 0 otherwise.
    int IsReadOnlyFolder(const QString& path, int warn) const;
    // match = 1 when the password opens the check block of the last slot whose root is root.
    // A-556 and -1 when no slot has that root; a wrong password is no failure.
    int VerifyFolderPassword(const QString& root, const QString& password, int* match);
    // The hint of the last slot whose root is root; A-557 and -1 when none.
    int GetFolderHint(const QString& root, QString* hint) const;
    // match = 1 when the password opens the check block of any slot.
    int PasswordMatchesAnyFolder(const QString& password, int* match);

    // The special-folder prefix substitution of stored roots.
    static QString ToStoredPath(const QString& path);
    static QString FromStoredPath(const QString& path);

private:
    void clear();
    void derive(Slot& slot) const;
    QString storeFolderOfSlot(const Slot& slot) const;
    // The index of the first slot in the prefix relation with the path, or -1.
    int firstRelatedSlot(const QString& path) const;
    int lastSlotWithRoot(const QString& root) const;
    int matchesCheckBlock(const Slot& slot, const QString& password, int* match);

    CryptEngine& m_engine;
    QString m_dataFolder;
    std::function<QString()> m_workingFolder;
    std::array<Slot, MaxFolders> m_slots;
    int m_count = 0;
    bool m_loaded = false;
};
