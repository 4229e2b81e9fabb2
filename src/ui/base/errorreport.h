#pragma once

#include <exception>

// Every window tells a failure the same way, in a message box. While a batch is
// open, a message already shown in it is not shown again: one fault met by
// several windows at start-up is told once.
class CErrorReport final
{
public:
    static void Report(const std::exception &error);

    class CBatch final
    {
    public:
        CBatch();
        ~CBatch();
        CBatch(const CBatch &) = delete;
        CBatch &operator=(const CBatch &) = delete;
    };
};
