#pragma once

#include "platform/LinuxPlatform.h"

#include <QMap>
#include <QSet>

// The Linux platform with pretend volumes, for tests: a folder can be declared a USB stick, a
// CD, a network share, a RAM disk or a FAT volume, a Trash can refuse, and a file can be held
// open by "another program". Everything not declared is the real machine. Installed for its
// lifetime.
class FakePlatform : public LinuxPlatform
{
public:
    FakePlatform();
    ~FakePlatform() override;

    // Everything at or below `root` lies on a volume of this file-system type and drive type.
    void addVolume(const QString& root, const QString& fileSystemType, int driveType);
    void setTrashRefuses(bool refuses) { m_trashRefuses = refuses; }
    void setOpenElsewhere(const QString& path, bool open = true);
    void setSpecialFolder(SpecialFolder folder, const QString& path) { m_special.insert(folder, path); }

    bool MountOf(const QString& path, MountInfo* mount) override;
    int DriveTypeOf(const QString& path) override;
    bool VolumeOf(const QString& path, VolumeInfo* volume) override;
    QString SpecialFolderPath(SpecialFolder folder) override;
    bool MoveToTrash(const QString& path, QString* trashedPath, QString* error) override;
    bool IsOpenByOtherProcess(const QString& path) override;

private:
    struct Volume
    {
        QString root;
        QString fileSystemType;
        int driveType;
    };
    const Volume* volumeOf(const QString& path) const;

    Platform* m_previous;
    QList<Volume> m_volumes;
    QMap<SpecialFolder, QString> m_special;
    QSet<QString> m_openElsewhere;
    bool m_trashRefuses = false;
};
