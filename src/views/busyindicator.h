#pragma once

// The wait cursor and the main window's busy animation for the length of a
// database walk; both go off again however the walk ends.
class CBusyIndicator final
{
public:
    CBusyIndicator();
    ~CBusyIndicator();
    CBusyIndicator(const CBusyIndicator &) = delete;
    CBusyIndicator &operator=(const CBusyIndicator &) = delete;
};
