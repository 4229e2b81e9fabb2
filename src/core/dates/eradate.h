#pragma once

#include "dates/datevalue.h"

#include <QString>

// A date and its six-digit Western text, as forms and printing pass them around.
class CEraDate final
{
public:
    CEraDate(); // today

    // Returns the Western text, which is kept beside the date.
    QString SetDate(const CDateValue &date);
    CDateValue GetDate() const { return m_date; }
    QString GetText() const { return m_strText; }

    // 0 when the text names a real day, 1 otherwise. Era text reads its year from era
    // (with era 0 nothing passes); Western text by the two-digit pivot.
    static int CheckDateText(const QString &text, bool eraText, int era = 0);

    // "%e" puts the era name and year at the very front, wherever it stands in format.
    // The rest of the formatted date replaces the kept text.
    QString FormatEra(const QString &format);

private:
    CDateValue m_date;
    QString m_strText;
};
