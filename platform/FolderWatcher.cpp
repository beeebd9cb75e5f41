#include "platform/FolderWatcher.h"

#include <QDirIterator>
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

void FolderWatcher::removeWatches()
{
    for (auto it = m_watches.cbegin(); it != m_watches.cend(); ++it) {
        ::inotify_rm_watch(m_fd, it.key());
    }
    m_watches.clear();
}

void FolderWatcher::addWatch(const QString& folder)
{
    const int wd = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), Events);
    if (wd < 0) {
        return;
    }
    m_watches.insert(wd, folder);
    if (m_withSubfolders) {
        QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
        while (it.hasNext()) {
            addWatch(it.next());
        }
    }
}

bool FolderWatcher::watch(const QString& folder, bool withSubfolders)
{
    m_folder = folder;
    m_withSubfolders = withSubfolders;
    m_quiet.stop();
    if (m_fd < 0) {
        return false;
    }
    removeWatches();
    if (folder.isEmpty()) {
        return true;
    }
    addWatch(folder);
    return !m_watches.isEmpty();
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
            offset += ssize_t(sizeof(inotify_event) + event->len);
            // Events of a watch replaced meanwhile are old news.
            const auto it = m_watches.constFind(event->wd);
            if (it == m_watches.cend()) {
                continue;
            }
            relevant = true;
            if (event->mask & IN_IGNORED) {
                m_watches.remove(event->wd);
            } else if (m_withSubfolders && (event->mask & IN_ISDIR) &&
                       (event->mask & (IN_CREATE | IN_MOVED_TO)) && event->len > 0) {
                addWatch(it.value() + QLatin1Char('/') + QString::fromLocal8Bit(event->name));
            }
        }
    }
    if (relevant) {
        m_quiet.start();
    }
}
