#include "dates/eradate.h"

#include "dates/eracalendar.h"

CEraDate::CEraDate()
{
    SetDate(CDateValue::CurrentTime());
}

QString CEraDate::SetDate(const CDateValue &date)
{
    m_date = date;
    m_strText = CEraCalendar::ToWesternText(date);
    return m_strText;
}

int CEraDate::CheckDateText(const QString &text, bool eraText, int era)
{
    int yy = 0, mm = 0, dd = 0;
    CEraCalendar::SplitText(text, yy, mm, dd);
    if (yy < 0 || yy > 99 || mm < 1 || mm > 12 || dd < 1 || dd > 31)
        return 1;
    const int year = eraText ? CEraCalendar::EraYearToYear(era, yy) : CEraCalendar::WesternYearToYear(yy);
    // A day that does not exist leaves the date invalid, and its parts read back as -1.
    const CDateValue date(year, mm, dd);
    const bool exists = date.GetYear() == year && date.GetMonth() == mm && date.GetDay() == dd;
    return exists ? 0 : 1;
}

QString CEraDate::FormatEra(const QString &format)
{
    static const QString eraCode = QStringLiteral("%e");
    if (!format.contains(eraCode))
        return m_date.Format(format);

    m_strText = m_date.Format(QString(format).remove(eraCode));
    const int era = CEraCalendar::EraOf(m_date);
    const QString prefix = era == CEraCalendar::NoEra
                             ? QString()
                             : CEraCalendar::EraPrefix(era, m_date.GetYear() - CEraCalendar::BaseYear(era));
    return prefix + m_strText;
}
