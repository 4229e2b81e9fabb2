#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CStaffSnapshot;

// One named row of numbers of a figure, a value per category.
struct SFigureSeries {
    QString strName;
    QList<int> values;
};

// One figure as numbers: what the chart draws and the files hold.
struct SFigureTable {
    enum class EKind { Bars, Pyramid, Lines };

    EKind kind = EKind::Bars;
    QString strName;     // "年齢構成": the tab, the file and the sheet
    QString strTitle;    // the name, the unit and the day when it is not today
    QString strCategory; // what the categories are ("年齢", "年"), the first column of the files
    QStringList categories;
    QList<SFigureSeries> series;
    // Those the categories leave out ("生年月日なし"), one value per series; empty label: none.
    QString strApartLabel;
    QList<int> apart;
    QString strNote; // one line under the chart

    int Max() const;
    int Total() const;
    bool IsEmpty() const { return Total() == 0; }
};

// The five staff figures of a unit and everything under it (0: the whole register),
// counted from a snapshot as of its day.
class CStaffFigures final
{
public:
    enum class EFigure { Units, Ages, Service, Flow, MonthEnds };
    static constexpr int kCount = 5;
    static constexpr int kFlowYears = 10;
    static constexpr int kDefaultMonths = 24;

    CStaffFigures(const CStaffSnapshot &snapshot, qint32 unitId);

    // 部課別人員: the unit's children with all under them, and its own employees.
    SFigureTable Units() const;
    // 年齢構成: five-year bands by sex, the youngest first.
    SFigureTable Ages() const;
    // 勤続年数: full years since joining.
    SFigureTable Service() const;
    // 入社・退社: per calendar year, the last kFlowYears up to the day.
    SFigureTable Flow() const;
    // 月末人員: each month's end from the month of first to that of last, the day's
    // month counted on the day; months after the day are left out.
    SFigureTable MonthEnds(const QDate &first, const QDate &last) const;
    SFigureTable MonthEnds() const;
    SFigureTable Figure(EFigure figure) const;
    QList<SFigureTable> All() const;

    static QString Name(EFigure figure);
    QString UnitName() const;
    QDate Day() const;
    // The default span of 月末人員: its first and last month.
    QDate DefaultFirstMonth() const;

    // Full years from one day to another; a birthday of 29 February falls on 1 March.
    static int FullYears(const QDate &from, const QDate &to);
    // The band of an age: 0 for 〜19, 1 for 20〜24, ... 10 for 65〜.
    static int AgeBand(int age);
    // The band of full years of service: 0 for 1年未満 ... 6 for 30年以上.
    static int ServiceBand(int years);
    static QStringList AgeBands();
    static QStringList ServiceBands();

private:
    QString Title(EFigure figure) const;
    SFigureTable Table(EFigure figure, SFigureTable::EKind kind, const QString &category) const;

    const CStaffSnapshot &m_snapshot;
    qint32 m_nUnit = 0;
};
