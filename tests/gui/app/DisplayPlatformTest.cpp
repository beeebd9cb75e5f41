#include "app/DisplayPlatform.h"

#include <gtest/gtest.h>

TEST(DisplayPlatformTest, WaylandSessionsGetWaylandWithTheX11FallBack)
{
    const struct
    {
        const char* name;
        QByteArray set, waylandDisplay, sessionType, expected;
    } rows[] = {
        {"Wayland session", "", "wayland-0", "wayland", "wayland;xcb"},
        {"compositor socket without a session type", "", "wayland-1", "", "wayland;xcb"},
        {"session type without the socket variable", "", "", "wayland", "wayland;xcb"},
        {"X11 session", "", "", "x11", ""},
        {"no session at all", "", "", "", ""},
        {"the user's own choice stays", "xcb", "wayland-0", "wayland", ""},
        {"offscreen tests stay offscreen", "offscreen", "wayland-0", "wayland", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PlatformForSession(row.set, row.waylandDisplay, row.sessionType), row.expected) << row.name;
    }
}
