#include "app/DisplayPlatform.h"
#include "app/ImageViewer.h"
#include "app/KuraboxApplication.h"

#include <cstring>

int main(int argc, char* argv[])
{
    ChooseDisplayPlatform();
    // The picture viewer runs as a process of its own, outside the program's single instance.
    if (argc == 3 && std::strcmp(argv[1], "--view-image") == 0) {
        return RunImageViewer(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    KuraboxApplication app(argc, argv);
    if (app.InitInstance() == 0) {
        return 1;
    }
    return app.exec();
}
