#pragma once

#include <QLabel>
#include <QPixmap>

// The small picture viewer that opens pictures no program of the desktop takes
// (`kurabox --view-image FILE`): the picture fitted to the window, nothing to edit. It runs as
// a process of its own, so the program is watched like any other.
class ImageViewer : public QLabel
{
    Q_OBJECT

public:
    explicit ImageViewer(const QString& file, QWidget* parent = nullptr);
    bool isLoaded() const { return !m_picture.isNull(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    QPixmap m_picture;
};

// Runs the viewer on the file; the process's exit status.
int RunImageViewer(int argc, char* argv[], const QString& file);
