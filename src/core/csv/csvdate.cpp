#include "csv/csvdate.h"

#include "csv/csvquote.h"
#include "dates/eracalendar.h"

#include <QRegularExpression>

namespace {
// Era by its name or its initial letter.
int EraFromName(const QString &name)
{
    static const char *const letters = "MTSHR";
    if (name.size() == 1) {
        const int at = int(QByteArray(letters).indexOf(char(name.at(0).toUpper().unicode())));
        return at < 0 ? CEraCalendar::NoEra : at + CEraCalendar::MinEra;
    }
    for (int era = CEraCalendar::MinEra; era <= CEraCalendar::MaxEra; ++era)
        if (CEraCalendar::EraName(era) == name)
            return era;
    return CEraCalendar::NoEra;
}
} // namespace

QString CCsvDate::Format(const CDateValue &date)
{
    return date.IsValid() ? date.Date().toString(Qt::ISODate) : QString();
}

bool CCsvDate::Parse(const QString &text, CDateValue &date, QString &reason)
{
    // Full-width digits and letters, and the one-character era names (㍻), become plain.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain.isEmpty()) {
        date = CDateValue::MakeNull();
        return true;
    }
    static const QRegularExpression western(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression eraForm(QStringLiteral(
        "^(明治|大正|昭和|平成|令和|[MTSHRmtshr])\\s*(\\d{1,2}|元)\\s*(?:年|[-/.])\\s*(\\d{1,2})\\s*(?:月|[-/.])\\s*(\\d{1,2})\\s*日?$"));
    int era = CEraCalendar::NoEra;
    int year = 0, month = 0, day = 0;
    if (const auto m = western.match(plain); m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
    } else if (const auto e = eraForm.match(plain); e.hasMatch()) {
        era = EraFromName(e.captured(1));
        const int eraYear = e.captured(2) == QStringLiteral("元") ? 1 : e.captured(2).toInt();
        if (eraYear < 1) {
            reason = QStringLiteral("「%1」の年が正しくありません。").arg(CCsvQuote::Cell(text));
            return false;
        }
        year = CEraCalendar::EraYearToYear(era, eraYear);
        month = e.captured(3).toInt();
        day = e.captured(4).toInt();
    } else {
        reason = QStringLiteral("「%1」は日付として読めません（例: 2024-04-01、2024/4/1、令和6年4月1日、R6.4.1）。")
                     .arg(CCsvQuote::Cell(text));
        return false;
    }
    // A year the register cannot hold is told as such, not as a day that does not exist.
    if (year < CDateValue::kMinYear || year > CDateValue::kMaxYear) {
        reason = QStringLiteral("「%1」は扱える年（%2 年から %3 年まで）の範囲外です。")
                     .arg(CCsvQuote::Cell(text))
                     .arg(CDateValue::kMinYear)
                     .arg(CDateValue::kMaxYear);
        return false;
    }
    const CDateValue value(year, month, day);
    if (!value.IsValid()) {
        reason = QStringLiteral("「%1」は存在しない日付です。").arg(CCsvQuote::Cell(text));
        return false;
    }
    if (era != CEraCalendar::NoEra) {
        const CDateValue last = CEraCalendar::LastDay(era);
        if (value < CEraCalendar::FirstDay(era) || (!last.IsNull() && value > last)) {
            reason = QStringLiteral("「%1」は%2の期間外の日付です。")
                         .arg(CCsvQuote::Cell(text), CEraCalendar::EraName(era));
            return false;
        }
    }
    date = value;
    return true;
}
