#include "register/employeecheck.h"

#include "dates/eracalendar.h"
#include "register/employeecode.h"

namespace {
const char16_t *const kLabels[] = {u"生年月日", u"入社年月日", u"退社年月日"};

QString Reason(CEmployeeCheck::EDate which, const QString &text)
{
    return CEmployeeCheck::Label(which) + QStringLiteral(": ") + text;
}

bool IsDate(const CDateValue &date)
{
    return date.IsValid() && !(date == CDateValue::Zero());
}
} // namespace

QString CEmployeeCheck::Label(EDate which)
{
    return which < dateCount ? QString::fromUtf16(kLabels[which]) : QString();
}

QString CEmployeeCheck::Code(qint64 code)
{
    if (code == 0)
        return QStringLiteral("社員コードを入力してください。");
    return CEmployeeCode::IsValid(code) ? QString() : CEmployeeCode::RangeText();
}

QString CEmployeeCheck::Name(const QString &name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("氏名を入力してください。") : QString();
}

QString CEmployeeCheck::DateText(EDate which, const QString &text, bool eraText, int era)
{
    if (text.size() != 6)
        return Reason(which, QStringLiteral("6桁の数字で入力してください（例 100101）。"));
    if (eraText && era == CEraCalendar::NoEra)
        return Reason(which, QStringLiteral("年号を PageUp、PageDown で選んでください。"));
    int yy = 0, mm = 0, dd = 0;
    CEraCalendar::SplitText(text, yy, mm, dd);
    if (mm < 1 || mm > 12)
        return Reason(which, QStringLiteral("%1月という月はありません。").arg(mm));
    const int year = eraText ? CEraCalendar::EraYearToYear(era, yy) : CEraCalendar::WesternYearToYear(yy);
    const CDateValue date(year, mm, dd);
    if (dd < 1 || date.GetYear() != year || date.GetMonth() != mm || date.GetDay() != dd)
        return Reason(which, QStringLiteral("%1月%2日という日はありません。").arg(mm).arg(dd));
    return {};
}

QString CEmployeeCheck::Order(const CDateValue (&dates)[dateCount], EDate &which)
{
    which = dateCount;
    for (int later = joined; later < dateCount; ++later) {
        for (int earlier = later - 1; earlier >= birth; --earlier) {
            if (IsDate(dates[later]) && IsDate(dates[earlier]) && dates[later].Date() < dates[earlier].Date()) {
                which = EDate(later);
                return Reason(which, Label(EDate(earlier)) + QStringLiteral("より前の日です。"));
            }
        }
    }
    return {};
}

QString CEmployeeCheck::EraText(const CDateValue &date, int era)
{
    const int year = date.GetYear() - CEraCalendar::BaseYear(era);
    return CEraCalendar::EraName(era) + (year == 1 ? QStringLiteral("元") : QString::number(year))
         + QStringLiteral("年%1月%2日").arg(date.GetMonth()).arg(date.GetDay());
}

QString CEmployeeCheck::EraNote(const CDateValue &date, int era)
{
    const int proper = CEraCalendar::EraOf(date);
    if (era == CEraCalendar::NoEra || proper == CEraCalendar::NoEra || proper == era)
        return {};
    return EraText(date, era) + QStringLiteral("は") + EraText(date, proper) + QStringLiteral("です。");
}
