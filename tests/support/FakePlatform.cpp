#include "support/FakePlatform.h"

#include <QDir>

FakePlatform::FakePlatform() : m_previous(&Platform::instance())
{
    Platform::install(this);
}

FakePlatform::~FakePlatform()
{
    Platform::install(m_previous == this ? nullptr : m_previous);
}

void FakePlatform::addVolume(const QString& root, const QString& fileSystemType, int driveType)
{
    m_volumes.append({QDir::cleanPath(root), fileSystemType, driveType});
}

void FakePlatform::setOpenElsewhere(const QString& path, bool open)
{
    if (open) {
        m_openElsewhere.insert(QDir::cleanPath(path));
    } else {
        m_openElsewhere.remove(QDir::cleanPath(path));
    }
}

const FakePlatform::Volume* FakePlatform::volumeOf(const QString& path) const
{
    const QString clean = QDir::cleanPath(path);
    const Volume* best = nullptr;
    for (const Volume& v : m_volumes) {
        if ((clean == v.root || clean.startsWith(v.root + QLatin1Char('/'))) &&
            (!best || v.root.size() > best->root.size())) {
            best = &v;
        }
    }
    return best;
}

bool FakePlatform::MountOf(const QString& path, MountInfo* mount)
{
    if (const Volume* v = volumeOf(path)) {
        *mount = MountInfo{v->root, v->fileSystemType, QStringLiteral("fake"), false};
        return true;
    }
    return LinuxPlatform::MountOf(path, mount);
}

int FakePlatform::DriveTypeOf(const QString& path)
{
    const Volume* v = volumeOf(path);
    return v ? v->driveType : LinuxPlatform::DriveTypeOf(path);
}

bool FakePlatform::VolumeOf(const QString& path, VolumeInfo* volume)
{
    if (const Volume* v = volumeOf(path)) {
        *volume = VolumeOfType(v->fileSystemType, false);
        return true;
    }
    return LinuxPlatform::VolumeOf(path, volume);
}

QString FakePlatform::SpecialFolderPath(SpecialFolder folder)
{
    return m_special.contains(folder) ? m_special.value(folder) : LinuxPlatform::SpecialFolderPath(folder);
}

bool FakePlatform::MoveToTrash(const QString& path, QString* trashedPath, QString* error)
{
    if (m_trashRefuses) {
        if (error) {
            *error = QStringLiteral("The Trash refused the item.");
        }
        return false;
    }
    return LinuxPlatform::MoveToTrash(path, trashedPath, error);
}

bool FakePlatform::IsOpenByOtherProcess(const QString& path)
{
    return m_openElsewhere.contains(QDir::cleanPath(path)) || LinuxPlatform::IsOpenByOtherProcess(path);
}
