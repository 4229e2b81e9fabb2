#pragma once

#include "dates/datevalue.h"

#include <QDate>
#include <QString>

// The Japanese eras and the six-digit date texts (YYMMDD) typed into date fields.
// Era index 0 means no era is chosen; 1..MaxEra are 明治 to 令和.
class CEraCalendar final
{
public:
    static constexpr int NoEra = 0;
    static constexpr int MinEra = 1;
    static constexpr int MaxEra = 5;
    // Two-digit Western years below this are 20xx, the rest 19xx.
    static constexpr int WesternPivot = 30;

    // "明治" .. "令和"; empty for 0 or an index outside the table.
    static QString EraName(int era);
    // What a date field shows at its left: for 0 "和暦" in era mode, "西暦" otherwise.
    static QString EraLabel(int era, bool eraMode);
    // 0 for an index outside the table, so a year read with it stays below 100.
    static int BaseYear(int era);
    static CDateValue FirstDay(int era);
    // Null for the open era.
    static CDateValue LastDay(int era);
    // Era name and era year right-aligned in three characters, "平成  10".
    static QString EraPrefix(int era, int eraYear);

    // 0 when the date lies before 明治 or is not valid.
    static int EraOf(const CDateValue &date);
    // Empty text, and era left alone, when the date has no era.
    static QString ToEraText(const CDateValue &date, int &era);
    static QString ToWesternText(const CDateValue &date);
    // A day as people write it: "令和6年4月1日", "平成元年1月8日"; before any era "1868年1月1日".
    static QString LongText(const QDate &day);
    // The day is not checked against the era: 昭和 70 is 1995.
    static CDateValue FromEraText(const QString &text, int era);
    static CDateValue FromWesternText(const QString &text);

    // YY, MM and DD of a date text; a short or missing piece reads as its leading digits, or 0.
    static void SplitText(const QString &text, int &yy, int &mm, int &dd);
    static int EraYearToYear(int era, int yy);
    static int WesternYearToYear(int yy);
};
