#include "app/ImageViewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

ImageViewer::ImageViewer(const QString& file, QWidget* parent) : QLabel(parent), m_picture(file)
{
    setObjectName(QStringLiteral("imageViewer"));
    setWindowTitle(QFileInfo(file).fileName());
    setAccessibleName(QFileInfo(file).fileName());
    setAlignment(Qt::AlignCenter);
    setMinimumSize(160, 120);
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    if (m_picture.isNull()) {
        setText(QStringLiteral("画像を表示できません。\n\n") + QFileInfo(file).fileName());
        return;
    }
    const QSize screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableSize() * 0.8
                             : QSize(1024, 768);
    resize(m_picture.size().boundedTo(screen).expandedTo(minimumSize()));
    fit();
}

void ImageViewer::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fit();
}

void ImageViewer::fit()
{
    if (!m_picture.isNull()) {
        setPixmap(m_picture.scaled(size().boundedTo(m_picture.size()), Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation));
    }
}

int RunImageViewer(int argc, char* argv[], const QString& file)
{
    QApplication app(argc, argv);
    ImageViewer viewer(file);
    viewer.show();
    return app.exec();
}
