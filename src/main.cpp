#include "csv/csvcommandline.h"
#include "shell/morvekapp.h"

int main(int argc, char *argv[])
{
    // Scripts reach the CSV register before any window exists.
    if (CCsvCommandLine::Wants(QStringList(argv, argv + argc)))
        return CCsvCommandLine::Main(argc, argv);
    CMorvekApp app(argc, argv);
    if (!app.InitInstance())
        return 0;
    return app.exec();
}
