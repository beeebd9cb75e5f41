#include "app/DisplayPlatform.h"

#include <QtGlobal>

QByteArray PlatformForSession(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay,
                              const QByteArray& sessionType)
{
    if (!qpaPlatform.isEmpty()) {
        return QByteArray();
    }
    if (!waylandDisplay.isEmpty() || sessionType == "wayland") {
        return QByteArrayLiteral("wayland;xcb");
    }
    return QByteArray();
}

void ChooseDisplayPlatform()
{
    const QByteArray platform = PlatformForSession(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                                   qgetenv("XDG_SESSION_TYPE"));
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
}
