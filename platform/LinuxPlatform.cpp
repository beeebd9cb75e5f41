#include "platform/LinuxPlatform.h"

#include "platform/TrashFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as octal.
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return QFile::decodeName(out);
}

// The path with symbolic links resolved, through its nearest existing ancestor.
QString resolvedPath(const QString& path)
{
    QString existing = QDir::cleanPath(QDir(path).absolutePath());
    QString rest;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        rest.prepend(QLatin1Char('/') + existing.section(QLatin1Char('/'), -1));
        existing = existing.section(QLatin1Char('/'), 0, -2);
        if (existing.isEmpty()) {
            existing = QStringLiteral("/");
        }
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    const QString base = canonical.isEmpty() ? existing : canonical;
    return base == QLatin1String("/") && !rest.isEmpty() ? rest : base + rest;
}

bool isUnder(const QString& path, const QString& root)
{
    return root == QLatin1String("/") || path == root || path.startsWith(root + QLatin1Char('/'));
}

QString blockDeviceName(const QString& source)
{
    if (!source.startsWith(QLatin1String("/dev/"))) {
        return {};
    }
    const QString device = QFileInfo(source).canonicalFilePath();
    return (device.isEmpty() ? source : device).section(QLatin1Char('/'), -1);
}

// Removable when the disk (or the disk that holds the partition) says so or hangs off USB.
bool isRemovableBlockDevice(const QString& name)
{
    const QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sysPath.isEmpty()) {
        return false;
    }
    if (sysPath.contains(QLatin1String("/usb"))) {
        return true;
    }
    for (const QString& dir : {sysPath, sysPath.section(QLatin1Char('/'), 0, -2)}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1") {
            return true;
        }
    }
    return false;
}

// XDG_TEMPLATES_DIR from the user's user-dirs.dirs ("$HOME/Templates" when it names none).
QString TemplatesFolder()
{
    const QString home = QDir::homePath();
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (!line.startsWith(QLatin1String("XDG_TEMPLATES_DIR="))) {
                continue;
            }
            QString value = line.mid(int(qstrlen("XDG_TEMPLATES_DIR=")));
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) {
                value = value.mid(1, value.size() - 2);
            }
            value.replace(QLatin1String("$HOME"), home);
            if (value.startsWith(QLatin1Char('/'))) {
                return QDir::cleanPath(value);
            }
        }
    }
    return home + QStringLiteral("/Templates");
}

} // namespace

QList<MountInfo> LinuxPlatform::Mounts()
{
    QList<MountInfo> mounts;
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly)) {
        return mounts;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 7 || dash < 6 || dash + 2 >= fields.size()) {
            continue;
        }
        MountInfo mount;
        mount.mountPoint = unescapeMountField(fields.at(4));
        mount.readOnly = fields.at(5).split(',').contains("ro");
        mount.fileSystemType = QString::fromLatin1(fields.at(dash + 1));
        mount.source = unescapeMountField(fields.at(dash + 2));
        mounts.append(mount);
    }
    return mounts;
}

bool LinuxPlatform::MountOf(const QString& path, MountInfo* mount)
{
    if (path.isEmpty()) {
        return false;
    }
    const QString resolved = resolvedPath(path);
    bool found = false;
    // The longest mount point that holds the path; later lines win ties (they are mounted on top).
    for (const MountInfo& m : Mounts()) {
        if (isUnder(resolved, m.mountPoint) && (!found || m.mountPoint.size() >= mount->mountPoint.size())) {
            *mount = m;
            found = true;
        }
    }
    return found;
}

int LinuxPlatform::DriveTypeOfMount(const MountInfo& mount)
{
    static const QStringList remote = {
        QStringLiteral("nfs"),
        QStringLiteral("nfs4"),
        QStringLiteral("cifs"),
        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),
        QStringLiteral("9p"),
        QStringLiteral("davfs"),
        QStringLiteral("sshfs"),
        QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.davfs"),
        QStringLiteral("fuse.rclone"),
        QStringLiteral("fuse.s3fs"),
        QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("afs"),
        QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),
        QStringLiteral("fuse.glusterfs"),
    };
    const QString& type = mount.fileSystemType;
    if (remote.contains(type) || mount.source.startsWith(QLatin1String("//"))) {
        return DriveRemote;
    }
    const QString device = blockDeviceName(mount.source);
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf") ||
        device.startsWith(QLatin1String("sr"))) {
        return DriveOptical;
    }
    if (type == QLatin1String("tmpfs") || type == QLatin1String("ramfs")) {
        return DriveRamDisk;
    }
    if (!device.isEmpty() && isRemovableBlockDevice(device)) {
        return DriveRemovable;
    }
    return DriveFixed;
}

int LinuxPlatform::DriveTypeOf(const QString& path)
{
    MountInfo mount;
    return MountOf(path, &mount) ? DriveTypeOfMount(mount) : DriveUnknown;
}

VolumeInfo LinuxPlatform::VolumeOfType(const QString& fileSystemType, bool readOnly)
{
    static const QStringList withoutPermissions = {QStringLiteral("vfat"), QStringLiteral("msdos"),
                                                   QStringLiteral("exfat"), QStringLiteral("iso9660"),
                                                   QStringLiteral("udf")};
    VolumeInfo volume;
    if (fileSystemType == QLatin1String("vfat")) {
        volume.fileSystemName = QStringLiteral("FAT32");
    } else if (fileSystemType == QLatin1String("msdos")) {
        volume.fileSystemName = QStringLiteral("FAT");
    } else {
        volume.fileSystemName = fileSystemType.toUpper();
    }
    volume.flags = VolumeFlag::CasePreservedNames | VolumeFlag::UnicodeOnDisk;
    if (!withoutPermissions.contains(fileSystemType)) {
        volume.flags |= VolumeFlag::PersistentAcls | VolumeFlag::CaseSensitiveSearch;
    }
    if (readOnly) {
        volume.flags |= VolumeFlag::ReadOnlyVolume;
    }
    return volume;
}

bool LinuxPlatform::VolumeOf(const QString& path, VolumeInfo* volume)
{
    MountInfo mount;
    if (!MountOf(path, &mount)) {
        return false;
    }
    struct statvfs st;
    const bool readOnly =
        mount.readOnly ||
        (::statvfs(QFile::encodeName(mount.mountPoint).constData(), &st) == 0 && (st.f_flag & ST_RDONLY));
    *volume = VolumeOfType(mount.fileSystemType, readOnly);
    return true;
}

QString LinuxPlatform::SpecialFolderPath(SpecialFolder folder)
{
    switch (folder) {
    case SpecialFolder::Documents:
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case SpecialFolder::Desktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    case SpecialFolder::Config:
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    case SpecialFolder::Data:
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    case SpecialFolder::Templates:
        return TemplatesFolder();
    case SpecialFolder::Home:
        break;
    }
    return QDir::homePath();
}

bool LinuxPlatform::MoveToTrash(const QString& path, QString* trashedPath, QString* error)
{
    QFile file(path);
    QString inTrash;
    if (!file.moveToTrash()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    inTrash = file.fileName(); // the file object follows the item into the Trash
    // File managers restore from the info file, which must carry the path escaped.
    QString escapeError;
    if (!TrashFolder::escapeInfoPath(inTrash, &escapeError)) {
        qWarning("The Trash's record of %s kept its unescaped path: %s", qUtf8Printable(path),
                 qUtf8Printable(escapeError));
    }
    if (trashedPath) {
        *trashedPath = inTrash;
    }
    return true;
}

QList<TrashItem> LinuxPlatform::TrashItems(const QString& near)
{
    QStringList folders = {TrashFolder::homeTrash()};
    MountInfo mount;
    if (!near.isEmpty() && MountOf(near, &mount)) {
        folders += TrashFolder::topDirTrashes(mount.mountPoint);
    }
    folders.removeDuplicates();
    QList<TrashItem> items;
    for (const QString& folder : folders) {
        items += TrashFolder::items(folder);
    }
    return items;
}

bool LinuxPlatform::RestoreFromTrash(const TrashItem& item, QString* error)
{
    return TrashFolder::restore(item, error);
}

bool LinuxPlatform::IsOpenByOtherProcess(const QString& path)
{
    return FindProcessHoldingFile(path) != 0;
}

qint64 LinuxPlatform::FindProcessHoldingFile(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) {
        return 0;
    }
    const QString self = QString::number(::getpid());
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : processes) {
        if (pid == self || !pid.front().isDigit()) {
            continue;
        }
        QDirIterator fds(QStringLiteral("/proc/") + pid + QStringLiteral("/fd"), QDir::System | QDir::Files);
        while (fds.hasNext()) {
            if (QFile::symLinkTarget(fds.next()) == target) {
                return pid.toLongLong();
            }
        }
    }
    return 0;
}

qint64 LinuxPlatform::FindProcessByExeName(const QString& name)
{
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : processes) {
        bool ok = false;
        const qint64 id = pid.toLongLong(&ok);
        if (!ok || id == ::getpid()) {
            continue;
        }
        // A process that has ended but is not yet reaped cannot be waited for.
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray status = stat.readAll();
        const qsizetype close = status.lastIndexOf(')');
        if (close < 0 || status.mid(close + 2, 1) == "Z" || status.mid(close + 2, 1) == "X") {
            continue;
        }
        QString exe = QFile::symLinkTarget(QStringLiteral("/proc/") + pid + QStringLiteral("/exe"));
        if (exe.isEmpty()) {
            QFile comm(QStringLiteral("/proc/") + pid + QStringLiteral("/comm"));
            if (comm.open(QIODevice::ReadOnly)) {
                exe = QString::fromLocal8Bit(comm.readAll().trimmed());
            }
        }
        if (exe.section(QLatin1Char('/'), -1).compare(name, Qt::CaseInsensitive) == 0) {
            return id;
        }
    }
    return 0;
}
