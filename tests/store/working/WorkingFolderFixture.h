#pragma once

#include "store/StoreTestFixture.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileChanges.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Registered folders below "vault" in the temporary folder, and a working folder "work" that
// holds their store folders.
class WorkingFolderTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    }

    QString workingFolder() const { return path(QStringLiteral("work")); }
    QString storeFolder(const QString& storeName) const
    {
        return workingFolder() + QLatin1Char('/') + storeName;
    }

    // Registers vault/<name> with its store folder work/<storeName>; returns the root.
    QString registerFolder(const QString& name, const QString& storeName, bool readOnly = false)
    {
        const QString root = path(QStringLiteral("vault/") + name);
        EXPECT_TRUE(QDir().mkpath(root));
        EXPECT_EQ(table.AddRegisteredFolder(root, QString(), QStringLiteral("Pass-word1"),
                                            readOnly ? QStringLiteral("1") : QStringLiteral("0"), storeName,
                                            QStringLiteral("0"), DriveFixed),
                  0);
        return root;
    }

    // Creates the file with its folders.
    static void put(const QString& file, const QByteArray& bytes = "plain text")
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, bytes);
    }
    static bool exists(const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }
    static int permissions(const QString& path)
    {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777)
                                                                     : -1;
    }
    QString shownMessages() const { return messages.texts().join(QStringLiteral("\n--\n")); }

    RegisteredFolderTable table{engine, dataFolder(), [this] { return workingFolder(); }};
};

// Keeps anything in a folder from being removed while it lives: the immutable flag where the
// file system and the user's rights allow it, otherwise a folder without write permission.
// works() tells whether either took effect (neither does for root without the flag).
class LockedFolder
{
public:
    explicit LockedFolder(const QString& folder) : m_folder(folder)
    {
        m_immutable = setImmutable(true);
        if (!m_immutable) {
            ::chmod(native().constData(), 0555);
        }
    }
    ~LockedFolder()
    {
        if (m_immutable) {
            setImmutable(false);
        } else {
            ::chmod(native().constData(), 0700);
        }
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    bool works() const
    {
        const QByteArray probe = native() + "/.probe";
        if (::mkdir(probe.constData(), 0700) != 0) {
            return true;
        }
        ::rmdir(probe.constData());
        return false;
    }

private:
    QByteArray native() const { return QFile::encodeName(m_folder); }
    bool setImmutable(bool on)
    {
        const int fd = ::open(native().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString m_folder;
    bool m_immutable = false;
};
