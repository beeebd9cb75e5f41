#include "dialogs/confirmation/WaitWindow.h"

#include "dialogs/common/DialogPictures.h"

#include <QHBoxLayout>
#include <QLabel>

WaitWindow::WaitWindow(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setModal(false);
    setObjectName(QStringLiteral("waitWindow"));
    auto* picture = new QLabel;
    picture->setPixmap(WaitPicture());
    auto* text = new QLabel(QStringLiteral("処理中です。しばらくお待ちください。"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 14, 24, 14);
    layout->addWidget(picture);
    layout->addSpacing(8);
    layout->addWidget(text);
    setStyleSheet(QStringLiteral("WaitWindow { border: 1px solid palette(dark); }"));
    setFixedSize(sizeHint());

    m_timer.setSingleShot(true);
    m_timer.setInterval(ShowDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &WaitWindow::showCentred);
    m_timer.start();
}

void WaitWindow::showCentred()
{
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->frameGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
}
