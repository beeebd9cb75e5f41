#pragma once

// A real full disk for tests: a small tmpfs mounted on a folder (only root can), and a filler
// file that takes its last free byte at the moment a test chooses.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk
{
public:
    SmallDisk() = default;
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk()
    {
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        }
    }

    // Mounts a tmpfs of `bytes` on `folder` (made if missing). False with the reason why not.
    bool mount(const QString& folder, qint64 bytes, QString* reason)
    {
        if (::geteuid() != 0) {
            *reason = QStringLiteral("a full disk needs root to mount a small tmpfs");
            return false;
        }
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0) {
            *reason =
                QStringLiteral("cannot mount a tmpfs: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_folder = folder;
        m_mounted = true;
        return true;
    }

    // Takes every free byte with a filler file at the disk's top.
    void fill()
    {
        const int fd =
            ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        while (::write(fd, "f", 1) > 0) {
        }
        ::close(fd);
    }
    void release() { ::unlink(QFile::encodeName(fillerPath()).constData()); }

    static QString fillerName() { return QStringLiteral("filler"); }

private:
    QString fillerPath() const { return m_folder + QLatin1Char('/') + fillerName(); }

    QString m_folder;
    bool m_mounted = false;
};
