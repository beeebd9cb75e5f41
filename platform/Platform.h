#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The seam between the program and the operating system: drives and volumes, special folders,
// the Trash, files held open by other programs and running processes. LinuxPlatform is the
// real implementation; tests install a FakePlatform to play drives this machine cannot make.

// Drive type codes, as stored with registered folders.
enum DriveTypeCode
{
    DriveUnknown = 0,
    DriveRemovable = 2,
    DriveFixed = 3,
    DriveRemote = 4,
    DriveOptical = 5,
    DriveRamDisk = 6,
};

// File-system flags of a volume.
namespace VolumeFlag {
inline constexpr quint32 CaseSensitiveSearch = 0x00000001;
inline constexpr quint32 CasePreservedNames = 0x00000002;
inline constexpr quint32 UnicodeOnDisk = 0x00000004;
inline constexpr quint32 PersistentAcls = 0x00000008;
inline constexpr quint32 ReadOnlyVolume = 0x00080000;
} // namespace VolumeFlag

struct MountInfo
{
    QString mountPoint;     // the "drive root"
    QString fileSystemType; // as the kernel names it: ext4, vfat, nfs4, tmpfs, ...
    QString source;         // the device or remote source
    bool readOnly = false;
};

struct VolumeInfo
{
    QString fileSystemName; // "FAT32" for vfat, "FAT" for msdos, otherwise the type in upper case
    quint32 flags = 0;
};

enum class SpecialFolder
{
    Documents, // "[CSIDL_PERSONAL]"
    Desktop,   // "[CSIDL_DESKTOPDIRECTORY]"
    Config,    // application data
    Data,      // local application data
    Home,
    Templates, // the desktop's new-file templates (XDG_TEMPLATES_DIR)
};

struct TrashItem
{
    QString trashedPath;  // where the item is now
    QString infoPath;     // its .trashinfo file
    QString originalPath; // where it came from
    QDateTime deletionDate;

    QString displayName() const { return originalPath.section(QLatin1Char('/'), -1); }
};

class Platform
{
public:
    virtual ~Platform() = default;

    // The process-wide platform; nullptr restores the Linux implementation.
    static Platform& instance();
    static void install(Platform* platform);

    // The mounted file system that holds the path (the nearest existing ancestor for a path
    // that does not exist yet). False when none is found.
    virtual bool MountOf(const QString& path, MountInfo* mount) = 0;
    // One of the drive type codes, or DriveUnknown.
    virtual int DriveTypeOf(const QString& path) = 0;
    virtual bool VolumeOf(const QString& path, VolumeInfo* volume) = 0;
    virtual QString SpecialFolderPath(SpecialFolder folder) = 0;

    // Moves a file or folder to the user's Trash; false and a reason on failure.
    virtual bool MoveToTrash(const QString& path, QString* trashedPath, QString* error) = 0;
    // Every item in the Trash of the home volume and of the volume of `near` (if given).
    virtual QList<TrashItem> TrashItems(const QString& near = QString()) = 0;
    virtual bool RestoreFromTrash(const TrashItem& item, QString* error) = 0;

    // Whether another process has the file open.
    virtual bool IsOpenByOtherProcess(const QString& path) = 0;
    // The id of the first process (other than this one) that has the file open, or 0.
    virtual qint64 FindProcessHoldingFile(const QString& path) = 0;
    // The id of the first running process whose executable name equals name (ignoring case), or 0.
    virtual qint64 FindProcessByExeName(const QString& name) = 0;
};
