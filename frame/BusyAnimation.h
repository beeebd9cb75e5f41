#pragma once

#include <QPixmap>

// The 16 frames of the busy animation in status pane 2, drawn by the program: frame 0 is the
// resting picture, frames 1 to 15 a ring whose bright segment turns.
class BusyAnimation
{
public:
    static constexpr int FrameCount = 16;
    static QPixmap frame(int number, int size = 16);
};
