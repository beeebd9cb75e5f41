#pragma once

#include <QMainWindow>

// The main window. It grows into the three-pane explorer window; for now it carries the
// product caption and nothing else.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
};
