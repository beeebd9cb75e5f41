#pragma once

#include <QDialog>
#include <QTimer>

// The wait window of operations that may take a while. It is created hidden, centred over its
// owner, and shows itself only when the work is still going on after ShowDelayMs, so short
// operations never flash it. The caller destroys it when the work ends; the work must dispatch
// events for the window to appear and repaint.
class WaitWindow : public QDialog
{
public:
    static constexpr int ShowDelayMs = 800;

    explicit WaitWindow(QWidget* owner);

private:
    void showCentred();

    QTimer m_timer;
};
