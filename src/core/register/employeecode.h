#pragma once

#include <QString>

// The number an employee code field stands for: the signed decimal integer at
// the start of its text, anything after the digits ignored; 0 when the text is
// empty or does not start with a number.
class CEmployeeCode final
{
public:
    // Codes are whole numbers 1..kMax; every screen, list, print and file holds kDigits.
    static constexpr qint32 kMax = 999'999'999;
    static constexpr int kDigits = 9;

    static qint32 Value(const QString &text);
    static bool IsValid(qint64 code) { return code >= 1 && code <= kMax; }
    // "社員コードは 1 から 999999999 までの整数です。"
    static QString RangeText();
};
