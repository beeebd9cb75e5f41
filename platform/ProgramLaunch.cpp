// GIO first: its structures have members named like Qt's keywords.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/ProgramLaunch.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data)
{
    *static_cast<qint64*>(data) = pid;
}

QString programOf(GAppInfo* app)
{
    const char* exe = g_app_info_get_executable(app);
    if (!exe || !*exe) {
        return {};
    }
    gchar* found = g_find_program_in_path(exe);
    const QString path = found ? fromUtf8(found) : fromUtf8(exe);
    g_free(found);
    return path;
}

} // namespace

int LaunchWithDefaultProgram(const QString& file, LaunchedProgram* launched, QString* errorText)
{
    *launched = LaunchedProgram();
    const QByteArray name = QFileInfo(file).fileName().toUtf8();
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(name.constData(), nullptr, 0, &uncertain);
    GAppInfo* app = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (!app) {
        *errorText = QStringLiteral("no program for this type");
        return -1;
    }
    launched->program = programOf(app);
    const QByteArray uri = QUrl::fromLocalFile(file).toEncoded();
    GList* uris = g_list_append(nullptr, const_cast<char*>(uri.constData()));
    GError* error = nullptr;
    gboolean started = FALSE;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        started = g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(app), uris, nullptr,
                                                            G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                                            rememberPid, &launched->pid, &error);
    } else {
        started = g_app_info_launch_uris(app, uris, nullptr, &error);
    }
    g_list_free(uris);
    g_object_unref(app);
    if (!started) {
        *errorText = error ? fromUtf8(error->message) : QString();
        if (error) {
            g_error_free(error);
        }
        return -1;
    }
    return 0;
}

int LaunchWithProgram(const QString& program, const QStringList& arguments, LaunchedProgram* launched,
                      QString* errorText)
{
    *launched = LaunchedProgram();
    launched->program = program;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!process.startDetached(&launched->pid)) {
        *errorText = process.errorString();
        return -1;
    }
    return 0;
}

ProcessHandle ProcessHandle::Open(qint64 pid)
{
    ProcessHandle handle;
    if (pid <= 0) {
        return handle;
    }
    const long fd = ::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0);
    if (fd >= 0) {
        handle.m_fd = int(fd);
        handle.m_pid = pid;
    }
    return handle;
}

ProcessHandle::~ProcessHandle()
{
    close();
}

ProcessHandle::ProcessHandle(ProcessHandle&& other) noexcept : m_fd(other.m_fd), m_pid(other.m_pid)
{
    other.m_fd = -1;
    other.m_pid = 0;
}

ProcessHandle& ProcessHandle::operator=(ProcessHandle&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_pid = other.m_pid;
        other.m_fd = -1;
        other.m_pid = 0;
    }
    return *this;
}

bool ProcessHandle::hasEnded(int milliseconds)
{
    if (m_fd < 0) {
        return true;
    }
    pollfd entry{m_fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, milliseconds);
    if (ready <= 0) {
        return false; // still running, or the wait failed: treated alike
    }
    // Reap it if it is our own child; for any other process this fails harmlessly.
    siginfo_t info{};
    constexpr int ByPidfd = 3; // P_PIDFD, which this C library does not name yet
    ::waitid(static_cast<idtype_t>(ByPidfd), static_cast<id_t>(m_fd), &info, WEXITED | WNOHANG);
    return true;
}

void ProcessHandle::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
    m_pid = 0;
}
