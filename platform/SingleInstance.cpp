#include "platform/SingleInstance.h"

#include "util/PrivatePermissions.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

const QString SingleInstance::WindowLockName = QStringLiteral("Kurabox");

SingleInstance::SingleInstance(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    m_path = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // only a dead owner makes a lock stale
    if (!m_lock->tryLock(0)) {
        return false;
    }
    // The lock names this process and its host. QLockFile creates it with whatever the umask
    // leaves of 0666, so it is narrowed once it is ours.
    ::chmod(QFile::encodeName(m_path).constData(), PrivateFileMode);
    return true;
}
