#pragma once

#include <QString>

// A postal code as people type it.
class CPostalCode final
{
public:
    CPostalCode() = delete;

    // The seven digits of "100-0001", "1000001", "〒１００－０００１" (full-width digits,
    // hyphens and spaces of any width); empty for anything else.
    static QString Normalize(const QString &text);
    // "100-0001" for seven digits; anything else as it is.
    static QString Shown(const QString &code);
};
