#pragma once

#include <QByteArray>

// The windowing system the window uses. On a Wayland session the window is a Wayland client
// (Qt's "wayland" platform), also where Qt would pick X11 by itself (a GNOME session); it falls
// back to X11 through XWayland only when Qt's Wayland plugin is missing. Elsewhere Qt decides.
// A platform the user set (QT_QPA_PLATFORM) is always kept.

// The platform list for these environment values: "wayland;xcb" on a Wayland session, or empty
// (leave Qt's own choice). A session is a Wayland session when WAYLAND_DISPLAY is set or
// XDG_SESSION_TYPE is "wayland".
QByteArray PlatformForSession(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay,
                              const QByteArray& sessionType);

// Sets QT_QPA_PLATFORM from the process's environment as above; before the application object.
void ChooseDisplayPlatform();
