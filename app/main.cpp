#include "app/Ckuracore5App.h"

int main(int argc, char* argv[])
{
    Ckuracore5App app(argc, argv);
    if (app.InitInstance() == 0) {
        return 1;
    }
    return app.exec();
}
