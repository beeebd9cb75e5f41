#include "platform/FolderWatcher.h"

#include <QFile>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr int QuietMs = 20;
constexpr uint32_t Events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB |
                            IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

FolderWatcher::FolderWatcher(QObject* parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &FolderWatcher::changed);
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
    }
}

FolderWatcher::~FolderWatcher()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool FolderWatcher::watch(const QString& folder)
{
    if (m_fd < 0) {
        m_folder = folder;
        return false;
    }
    if (m_watch >= 0) {
        ::inotify_rm_watch(m_fd, m_watch);
        m_watch = -1;
    }
    m_folder = folder;
    m_quiet.stop();
    if (folder.isEmpty()) {
        return true;
    }
    m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), Events);
    return m_watch >= 0;
}

void FolderWatcher::readEvents()
{
    alignas(inotify_event) char buffer[8192];
    bool relevant = false;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            // Events of a watch replaced meanwhile are old news.
            if (event->wd == m_watch) {
                relevant = true;
                if (event->mask & IN_IGNORED) {
                    m_watch = -1;
                }
            }
            offset += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    if (relevant) {
        m_quiet.start();
    }
}
