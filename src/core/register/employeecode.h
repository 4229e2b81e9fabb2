#pragma once

#include <QString>

// The number an employee code field stands for: the signed decimal integer at
// the start of its text, anything after the digits ignored; 0 when the text is
// empty or does not start with a number.
class CEmployeeCode final
{
public:
    static qint32 Value(const QString &text);
};
