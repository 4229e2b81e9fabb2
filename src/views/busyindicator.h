#pragma once

// The wait cursor and the main window's busy animation for the length of a
// database walk; both go off again however the walk ends. Nested walks keep
// them on until the outermost ends.
class CBusyIndicator final
{
public:
    CBusyIndicator();
    ~CBusyIndicator();
    CBusyIndicator(const CBusyIndicator &) = delete;
    CBusyIndicator &operator=(const CBusyIndicator &) = delete;

    // Called for each row of a walk: moves the clip on when a frame's time has
    // passed. No events are processed, so no input arrives in the middle of a walk.
    static void Tick();
};
