#pragma once

#include <QString>

// A cell as a message quotes it: no longer than kMaxLength characters (then "…"),
// and control characters, escape sequences among them, shown as visible escapes
// ("\n", "\x1B"), never passed raw to a terminal or a message box.
class CCsvQuote final
{
public:
    static constexpr int kMaxLength = 40;

    static QString Cell(const QString &text);
};
