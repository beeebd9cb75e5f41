#pragma once

#include "platform/Platform.h"

// The freedesktop (Linux) implementation: /proc/self/mountinfo and /sys/block for drives,
// statfs for volumes, XDG folders, the freedesktop Trash and /proc for processes.
class LinuxPlatform : public Platform
{
public:
    bool MountOf(const QString& path, MountInfo* mount) override;
    int DriveTypeOf(const QString& path) override;
    bool VolumeOf(const QString& path, VolumeInfo* volume) override;
    QString SpecialFolderPath(SpecialFolder folder) override;

    bool MoveToTrash(const QString& path, QString* trashedPath, QString* error) override;
    QList<TrashItem> TrashItems(const QString& near = QString()) override;
    bool RestoreFromTrash(const TrashItem& item, QString* error) override;

    bool IsOpenByOtherProcess(const QString& path) override;
    qint64 FindProcessHoldingFile(const QString& path) override;
    qint64 FindProcessByExeName(const QString& name) override;

    // The drive type of a mount, by its file-system type and device (no file-system access
    // beyond /sys).
    static int DriveTypeOfMount(const MountInfo& mount);
    // The volume name and flags of a file-system type.
    static VolumeInfo VolumeOfType(const QString& fileSystemType, bool readOnly);
    // The mounts listed in /proc/self/mountinfo, in file order.
    static QList<MountInfo> Mounts();
};
