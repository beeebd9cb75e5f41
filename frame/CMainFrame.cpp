#include "frame/CMainFrame.h"

#include <QLabel>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kurabox"));
    auto* placeholder = new QLabel(QStringLiteral("暗号フォルダーはまだ登録されていません。"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(placeholder);
    resize(900, 600);
}
