#pragma once

#include "dates/datevalue.h"

#include <QString>

// Dates in CSV cells: written as ISO dates; read as ISO, with slashes, or in an
// era form (令和6年4月1日, R6.4.1, H10/1/1, 平成元年1月8日).
class CCsvDate final
{
public:
    // Empty text gives a null date. False with the reason when the text is no date,
    // names no day, or names a day outside its era.
    static bool Parse(const QString &text, CDateValue &date, QString &reason);
    // Empty for a null date.
    static QString Format(const CDateValue &date);
};
