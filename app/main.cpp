#include "frame/CMainFrame.h"
#include "frame/MessageBoxService.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kurabox"));

    CMainFrame frame;
    MessageBoxService messages(&frame);
    MessageService::install(&messages);
    frame.show();
    const int rc = app.exec();
    MessageService::install(nullptr);
    return rc;
}
