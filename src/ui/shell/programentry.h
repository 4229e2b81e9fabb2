#pragma once

// Where the program starts: the commands that need no window run on a core
// application, without a display; the window program only where one can show.
class CProgramEntry final
{
public:
    CProgramEntry() = delete;

    static int Main(int argc, char **argv);
    // A display Qt can reach, or a platform the user chose himself.
    static bool HasDisplay();

private:
    static int RunWindow(int argc, char **argv);
};
