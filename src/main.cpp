#include "app/morvekapp.h"

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    if (!app.InitInstance())
        return 0;
    return app.exec();
}
