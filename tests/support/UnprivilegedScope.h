#pragma once

#include <QFile>
#include <QString>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

// Lets a test that runs as the superuser meet file permissions as an ordinary user does, for as
// long as the scope lives: the tree is handed to the unprivileged user "nobody" and the effective
// user id of the whole process becomes that user's; the superuser's id comes back at the end (the
// tree stays with "nobody", which the superuser removes all the same). Outside the superuser
// nothing changes. binds() says whether permissions now bind this process; where they cannot be
// made to (no right to change ids), a test that needs them is skipped.
class UnprivilegedScope
{
public:
    explicit UnprivilegedScope(const QString& tree)
    {
        if (::geteuid() != 0) {
            m_binds = true;
            return;
        }
        if (::nftw(QFile::encodeName(tree).constData(), handOver, 16, FTW_PHYS) != 0) {
            return;
        }
        m_switched = ::seteuid(Nobody) == 0;
        m_binds = m_switched;
    }
    ~UnprivilegedScope()
    {
        if (m_switched) {
            [[maybe_unused]] const int back = ::seteuid(0);
        }
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

    bool binds() const { return m_binds; }

private:
    static constexpr uid_t Nobody = 65534;

    static int handOver(const char* path, const struct stat*, int, struct FTW*)
    {
        return ::lchown(path, Nobody, static_cast<gid_t>(-1));
    }

    bool m_switched = false;
    bool m_binds = false;
};
