#include "forms/asofdate.h"

#include "dates/eracalendar.h"

namespace {
const QString kTitle = QStringLiteral("%1（基準日 %2）");
const QString kStatus = QStringLiteral("%1 の終わりの状態を表示中（参照のみ）。F5 で今日に戻ります。");
const QString kNothingThen = QStringLiteral(
    "%1 の終わりには、会社も部課もまだ登録されていませんでした。F5 で今日に戻ります。");
const QString kReadOnly = QStringLiteral("基準日の表示中は変更できません。F5「今日」で現在に戻してから操作してください。");
const QString kNoDay = QStringLiteral("基準日を正しい日付で入力してください。");
const QString kFuture = QStringLiteral("基準日に明日以降の日付は指定できません。");
} // namespace

QString CAsOfDate::EraText(const QDate &day)
{
    return CEraCalendar::LongText(day);
}

QString CAsOfDate::Title(const QString &title, const QDate &day)
{
    return day.isValid() ? kTitle.arg(title, EraText(day)) : title;
}

QString CAsOfDate::Status(const QDate &day)
{
    return day.isValid() ? kStatus.arg(EraText(day)) : QString();
}

QString CAsOfDate::NothingThen(const QDate &day)
{
    return kNothingThen.arg(EraText(day));
}

QString CAsOfDate::Refusal(const QDate &day, const QDate &today)
{
    if (!day.isValid() || !CDateValue(day).IsValid())
        return kNoDay;
    return day > today ? kFuture : QString();
}

QDate CAsOfDate::Kept(const QDate &day, const QDate &today)
{
    return day.isValid() && day < today ? day : QDate();
}

QString CAsOfDate::ReadOnlyText()
{
    return kReadOnly;
}
