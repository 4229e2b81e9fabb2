#pragma once

#include <QString>

// Text a spreadsheet would take for a formula (a cell starting with =, +, -, @,
// a tab or a carriage return) is written with an apostrophe before it, as OWASP
// advises against CSV injection; a text that itself starts with an apostrophe
// before one of those gets a second one, so that reading takes exactly one off
// and every text comes back as it was. A file from elsewhere with "'-1" reads as "-1".
class CCsvFormulaGuard final
{
public:
    CCsvFormulaGuard() = delete;

    static QString Protect(const QString &text);
    static QString Unprotect(const QString &text);
    // Whether text starts as a formula would.
    static bool LooksLikeFormula(const QString &text);
};
