#include "dates/eracalendar.h"

#include <QDate>

namespace {

struct EraRow {
    const char *name;
    const char *prefix; // printf format over the era year
    int firstYear, firstMonth, firstDay;
    int lastYear, lastMonth, lastDay; // 0 for the open era
    int baseYear;
};

// Index 0 is "no era"; each era ends the day before the next begins.
constexpr EraRow kEras[CEraCalendar::MaxEra + 1] = {
    {"", "", 0, 0, 0, 0, 0, 0, 0},
    {"明治", "明治 % 3d", 1868, 9, 8, 1912, 7, 29, 1867},
    {"大正", "大正 % 3d", 1912, 7, 30, 1926, 12, 24, 1911},
    {"昭和", "昭和 % 3d", 1926, 12, 25, 1989, 1, 7, 1925},
    {"平成", "平成 % 3d", 1989, 1, 8, 2019, 4, 30, 1988},
    {"令和", "令和 % 3d", 2019, 5, 1, 0, 0, 0, 2018},
};

bool InTable(int era)
{
    return era >= CEraCalendar::MinEra && era <= CEraCalendar::MaxEra;
}

// Like atoi: optional leading blanks and sign, then digits up to the first other character.
int ReadPiece(const QString &piece)
{
    qsizetype i = 0;
    while (i < piece.size() && piece.at(i) == u' ')
        ++i;
    int sign = 1;
    if (i < piece.size() && (piece.at(i) == u'-' || piece.at(i) == u'+')) {
        if (piece.at(i) == u'-')
            sign = -1;
        ++i;
    }
    int value = 0;
    for (; i < piece.size() && piece.at(i) >= u'0' && piece.at(i) <= u'9'; ++i)
        value = value * 10 + (piece.at(i).unicode() - u'0');
    return sign * value;
}

} // namespace

QString CEraCalendar::EraName(int era)
{
    return InTable(era) ? QString::fromUtf8(kEras[era].name) : QString();
}

QString CEraCalendar::EraLabel(int era, bool eraMode)
{
    if (InTable(era))
        return EraName(era);
    return eraMode ? QStringLiteral("和暦") : QStringLiteral("西暦");
}

int CEraCalendar::BaseYear(int era)
{
    return InTable(era) ? kEras[era].baseYear : 0;
}

CDateValue CEraCalendar::FirstDay(int era)
{
    if (!InTable(era))
        return {};
    const EraRow &row = kEras[era];
    return CDateValue(row.firstYear, row.firstMonth, row.firstDay);
}

CDateValue CEraCalendar::LastDay(int era)
{
    if (!InTable(era) || kEras[era].lastYear == 0)
        return {};
    const EraRow &row = kEras[era];
    return CDateValue(row.lastYear, row.lastMonth, row.lastDay);
}

QString CEraCalendar::EraPrefix(int era, int eraYear)
{
    return InTable(era) ? QString::asprintf(kEras[era].prefix, eraYear) : QString();
}

int CEraCalendar::EraOf(const CDateValue &date)
{
    if (!date.IsValid())
        return NoEra;
    const QDate day = date.Date();
    for (int era = MinEra; era <= MaxEra; ++era) {
        const EraRow &row = kEras[era];
        if (day < QDate(row.firstYear, row.firstMonth, row.firstDay))
            continue;
        if (row.lastYear == 0 || day <= QDate(row.lastYear, row.lastMonth, row.lastDay))
            return era;
    }
    return NoEra;
}

QString CEraCalendar::ToEraText(const CDateValue &date, int &era)
{
    const int found = EraOf(date);
    if (found == NoEra)
        return {};
    era = found;
    return QString::asprintf("%02d%02d%02d", date.GetYear() - BaseYear(found), date.GetMonth(), date.GetDay());
}

QString CEraCalendar::ToWesternText(const CDateValue &date)
{
    return date.Format(QStringLiteral("%y%m%d"));
}

CDateValue CEraCalendar::FromEraText(const QString &text, int era)
{
    int yy = 0, mm = 0, dd = 0;
    SplitText(text, yy, mm, dd);
    return CDateValue(EraYearToYear(era, yy), mm, dd);
}

CDateValue CEraCalendar::FromWesternText(const QString &text)
{
    int yy = 0, mm = 0, dd = 0;
    SplitText(text, yy, mm, dd);
    return CDateValue(WesternYearToYear(yy), mm, dd);
}

void CEraCalendar::SplitText(const QString &text, int &yy, int &mm, int &dd)
{
    yy = ReadPiece(text.mid(0, 2));
    mm = ReadPiece(text.mid(2, 2));
    dd = ReadPiece(text.mid(4, 2));
}

int CEraCalendar::EraYearToYear(int era, int yy)
{
    return BaseYear(era) + yy;
}

int CEraCalendar::WesternYearToYear(int yy)
{
    return yy < WesternPivot ? 2000 + yy : 1900 + yy;
}

QString CEraCalendar::LongText(const QDate &day)
{
    const CDateValue date(day);
    const int era = EraOf(date);
    if (era == NoEra)
        return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
    const int year = day.year() - BaseYear(era);
    // The first year of an era is read 元年.
    const QString yearText = year == 1 ? QStringLiteral("元") : QString::number(year);
    return EraName(era) + yearText + QStringLiteral("年%1月%2日").arg(day.month()).arg(day.day());
}
