#include "platform/LinuxPlatform.h"

#include "support/FakePlatform.h"
#include "util/FileQueries.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

TEST(LinuxPlatformTest, DriveTypesOfMounts)
{
    struct Case
    {
        const char* type;
        const char* source;
        int drive;
    };
    const Case cases[] = {
        {"nfs4", "server:/export", DriveRemote}, {"cifs", "//server/share", DriveRemote},
        {"fuse.sshfs", "u@host:", DriveRemote},  {"iso9660", "/dev/sr0", DriveOptical},
        {"udf", "/dev/sr1", DriveOptical},       {"tmpfs", "tmpfs", DriveRamDisk},
        {"ramfs", "ramfs", DriveRamDisk},        {"ext4", "/dev/nonexistent1", DriveFixed},
        {"overlay", "overlay", DriveFixed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        MountInfo mount{QStringLiteral("/m"), QString::fromLatin1(c.type), QString::fromLatin1(c.source),
                        false};
        EXPECT_EQ(LinuxPlatform::DriveTypeOfMount(mount), c.drive) << c.type;
    }
}

TEST(LinuxPlatformTest, VolumeNamesAndFlags)
{
    struct Case
    {
        const char* type;
        const char* name;
        bool acls;
    };
    const Case cases[] = {{"vfat", "FAT32", false},      {"msdos", "FAT", false}, {"exfat", "EXFAT", false},
                          {"iso9660", "ISO9660", false}, {"ext4", "EXT4", true},  {"btrfs", "BTRFS", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        const VolumeInfo v = LinuxPlatform::VolumeOfType(QString::fromLatin1(c.type), false);
        EXPECT_EQ(v.fileSystemName, QString::fromLatin1(c.name));
        EXPECT_EQ(bool(v.flags & VolumeFlag::PersistentAcls), c.acls) << c.type;
    }
}

// What this machine really has: the root file system, and /dev/shm as a RAM disk.
TEST(LinuxPlatformTest, RealMounts)
{
    LinuxPlatform platform;
    MountInfo mount;
    ASSERT_TRUE(platform.MountOf(QStringLiteral("/"), &mount));
    EXPECT_EQ(mount.mountPoint, QStringLiteral("/"));
    ASSERT_TRUE(platform.MountOf(QStringLiteral("/no/such/folder/below/root"), &mount));
    EXPECT_EQ(mount.mountPoint, QStringLiteral("/"));
    if (platform.MountOf(QStringLiteral("/dev/shm/x"), &mount) &&
        mount.fileSystemType == QLatin1String("tmpfs")) {
        EXPECT_EQ(platform.DriveTypeOf(QStringLiteral("/dev/shm/x")), DriveRamDisk);
    }
    int type = 0;
    QTemporaryDir dir;
    ASSERT_EQ(DriveType(dir.path(), &type), 0);
    EXPECT_TRUE(type == DriveFixed || type == DriveRamDisk) << type;
}

TEST(LinuxPlatformTest, FakeVolumesPlayDrivesThisMachineHasNot)
{
    FakePlatform platform;
    platform.addVolume(QStringLiteral("/media/usb"), QStringLiteral("vfat"), DriveRemovable);
    platform.addVolume(QStringLiteral("/net/share"), QStringLiteral("cifs"), DriveRemote);

    int type = 0;
    ASSERT_EQ(DriveType(QStringLiteral("/media/usb/photos"), &type), 0);
    EXPECT_EQ(type, DriveRemovable);
    ASSERT_EQ(DriveType(QStringLiteral("/net/share"), &type), 0);
    EXPECT_EQ(type, DriveRemote);
    QString name;
    quint32 flags = 0;
    ASSERT_EQ(VolumeFileSystem(QStringLiteral("/media/usb/photos"), &name, &flags), 0);
    EXPECT_EQ(name, QStringLiteral("FAT32"));
    EXPECT_FALSE(flags & VolumeFlag::PersistentAcls);
    EXPECT_EQ(ClassifyPath(QStringLiteral("/media/usb")), 1);
    // Not declared: the real machine.
    ASSERT_EQ(DriveType(QStringLiteral("/media/usbx"), &type), 0);
    EXPECT_NE(type, DriveRemovable);
}

TEST(LinuxPlatformTest, FileHeldOpenByAnotherProgram)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("open.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    LinuxPlatform platform;
    EXPECT_FALSE(platform.IsOpenByOtherProcess(file));

    // A real child process that keeps the file open on descriptor 3.
    QProcess child;
    child.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; echo ready; exec sleep 30"), file});
    ASSERT_TRUE(child.waitForReadyRead(5000));
    EXPECT_TRUE(platform.IsOpenByOtherProcess(file));
    // "ready" comes before the shell has become sleep: wait for the exec to be visible.
    qint64 found = 0;
    for (int i = 0; i < 500 && found == 0; ++i) {
        found = platform.FindProcessByExeName(QStringLiteral("SLEEP")); // names compare without case
        if (found == 0)
            QThread::msleep(10);
    }
    EXPECT_NE(found, 0);
    child.kill();
    child.waitForFinished(5000);
    EXPECT_FALSE(platform.IsOpenByOtherProcess(file));
}
