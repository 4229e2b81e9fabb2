#include "chart/stafffigures.h"

#include "chart/staffsnapshot.h"

#include <algorithm>

namespace {
constexpr int kAgeBands = 11;
constexpr int kServiceBands = 7;
// No span longer than this is counted: every month walks every employee.
constexpr int kMaxMonths = 600;

const QString kHeadcount = QStringLiteral("人数");
const QString kMen = QStringLiteral("男性");
const QString kWomen = QStringLiteral("女性");

QString MonthText(const QDate &month)
{
    return QStringLiteral("%1年%2月").arg(month.year()).arg(month.month());
}

// A date the day has not reached yet is as good as none.
bool Known(const CDateValue &date, const QDate &day)
{
    return date.IsValid() && date.Date() <= day;
}
} // namespace

int SFigureTable::Max() const
{
    int max = 0;
    for (const SFigureSeries &one : series) {
        for (int value : one.values)
            max = std::max(max, value);
    }
    return max;
}

int SFigureTable::Total() const
{
    int total = 0;
    for (const SFigureSeries &one : series) {
        for (int value : one.values)
            total += value;
    }
    return total;
}

CStaffFigures::CStaffFigures(const CStaffSnapshot &snapshot, qint32 unitId)
    : m_snapshot(snapshot)
    , m_nUnit(unitId)
{
}

QString CStaffFigures::Name(EFigure figure)
{
    switch (figure) {
    case EFigure::Units:
        return QStringLiteral("部課別人員");
    case EFigure::Ages:
        return QStringLiteral("年齢構成");
    case EFigure::Service:
        return QStringLiteral("勤続年数");
    case EFigure::Flow:
        return QStringLiteral("入社・退社");
    case EFigure::MonthEnds:
        return QStringLiteral("月末人員");
    }
    return {};
}

QString CStaffFigures::UnitName() const
{
    if (m_nUnit == 0)
        return QStringLiteral("全体");
    if (!m_snapshot.Unit(m_nUnit))
        return QStringLiteral("（この日にはない部課）");
    return m_snapshot.SlashPath(m_nUnit);
}

QDate CStaffFigures::Day() const
{
    return m_snapshot.Day();
}

QString CStaffFigures::Title(EFigure figure) const
{
    QString title = Name(figure) + QStringLiteral("　") + UnitName();
    if (!m_snapshot.IsToday())
        title += QStringLiteral("（%1）").arg(m_snapshot.AsOfText());
    return title;
}

SFigureTable CStaffFigures::Table(EFigure figure, SFigureTable::EKind kind, const QString &category) const
{
    SFigureTable table;
    table.kind = kind;
    table.strName = Name(figure);
    table.strTitle = Title(figure);
    table.strCategory = category;
    return table;
}

int CStaffFigures::FullYears(const QDate &from, const QDate &to)
{
    int years = to.year() - from.year();
    if (to.month() < from.month() || (to.month() == from.month() && to.day() < from.day()))
        --years;
    return years;
}

int CStaffFigures::AgeBand(int age)
{
    if (age < 20)
        return 0;
    return std::min(kAgeBands - 1, 1 + (age - 20) / 5);
}

int CStaffFigures::ServiceBand(int years)
{
    static constexpr int kFrom[kServiceBands] = {0, 1, 3, 5, 10, 20, 30};
    int band = 0;
    while (band + 1 < kServiceBands && years >= kFrom[band + 1])
        ++band;
    return band;
}

QStringList CStaffFigures::AgeBands()
{
    QStringList bands{QStringLiteral("〜19")};
    for (int from = 20; from < 65; from += 5)
        bands << QStringLiteral("%1〜%2").arg(from).arg(from + 4);
    bands << QStringLiteral("65〜");
    return bands;
}

QStringList CStaffFigures::ServiceBands()
{
    return {QStringLiteral("1年未満"),  QStringLiteral("1〜2年"),   QStringLiteral("3〜4年"),  QStringLiteral("5〜9年"),
            QStringLiteral("10〜19年"), QStringLiteral("20〜29年"), QStringLiteral("30年以上")};
}

SFigureTable CStaffFigures::Units() const
{
    SFigureTable table = Table(EFigure::Units, SFigureTable::EKind::Bars, QStringLiteral("部課"));
    qint32 parent = m_nUnit;
    if (parent == 0) {
        // One company is the whole register: its departments say more than one bar.
        const QList<SUnitRow> companies = m_snapshot.Children(0);
        if (companies.size() == 1)
            parent = companies.constFirst().nID;
    }
    SFigureSeries counts{kHeadcount, {}};
    for (const SUnitRow &child : m_snapshot.Children(parent)) {
        table.categories << child.strName;
        counts.values << m_snapshot.Total(child.nID);
    }
    if (parent != 0 && m_snapshot.Own(parent) > 0) {
        table.categories << QStringLiteral("直属");
        counts.values << m_snapshot.Own(parent);
    }
    if (m_nUnit == 0 && m_snapshot.WithoutUnit() > 0) {
        table.categories << QStringLiteral("所属なし");
        counts.values << m_snapshot.WithoutUnit();
    }
    table.series << counts;
    if (table.categories.isEmpty() && m_nUnit != 0)
        table.strNote = QStringLiteral("この部課の下に部課はなく、直属の社員もいません。");
    return table;
}

SFigureTable CStaffFigures::Ages() const
{
    SFigureTable table = Table(EFigure::Ages, SFigureTable::EKind::Pyramid, QStringLiteral("年齢"));
    table.categories = AgeBands();
    SFigureSeries men{kMen, QList<int>(kAgeBands, 0)};
    SFigureSeries women{kWomen, QList<int>(kAgeBands, 0)};
    QList<int> apart{0, 0};
    const QDate day = Day();
    for (const SStaffFact &fact : m_snapshot.StaffUnder(m_nUnit)) {
        if (!Known(fact.birth, day)) {
            ++apart[fact.bFemale ? 1 : 0];
            continue;
        }
        const int band = AgeBand(FullYears(fact.birth.Date(), day));
        ++(fact.bFemale ? women : men).values[band];
    }
    table.series << men << women;
    table.strApartLabel = QStringLiteral("生年月日なし");
    table.apart = apart;
    if (const int none = apart[0] + apart[1])
        table.strNote = QStringLiteral("生年月日のない社員 %1 人（男性 %2 人、女性 %3 人）は含めていません。")
                            .arg(none)
                            .arg(apart[0])
                            .arg(apart[1]);
    return table;
}

SFigureTable CStaffFigures::Service() const
{
    SFigureTable table = Table(EFigure::Service, SFigureTable::EKind::Bars, QStringLiteral("勤続年数"));
    table.categories = ServiceBands();
    SFigureSeries counts{kHeadcount, QList<int>(kServiceBands, 0)};
    int none = 0;
    const QDate day = Day();
    for (const SStaffFact &fact : m_snapshot.StaffUnder(m_nUnit)) {
        if (!Known(fact.joined, day))
            ++none;
        else
            ++counts.values[ServiceBand(FullYears(fact.joined.Date(), day))];
    }
    table.series << counts;
    table.strApartLabel = QStringLiteral("入社年月日なし");
    table.apart = {none};
    if (none)
        table.strNote = QStringLiteral("入社年月日のない社員 %1 人は含めていません。").arg(none);
    return table;
}

SFigureTable CStaffFigures::Flow() const
{
    SFigureTable table = Table(EFigure::Flow, SFigureTable::EKind::Bars, QStringLiteral("年"));
    const QDate day = Day();
    const int first = day.year() - kFlowYears + 1;
    for (int year = first; year <= day.year(); ++year)
        table.categories << QStringLiteral("%1年").arg(year);
    SFigureSeries joined{QStringLiteral("入社"), QList<int>(kFlowYears, 0)};
    SFigureSeries left{QStringLiteral("退社"), QList<int>(kFlowYears, 0)};
    for (const SStaffFact &fact : m_snapshot.EveryoneUnder(m_nUnit)) {
        if (Known(fact.joined, day) && fact.joined.GetYear() >= first)
            ++joined.values[fact.joined.GetYear() - first];
        if (Known(fact.left, day) && fact.left.GetYear() >= first)
            ++left.values[fact.left.GetYear() - first];
    }
    table.series << joined << left;
    table.strNote = QStringLiteral("退社した社員は、台帳に残る所属で数えています。");
    return table;
}

QDate CStaffFigures::DefaultFirstMonth() const
{
    const QDate day = Day();
    return QDate(day.year(), day.month(), 1).addMonths(1 - kDefaultMonths);
}

SFigureTable CStaffFigures::MonthEnds() const
{
    return MonthEnds(DefaultFirstMonth(), Day());
}

SFigureTable CStaffFigures::MonthEnds(const QDate &firstDay, const QDate &lastDay) const
{
    SFigureTable table = Table(EFigure::MonthEnds, SFigureTable::EKind::Lines, QStringLiteral("月"));
    const QDate day = Day();
    const QDate dayMonth(day.year(), day.month(), 1);
    QDate first(firstDay.year(), firstDay.month(), 1);
    QDate last(lastDay.year(), lastDay.month(), 1);
    if (last < first)
        std::swap(first, last);
    last = std::min(last, dayMonth);
    first = std::max(first, last.addMonths(1 - kMaxMonths));

    QList<QDate> ends;
    for (QDate month = first; month <= last; month = month.addMonths(1)) {
        table.categories << MonthText(month);
        ends << std::min(month.addMonths(1).addDays(-1), day);
    }
    SFigureSeries counts{QStringLiteral("月末人員"), QList<int>(ends.size(), 0)};
    const QList<SStaffFact> everyone = m_snapshot.EveryoneUnder(m_nUnit);
    for (qsizetype i = 0; i < ends.size(); ++i) {
        int count = 0;
        for (const SStaffFact &fact : everyone)
            count += fact.InServiceOn(ends.at(i)) ? 1 : 0;
        counts.values[i] = count;
    }
    table.series << counts;
    table.strNote = QStringLiteral("入社年月日と退社年月日から数えています");
    if (!ends.isEmpty() && ends.constLast() == day && day.addDays(1).day() != 1)
        table.strNote += QStringLiteral("（%1は%2日現在）").arg(MonthText(day)).arg(day.day());
    return table;
}

SFigureTable CStaffFigures::Figure(EFigure figure) const
{
    switch (figure) {
    case EFigure::Units:
        return Units();
    case EFigure::Ages:
        return Ages();
    case EFigure::Service:
        return Service();
    case EFigure::Flow:
        return Flow();
    case EFigure::MonthEnds:
        return MonthEnds();
    }
    return {};
}

QList<SFigureTable> CStaffFigures::All() const
{
    QList<SFigureTable> tables;
    for (int i = 0; i < kCount; ++i)
        tables << Figure(EFigure(i));
    return tables;
}
