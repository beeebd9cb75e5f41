#pragma once

// Permissions in tests: the process's umask for a while, and the mode of a path as octal text,
// which a failure prints readably.

#include <QFile>
#include <QString>

#include <string>
#include <sys/stat.h>

// Sets the umask for its lifetime and then puts the previous one back. The umask belongs to the
// whole process: nothing else may create files while a test holds one.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_previous;
};

// "0600" and the like; "missing" when nothing is at the path.
inline std::string OctalMode(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return "missing";
    }
    return QStringLiteral("%1").arg(uint(st.st_mode & 07777), 4, 8, QLatin1Char('0')).toStdString();
}
