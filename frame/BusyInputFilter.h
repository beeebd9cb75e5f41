#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While the program is busy, keyboard and mouse input and context-menu requests addressed to
// the main window and its panes are dropped, so nothing can start while an operation runs.
// Dialogs and message boxes that the operation opens are separate windows and keep their
// input; a click on the stop button gets through while the operation may be stopped, and
// Escape presses the stop button then, so that the keyboard alone can stop it.
class BusyInputFilter : public QObject
{
    Q_OBJECT

public:
    BusyInputFilter(QWidget* mainWindow, QObject* parent = nullptr);
    void setStopButton(QWidget* button) { m_stopButton = button; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
    QPointer<QWidget> m_stopButton;
};
