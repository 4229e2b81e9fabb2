#pragma once

#include "dates/datevalue.h"

#include <QString>

// Why an employee as typed cannot be kept, in the words the status bar and the
// refusal box show; an empty text when it can.
class CEmployeeCheck final
{
public:
    enum EDate { birth, joined, left, dateCount };

    CEmployeeCheck() = delete;

    static QString Code(qint64 code);
    static QString Name(const QString &name);
    // text is six digits as typed, read in era when eraText.
    static QString DateText(EDate which, const QString &text, bool eraText, int era);
    // Born, joined and left in that order; a null date is not compared. which gets the
    // later date that comes too early, or dateCount when the order holds.
    static QString Order(const CDateValue (&dates)[dateCount], EDate &which);
    // When a date typed in era falls in another one: "平成31年5月1日は令和元年5月1日です。".
    static QString EraNote(const CDateValue &date, int era);
    static QString Label(EDate which);
    // "令和元年5月1日"
    static QString EraText(const CDateValue &date, int era);
};
