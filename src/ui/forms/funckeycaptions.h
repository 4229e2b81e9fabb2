#pragma once

#include <QString>
#include <array>

// The caption sets the function-key bar shows, one per window or form; index 0 is F1.
class CFuncKeyCaptions final
{
public:
    using Set = std::array<QString, 12>;

    static Set Plain();
    // asOf: a past day is shown: F5 goes back to today, and F7 moves nobody.
    static Set Company(bool asOf = false);
    static Set EmployeeMaster();
    static Set EmployeeSearch();
};
