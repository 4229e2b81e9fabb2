// 人員構成: the five figures against counts made from the register's own lists and the
// dates the test wrote, today and as of a past day; the bands' edges; the files read
// back; the window's tabs, saves and printing.
#include "chart/chartdrawer.h"
#include "chart/figurefiles.h"
#include "chart/stafffigures.h"
#include "chart/staffsnapshot.h"
#include "charts/figureview.h"
#include "charts/stafffigureswnd.h"
#include "csv/csvtable.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/registerasof.h"
#include "register/units.h"
#include "sheet/workbookreader.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"
#include "text/csvcodec.h"

#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <functional>

Q_DECLARE_METATYPE(CDateValue)

namespace {
using EFigure = CStaffFigures::EFigure;
const QDate kDay(2024, 4, 1); // the past day of the edge cases

int Ymd(const QDate &d)
{
    return d.year() * 10000 + d.month() * 100 + d.day();
}

// Full years the way a form on paper counts them, apart from the code's.
int YearsBetween(const QDate &from, const QDate &to)
{
    return (Ymd(to) - Ymd(from)) / 10000;
}

int BandOf(int value, const QList<int> &starts)
{
    return int(std::count_if(starts.cbegin(), starts.cend(), [value](int start) { return value >= start; }));
}

// The dates an employee was written with.
struct SDates {
    CDateValue birth, joined, left;
};

bool InService(const SDates &dates, const QDate &day)
{
    return (!dates.joined.IsValid() || dates.joined.Date() <= day) && (!dates.left.IsValid() || dates.left.Date() > day);
}

// Without any space, the ideographic one too: as pdftotext puts them is its own affair.
QString Flat(const QString &text)
{
    QString flat;
    for (const QChar c : text) {
        if (!c.isSpace())
            flat += c;
    }
    return flat;
}

QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Pixels that are neither white nor the window's background: something was drawn.
int Inked(const QImage &image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            if (qGray(image.pixel(x, y)) < 160)
                ++inked;
        }
    }
    return inked;
}

void Keep(const QImage &image, const QString &name)
{
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
        image.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

QList<int> Values(const SFigureTable &table, int series = 0)
{
    return table.series.value(series).values;
}
} // namespace

class TestStaffFigures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void fullYears_data();
    void fullYears();
    void ageBands_data();
    void ageBands();
    void serviceBands_data();
    void serviceBands();
    void figuresMatchRegister_data();
    void figuresMatchRegister();
    void aroundTheDay();
    void unitsOfOneCompany();
    void unitWithoutChildren_data();
    void unitWithoutChildren();
    void emptyRegister();
    void monthSpan_data();
    void monthSpan();
    void ticksAreRound_data();
    void ticksAreRound();

    void pngOfTheAskedSize_data();
    void pngOfTheAskedSize();
    void pdfHoldsTitleAndCompany();
    void csvReadsBack();
    void workbookReadsBack();
    void writeAllWritesEveryFile();
    void writeAllRefusesFolder();

    void windowDrawsEveryTab();
    void windowSaves_data();
    void windowSaves();
    void windowSaveFailureIsTold();
    void windowPrintsAFigureAPage();
    void windowFollowsTheRegister();
    void windowClosesWithEscape();

private:
    qint32 Add(CRegisterBuilder::SEmployeeRow row);
    void AddCrowd();
    // Everyone in the unit and under it (0: everyone), by the register's own lists.
    static QList<SEmployeeRow> Members(qint32 unitId, const CRegisterAsOf *asOf);

    std::unique_ptr<CTempDatabase> m_db;
    QHash<QString, qint32> m_units;
    QHash<qint32, SDates> m_built;
    int m_nextCode = 1;
};

void TestStaffFigures::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_built.clear();
    m_units.clear();
    m_nextCode = 1;
    const qint32 head = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    const qint32 sales = CRegisterBuilder::AddUnit({head, 10, QStringLiteral("営業部")});
    m_units = {{QStringLiteral("全体"), 0},
               {QStringLiteral("本社"), head},
               {QStringLiteral("営業部"), sales},
               {QStringLiteral("営業一課"), CRegisterBuilder::AddUnit({sales, 10, QStringLiteral("営業一課")})},
               {QStringLiteral("営業二課"), CRegisterBuilder::AddUnit({sales, 10, QStringLiteral("営業二課")})},
               {QStringLiteral("総務部"), CRegisterBuilder::AddUnit({head, 10, QStringLiteral("総務部")})}};
    const qint32 sub = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("子会社")});
    m_units.insert(QStringLiteral("子会社"), sub);
    m_units.insert(QStringLiteral("開発部"), CRegisterBuilder::AddUnit({sub, 20, QStringLiteral("開発部")}));
}

qint32 TestStaffFigures::Add(CRegisterBuilder::SEmployeeRow row)
{
    row.code = m_nextCode++;
    row.name = CRegisterBuilder::NumberedName(row.code);
    const qint32 id = CRegisterBuilder::AddEmployee(row);
    m_built.insert(id, {row.birth, row.joined, row.left});
    return id;
}

// Ninety employees spread over every unit and none, with dates of every kind.
void TestStaffFigures::AddCrowd()
{
    const QDate today = QDate::currentDate();
    const QList<qint32> units{m_units[QStringLiteral("本社")],
                              m_units[QStringLiteral("営業部")],
                              m_units[QStringLiteral("営業一課")],
                              m_units[QStringLiteral("総務部")],
                              m_units[QStringLiteral("子会社")],
                              m_units[QStringLiteral("開発部")],
                              0};
    quint32 seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % quint32(range));
    };
    for (int i = 0; i < 90; ++i) {
        CRegisterBuilder::SEmployeeRow row;
        row.busyo = units.at(i % units.size());
        row.female = next(2) == 1;
        if (i % 11 != 3)
            row.birth = CDateValue(today.addDays(-(18 * 365 + next(52 * 365))));
        const QDate joined = today.addDays(-next(40 * 365));
        if (i % 17 != 5)
            row.joined = CDateValue(i % 13 == 2 ? today.addDays(20) : joined);
        if (i % 4 == 1)
            row.left = CDateValue(joined.addDays(next(std::max(1, int(joined.daysTo(today)) + 40))));
        Add(row);
    }
}

QList<SEmployeeRow> TestStaffFigures::Members(qint32 unitId, const CRegisterAsOf *asOf)
{
    const auto children = [asOf](qint32 parent) { return asOf ? asOf->Children(parent) : CUnits::Children(parent); };
    const auto of = [asOf](qint32 unit) { return asOf ? asOf->OfUnit(unit) : CEmployees::OfUnit(unit); };
    QList<SEmployeeRow> rows;
    const std::function<void(qint32)> walk = [&](qint32 unit) {
        if (unit != 0 || unitId == 0)
            rows += of(unit);
        for (const SUnitRow &child : children(unit))
            walk(child.nID);
    };
    walk(unitId);
    return rows;
}

void TestStaffFigures::fullYears_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<int>("years");
    QTest::newRow("birthday on the day") << QDate(2000, 4, 1) << QDate(2020, 4, 1) << 20;
    QTest::newRow("day before the birthday") << QDate(2000, 4, 2) << QDate(2020, 4, 1) << 19;
    QTest::newRow("same day") << QDate(2020, 4, 1) << QDate(2020, 4, 1) << 0;
    QTest::newRow("29 February, on 28 February") << QDate(2004, 2, 29) << QDate(2023, 2, 28) << 18;
    QTest::newRow("29 February, on 1 March") << QDate(2004, 2, 29) << QDate(2023, 3, 1) << 19;
    QTest::newRow("29 February, in a leap year") << QDate(2004, 2, 29) << QDate(2024, 2, 29) << 20;
    QTest::newRow("31 December, on 1 January") << QDate(1999, 12, 31) << QDate(2020, 1, 1) << 20;
}

void TestStaffFigures::fullYears()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(int, years);
    QCOMPARE(CStaffFigures::FullYears(from, to), years);
    QCOMPARE(YearsBetween(from, to), years);
}

void TestStaffFigures::ageBands_data()
{
    QTest::addColumn<CDateValue>("birth");
    QTest::addColumn<bool>("female");
    QTest::addColumn<int>("band"); // -1: counted apart
    QTest::newRow("20 on the day") << CDateValue(2004, 4, 1) << false << 1;
    QTest::newRow("20 the next day") << CDateValue(2004, 4, 2) << false << 0;
    QTest::newRow("24") << CDateValue(1999, 4, 2) << true << 1;
    QTest::newRow("25 on the day") << CDateValue(1999, 4, 1) << true << 2;
    QTest::newRow("64") << CDateValue(1959, 4, 2) << false << 9;
    QTest::newRow("65 on the day") << CDateValue(1959, 4, 1) << false << 10;
    QTest::newRow("90") << CDateValue(1934, 1, 1) << true << 10;
    QTest::newRow("born on the day") << CDateValue(2024, 4, 1) << false << 0;
    QTest::newRow("born after the day") << CDateValue(2024, 4, 2) << false << -1;
    QTest::newRow("no birth date") << CDateValue() << true << -1;
}

// One employee beside a man of 40 in another unit, as of a past day.
void TestStaffFigures::ageBands()
{
    QFETCH(CDateValue, birth);
    QFETCH(bool, female);
    QFETCH(int, band);
    const qint32 unit = m_units[QStringLiteral("営業一課")];
    Add({0, unit, {}, female, {}, birth, CDateValue(2010, 4, 1)});
    Add({0, m_units[QStringLiteral("総務部")], {}, false, {}, CDateValue(1984, 1, 1), CDateValue(2010, 4, 1)});
    const CRegisterAsOf asOf(kDay);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(&asOf);
    const SFigureTable ages = CStaffFigures(snapshot, unit).Ages();
    QCOMPARE(ages.categories, CStaffFigures::AgeBands());
    QCOMPARE(ages.categories.size(), 11);
    QList<int> men(11, 0), women(11, 0);
    if (band >= 0)
        ++(female ? women : men)[band];
    QCOMPARE(Values(ages, 0), men);
    QCOMPARE(Values(ages, 1), women);
    QCOMPARE(ages.apart, (QList<int>{band < 0 && !female ? 1 : 0, band < 0 && female ? 1 : 0}));
    QCOMPARE(ages.strNote.isEmpty(), band >= 0);
    QVERIFY(ages.strTitle.contains(QStringLiteral("基準日 令和6年4月1日 現在")));
    QVERIFY(ages.strTitle.contains(QStringLiteral("本社/営業部/営業一課")));
    // The whole register holds the man of 40 too.
    const SFigureTable all = CStaffFigures(snapshot, 0).Ages();
    QCOMPARE(Values(all, 0).value(5), men.value(5) + 1);
}

void TestStaffFigures::serviceBands_data()
{
    QTest::addColumn<CDateValue>("joined");
    QTest::addColumn<int>("band"); // -1: counted apart, -2: not in service
    QTest::newRow("joined on the day") << CDateValue(2024, 4, 1) << 0;
    QTest::newRow("a year less a day") << CDateValue(2023, 4, 2) << 0;
    QTest::newRow("a year on the day") << CDateValue(2023, 4, 1) << 1;
    QTest::newRow("2 years") << CDateValue(2021, 4, 2) << 1;
    QTest::newRow("3 years") << CDateValue(2021, 4, 1) << 2;
    QTest::newRow("5 years") << CDateValue(2019, 4, 1) << 3;
    QTest::newRow("9 years") << CDateValue(2014, 4, 2) << 3;
    QTest::newRow("10 years") << CDateValue(2014, 4, 1) << 4;
    QTest::newRow("20 years") << CDateValue(2004, 4, 1) << 5;
    QTest::newRow("29 years") << CDateValue(1994, 4, 2) << 5;
    QTest::newRow("30 years") << CDateValue(1994, 4, 1) << 6;
    QTest::newRow("no joining date") << CDateValue() << -1;
    QTest::newRow("joins after the day") << CDateValue(2024, 4, 2) << -2;
}

void TestStaffFigures::serviceBands()
{
    QFETCH(CDateValue, joined);
    QFETCH(int, band);
    const qint32 unit = m_units[QStringLiteral("開発部")];
    Add({0, unit, {}, true, {}, CDateValue(1980, 1, 1), joined});
    const CRegisterAsOf asOf(kDay);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(&asOf);
    const CStaffFigures figures(snapshot, m_units[QStringLiteral("子会社")]);
    const SFigureTable service = figures.Service();
    QCOMPARE(service.categories, CStaffFigures::ServiceBands());
    QList<int> counts(7, 0);
    if (band >= 0)
        ++counts[band];
    QCOMPARE(Values(service), counts);
    QCOMPARE(service.apart, QList<int>{band == -1 ? 1 : 0});
    // Not yet in service: in no figure of the day.
    QCOMPARE(Values(figures.Units()), QList<int>{band == -2 ? 0 : 1});
    QCOMPARE(figures.Ages().Total(), band == -2 ? 0 : 1);
}

void TestStaffFigures::figuresMatchRegister_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("past");
    for (const char *unit : {"全体", "本社", "営業部", "営業一課", "総務部", "子会社"}) {
        QTest::newRow(QByteArray(unit) + ", today") << QString::fromUtf8(unit) << false;
        QTest::newRow(QByteArray(unit) + ", past") << QString::fromUtf8(unit) << true;
    }
}

// Moves before and after the past day, one employee deleted and one added since.
void TestStaffFigures::figuresMatchRegister()
{
    QFETCH(QString, unit);
    QFETCH(bool, past);
    AddCrowd();
    const QDate today = QDate::currentDate();
    const QDate pastDay = today.addDays(-200);
    QList<qint32> movedLate, movedEarly;
    for (const SEmployeeRow &row : CEmployees::OfUnit(m_units[QStringLiteral("営業一課")]))
        movedLate << row.nID;
    for (const SEmployeeRow &row : CEmployees::OfUnit(m_units[QStringLiteral("総務部")]))
        movedEarly << row.nID;
    QCOMPARE(CEmployees::Move(movedLate.mid(0, 6), m_units[QStringLiteral("開発部")], nullptr, pastDay.addDays(30)),
             CEmployees::EMove::moved);
    QCOMPARE(CEmployees::Move(movedEarly.mid(0, 5), m_units[QStringLiteral("営業二課")], nullptr, pastDay.addDays(-30)),
             CEmployees::EMove::moved);
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(movedLate.constLast()));
    QVERIFY(editor.Delete());
    const SDates newcomer{CDateValue(2000, 1, 1), CDateValue(today), CDateValue()};
    const qint32 added = editor.Add(
        [&newcomer](CMast01 &record) {
            record.m_Name = QStringLiteral("新人");
            record.m_Sex = true;
            record.m_Sdate = newcomer.birth;
            record.m_Indat = newcomer.joined;
            record.m_Outdat = newcomer.left;
        },
        {});
    m_built.insert(added, newcomer);

    const std::unique_ptr<CRegisterAsOf> asOf = past ? std::make_unique<CRegisterAsOf>(pastDay) : nullptr;
    const QDate day = past ? pastDay : today;
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(asOf.get());
    QCOMPARE(snapshot.Day(), day);
    const qint32 unitId = m_units.value(unit);
    const CStaffFigures figures(snapshot, unitId);
    const QList<SEmployeeRow> members = Members(unitId, asOf.get());
    QVERIFY(members.size() > 5);

    // 部課別人員: each child's in-service employees, by the register's own lists.
    const SFigureTable units = figures.Units();
    qint32 parent = unitId;
    QStringList names;
    QList<int> counts;
    const auto inService = [&](const QList<SEmployeeRow> &rows) {
        return int(std::count_if(rows.cbegin(), rows.cend(),
                                 [&](const SEmployeeRow &row) { return InService(m_built.value(row.nID), day); }));
    };
    for (const SUnitRow &child : asOf ? asOf->Children(parent) : CUnits::Children(parent)) {
        names << child.strName;
        counts << inService(Members(child.nID, asOf.get()));
    }
    if (parent != 0) {
        if (const int direct = inService(asOf ? asOf->OfUnit(parent) : CEmployees::OfUnit(parent))) {
            names << QStringLiteral("直属");
            counts << direct;
        }
    } else if (const int none = inService(asOf ? asOf->WithoutUnit() : CEmployees::WithoutUnit())) {
        names << QStringLiteral("所属なし");
        counts << none;
    }
    QCOMPARE(units.categories, names);
    QCOMPARE(Values(units), counts);

    // The bands and the years, from the dates written here.
    QList<int> men(11, 0), women(11, 0), service(7, 0), joiners(10, 0), leavers(10, 0);
    int noBirth = 0, noJoin = 0, staff = 0;
    for (const SEmployeeRow &member : members) {
        const SDates dates = m_built.value(member.nID);
        const QDate birth = dates.birth.Date(), left = dates.left.Date();
        const int index = dates.joined.IsValid() ? dates.joined.GetYear() - (day.year() - 9) : -1;
        if (index >= 0 && dates.joined.Date() <= day)
            ++joiners[index];
        if (left.isValid() && left <= day && left.year() > day.year() - 10)
            ++leavers[left.year() - (day.year() - 9)];
        if (!InService(dates, day))
            continue;
        ++staff;
        if (birth.isValid())
            ++(member.bFemale ? women : men)[BandOf(YearsBetween(birth, day), {20, 25, 30, 35, 40, 45, 50, 55, 60, 65})];
        else
            ++noBirth;
        if (dates.joined.IsValid())
            ++service[BandOf(YearsBetween(dates.joined.Date(), day), {1, 3, 5, 10, 20, 30})];
        else
            ++noJoin;
    }
    const SFigureTable ages = figures.Ages();
    QCOMPARE(Values(ages, 0), men);
    QCOMPARE(Values(ages, 1), women);
    QCOMPARE(ages.apart.value(0) + ages.apart.value(1), noBirth);
    QCOMPARE(Values(figures.Service()), service);
    QCOMPARE(figures.Service().apart, QList<int>{noJoin});
    const SFigureTable flow = figures.Flow();
    QCOMPARE(flow.categories.constLast(), QStringLiteral("%1年").arg(day.year()));
    QCOMPARE(Values(flow, 0), joiners);
    QCOMPARE(Values(flow, 1), leavers);

    // 月末人員: the last month is counted on the day, and agrees with the headcount.
    const SFigureTable months = figures.MonthEnds();
    QCOMPARE(months.categories.size(), 24);
    QCOMPARE(Values(months).constLast(), staff);
    const QDate first = QDate(day.year(), day.month(), 1).addMonths(-23);
    for (int i = 0; i < 24; ++i) {
        const QDate end = std::min(first.addMonths(i + 1).addDays(-1), day);
        const int count = int(std::count_if(members.cbegin(), members.cend(), [&](const SEmployeeRow &member) {
            return InService(m_built.value(member.nID), end);
        }));
        QCOMPARE(Values(months).at(i), count);
    }
    QCOMPARE(months.strTitle.contains(QStringLiteral("現在")), past);
}

// A leaver on the day is gone that day; one leaving the next day is not; a joiner the next day not yet.
void TestStaffFigures::aroundTheDay()
{
    const qint32 unit = m_units[QStringLiteral("総務部")];
    Add({0, unit, {}, false, {}, CDateValue(1980, 5, 5), CDateValue(2020, 4, 1), CDateValue(2024, 4, 1)});
    Add({0, unit, {}, true, {}, CDateValue(1990, 5, 5), CDateValue(2021, 4, 1), CDateValue(2024, 4, 2)});
    Add({0, unit, {}, true, {}, CDateValue(2001, 5, 5), CDateValue(2024, 4, 2)});
    Add({0, unit, {}, false, {}, CDateValue(1970, 5, 5), CDateValue(2024, 3, 31)});
    const CRegisterAsOf asOf(kDay);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(&asOf);
    const CStaffFigures figures(snapshot, unit);
    QCOMPARE(figures.Units().categories, QStringList{QStringLiteral("直属")});
    QCOMPARE(Values(figures.Units()), QList<int>{2});
    const SFigureTable flow = figures.Flow();
    QCOMPARE(flow.categories.constFirst(), QStringLiteral("2015年"));
    QCOMPARE(Values(flow, 0), (QList<int>{0, 0, 0, 0, 0, 1, 1, 0, 0, 1}));
    QCOMPARE(Values(flow, 1), (QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    const SFigureTable months = figures.MonthEnds(QDate(2024, 2, 1), QDate(2024, 4, 1));
    QCOMPARE(months.categories, (QStringList{"2024年2月", "2024年3月", "2024年4月"}));
    QCOMPARE(Values(months), (QList<int>{2, 3, 2}));
    QVERIFY(months.strNote.startsWith(QStringLiteral("入社年月日と退社年月日から数えています")));
}

void TestStaffFigures::unitsOfOneCompany()
{
    QVERIFY(CUnits::Delete(m_units[QStringLiteral("子会社")]));
    Add({0, m_units[QStringLiteral("本社")]});
    Add({0, m_units[QStringLiteral("営業二課")]});
    Add({0, m_units[QStringLiteral("総務部")]});
    Add({0, m_units[QStringLiteral("総務部")]});
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const SFigureTable units = CStaffFigures(snapshot, 0).Units();
    QCOMPARE(units.categories, (QStringList{"営業部", "総務部", "直属"}));
    QCOMPARE(Values(units), (QList<int>{1, 2, 1}));
    QVERIFY(!units.strTitle.contains(QStringLiteral("現在")));
}

void TestStaffFigures::unitWithoutChildren_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("own");
    QTest::newRow("none of its own") << QStringLiteral("営業二課") << 0;
    QTest::newRow("three of its own") << QStringLiteral("営業一課") << 3;
}

void TestStaffFigures::unitWithoutChildren()
{
    QFETCH(QString, unit);
    QFETCH(int, own);
    for (int i = 0; i < own; ++i)
        Add({0, m_units.value(unit)});
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const SFigureTable units = CStaffFigures(snapshot, m_units.value(unit)).Units();
    QCOMPARE(units.categories, own ? QStringList{QStringLiteral("直属")} : QStringList{});
    QCOMPARE(units.strNote.isEmpty(), own > 0);
    QImage image(800, 500, QImage::Format_RGB32);
    QPainter painter(&image);
    CChartDrawer(painter, QRectF(image.rect())).Draw(units);
    QVERIFY(Inked(image) > 100);
}

void TestStaffFigures::emptyRegister()
{
    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const QList<SFigureTable> tables = CStaffFigures(snapshot, 0).All();
    QCOMPARE(tables.size(), CStaffFigures::kCount);
    for (const SFigureTable &table : tables) {
        QVERIFY2(table.IsEmpty(), qPrintable(table.strName));
        QImage image(800, 500, QImage::Format_RGB32);
        QPainter painter(&image);
        CChartDrawer(painter, QRectF(image.rect())).Draw(table);
    }
    QVERIFY(tables.at(0).categories.isEmpty());
    QTemporaryDir dir;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(CFigureFiles::WriteAll(dir.path(), snapshot, 0, outStream, errStream), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 15);
}

void TestStaffFigures::monthSpan_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QStringList>("months");
    QTest::newRow("a year") << QDate(2023, 4, 15) << QDate(2024, 3, 2) << QStringList{"2023年4月", "2024年3月"};
    QTest::newRow("turned round") << QDate(2024, 3, 1) << QDate(2024, 1, 31) << QStringList{"2024年1月", "2024年3月"};
    QTest::newRow("past the day") << QDate(2024, 3, 1) << QDate(2025, 1, 1) << QStringList{"2024年3月", "2024年4月"};
    QTest::newRow("one month") << QDate(2024, 2, 29) << QDate(2024, 2, 1) << QStringList{"2024年2月", "2024年2月"};
}

void TestStaffFigures::monthSpan()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QStringList, months);
    const CStaffSnapshot snapshot({}, {}, kDay);
    const SFigureTable table = CStaffFigures(snapshot, 0).MonthEnds(first, last);
    QCOMPARE(table.categories.constFirst(), months.at(0));
    QCOMPARE(table.categories.constLast(), months.at(1));
    QCOMPARE(table.series.constFirst().values.size(), table.categories.size());
}

void TestStaffFigures::ticksAreRound_data()
{
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("step");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("3") << 3 << 1;
    QTest::newRow("7") << 7 << 2;
    QTest::newRow("10") << 10 << 2;
    QTest::newRow("11") << 11 << 5;
    QTest::newRow("48") << 48 << 10;
    QTest::newRow("100000") << 100000 << 20000;
}

void TestStaffFigures::ticksAreRound()
{
    QFETCH(int, max);
    QFETCH(int, step);
    QCOMPARE(CChartDrawer::TickStep(max, 5), step);
}

void TestStaffFigures::pngOfTheAskedSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("window") << QSize(800, 500);
    QTest::newRow("large") << QSize(1600, 1000);
    QTest::newRow("small and tall") << QSize(300, 400);
}

void TestStaffFigures::pngOfTheAskedSize()
{
    QFETCH(QSize, size);
    AddCrowd();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const CStaffFigures figures(snapshot, 0);
    QTemporaryDir dir;
    for (const SFigureTable &table : figures.All()) {
        const QString path = dir.filePath(table.strName + QStringLiteral(".png"));
        QString error;
        QVERIFY2(CFigureFiles::WritePng(path, table, size, error), qPrintable(error));
        const QImage image(path);
        QCOMPARE(image.size(), size);
        QVERIFY(Inked(image) > 200);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), CStaffFigures::kCount);
}

void TestStaffFigures::pdfHoldsTitleAndCompany()
{
    AddCrowd();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const qint32 unit = m_units[QStringLiteral("営業部")];
    const QList<SFigureTable> tables = CStaffFigures(snapshot, unit).All();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("図.pdf"));
    QString error;
    QVERIFY2(CFigureFiles::WritePdf(path, tables, CFigureFiles::Company(snapshot, unit), error), qPrintable(error));
    QVERIFY(ReadFile(path).startsWith("%PDF"));
    const QStringList pages = PdfText(path).split(QLatin1Char('\f'));
    QCOMPARE(pages.size() - 1, tables.size());
    for (int i = 0; i < tables.size(); ++i) {
        // Each part of the title: pdftotext may put them in any order.
        for (const QString &part : tables.at(i).strTitle.split(QChar(0x3000)))
            QVERIFY2(Flat(pages.at(i)).contains(Flat(part)), qPrintable(pages.at(i)));
        QVERIFY(Flat(pages.at(i)).contains(QStringLiteral("本社")));
        QVERIFY(Flat(pages.at(i)).contains(QStringLiteral("作成日")));
    }
}

void TestStaffFigures::csvReadsBack()
{
    AddCrowd();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    QTemporaryDir dir;
    for (const SFigureTable &table : CStaffFigures(snapshot, 0).All()) {
        const QString path = dir.filePath(table.strName + QStringLiteral(".csv"));
        QString error;
        QVERIFY2(CFigureFiles::WriteCsv(path, table, error), qPrintable(error));
        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QByteArray utf8;
        ECsvEncoding found{};
        QVERIFY(CCsvCodec::DecodeToUtf8(bytes, utf8, found, error));
        QList<SCsvRecord> records;
        QVERIFY2(CCsvTable::Parse(utf8, records, error), qPrintable(error));
        QCOMPARE(records.size(), table.categories.size() + 1 + (table.strApartLabel.isEmpty() ? 0 : 1));
        QCOMPARE(records.at(0).fields.value(1), table.series.at(0).strName);
        for (int i = 0; i < table.categories.size(); ++i) {
            QCOMPARE(records.at(i + 1).fields.value(0), table.categories.at(i));
            for (int s = 0; s < table.series.size(); ++s)
                QCOMPARE(records.at(i + 1).fields.value(s + 1).toInt(), table.series.at(s).values.at(i));
        }
        if (!table.strApartLabel.isEmpty())
            QCOMPARE(records.constLast().fields.value(1).toInt(), table.apart.value(0));
    }
}

void TestStaffFigures::workbookReadsBack()
{
    AddCrowd();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const SFigureTable table = CStaffFigures(snapshot, 0).Ages();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("年齢構成.xlsx"));
    QString error;
    QVERIFY2(CFigureFiles::WriteXlsx(path, table, error), qPrintable(error));
    CWorkbookReader reader;
    QVERIFY2(reader.Open(path, error), qPrintable(error));
    QCOMPARE(reader.SheetNames(), QStringList{table.strName});
    QList<SSheetRow> rows;
    QVERIFY2(reader.ReadSheet(0, 10, 100, rows, error), qPrintable(error));
    QList<QStringList> cells;
    for (const SSheetRow &row : rows)
        cells << row.cells;
    QCOMPARE(cells, CFigureFiles::Rows(table));
}

void TestStaffFigures::writeAllWritesEveryFile()
{
    AddCrowd();
    const CRegisterAsOf asOf(QDate::currentDate().addDays(-30));
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(&asOf);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("図/新しいフォルダ"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(CFigureFiles::WriteAll(folder, snapshot, m_units[QStringLiteral("本社")], outStream, errStream), 0);
    QCOMPARE(err, QString());
    QStringList expected;
    for (int i = 0; i < CStaffFigures::kCount; ++i) {
        for (const char *suffix : {".png", ".pdf", ".csv"})
            expected << CStaffFigures::Name(EFigure(i)) + QLatin1String(suffix);
    }
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    expected.sort();
    QCOMPARE(files, expected);
    QCOMPARE(out.count(QLatin1Char('\n')), 15);
    QVERIFY(out.contains(QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("年齢構成.png")))));
    QCOMPARE(QImage(QDir(folder).filePath(QStringLiteral("年齢構成.png"))).size(), CFigureFiles::kPngSize);
    if (const QString shots = qEnvironmentVariable("MORVEK_SHOT_DIR"); !shots.isEmpty())
        CFigureFiles::WriteAll(QDir(shots).filePath(QStringLiteral("files")), snapshot, 0, outStream, errStream);
}

void TestStaffFigures::writeAllRefusesFolder()
{
    QTemporaryDir dir;
    const QString file = WriteFile(dir.filePath(QStringLiteral("ふつうのファイル")), "x");
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(CFigureFiles::WriteAll(file + QStringLiteral("/図"), snapshot, 0, outStream, errStream), 1);
    QVERIFY2(err.contains(QStringLiteral("フォルダ")), qPrintable(err));
    QCOMPARE(out, QString());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

void TestStaffFigures::windowDrawsEveryTab()
{
    AddCrowd();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const qint32 unit = m_units[QStringLiteral("本社")];
    auto *window = new CStaffFiguresWnd(snapshot, unit, nullptr);
    const QPointer<CStaffFiguresWnd> alive(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), QStringLiteral("人員構成"));
    QCOMPARE(window->Tabs()->count(), CStaffFigures::kCount);
    const QList<SFigureTable> tables = CStaffFigures(snapshot, unit).All();
    for (int i = 0; i < CStaffFigures::kCount; ++i) {
        window->Tabs()->setCurrentIndex(i);
        QCOMPARE(window->Tabs()->tabText(i), tables.at(i).strName);
        QCOMPARE(window->View(i)->Table().categories, tables.at(i).categories);
        QCOMPARE(Values(window->View(i)->Table()), Values(tables.at(i)));
        QCOMPARE(window->View(i)->accessibleName(), tables.at(i).strName);
        const QImage image = window->Tabs()->currentWidget()->grab().toImage();
        Keep(image, tables.at(i).strName);
        QVERIFY2(Inked(image) > 300, qPrintable(tables.at(i).strName));
    }
    // A shorter span redraws 月末人員.
    window->FirstMonth()->setDate(QDate::currentDate().addMonths(-5));
    QCOMPARE(window->View(int(EFigure::MonthEnds))->Table().categories.size(), 6);
    // Everything the keyboard reaches has a name a screen reader can say.
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(window) || widget->focusProxy())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), widget->metaObject()->className());
    }
    window->close();
    QTRY_VERIFY(alive.isNull());
}

void TestStaffFigures::windowSaves_data()
{
    QTest::addColumn<int>("key"); // with Alt, the button's own letter
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("PNG") << int(Qt::Key_G) << QStringLiteral("勤続年数.png") << QByteArray("\x89PNG");
    QTest::newRow("PDF") << int(Qt::Key_D) << QStringLiteral("勤続年数.pdf") << QByteArray("%PDF");
    QTest::newRow("CSV") << int(Qt::Key_C) << QStringLiteral("勤続年数.csv") << QByteArray("\xEF\xBB\xBF勤続年数");
    QTest::newRow("Excel") << int(Qt::Key_E) << QStringLiteral("勤続年数.xlsx") << QByteArray("PK");
    QTest::newRow("cancelled") << int(Qt::Key_G) << QString() << QByteArray();
}

void TestStaffFigures::windowSaves()
{
    QFETCH(int, key);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    AddCrowd();
    QTemporaryDir dir;
    CStaffFiguresWnd window(CStaffSnapshot::Read(nullptr), 0, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.Tabs()->setCurrentIndex(int(EFigure::Service));
    QString suggested;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto *files = qobject_cast<QFileDialog *>(&dialog);
        if (!files)
            return int(QDialog::Rejected);
        suggested = files->selectedFiles().value(0);
        if (file.isEmpty())
            return int(QDialog::Rejected);
        files->selectFile(QDir(dir.path()).filePath(file));
        return int(QDialog::Accepted);
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
    // A button's letter clicks it a moment later, as the mouse would.
    QTRY_COMPARE(answers.Texts().size(), 1);
    QCOMPARE(QFileInfo(suggested).completeBaseName(), QStringLiteral("勤続年数"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), file.isEmpty() ? QStringList{} : QStringList{file});
    if (!file.isEmpty()) {
        QVERIFY(ReadFile(dir.filePath(file)).startsWith(start));
        QVERIFY(window.Status().contains(file));
    }
}

void TestStaffFigures::windowSaveFailureIsTold()
{
    CStaffFiguresWnd window(CStaffSnapshot::Read(nullptr), 0, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QTemporaryDir dir;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->selectFile(dir.filePath(QStringLiteral("ない/図.csv")));
            return int(QDialog::Accepted);
        }
        return int(QMessageBox::Ok);
    });
    window.SaveCsv();
    QCOMPARE(answers.Texts().size(), 2);
    QVERIFY2(answers.Texts().at(1).contains(QStringLiteral("保存していません。")), qPrintable(answers.Texts().at(1)));
    QCOMPARE(window.Status(), QString());
}

void TestStaffFigures::windowPrintsAFigureAPage()
{
    AddCrowd();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("印刷.pdf"));
    CStaffFiguresWnd window(CStaffSnapshot::Read(nullptr), m_units[QStringLiteral("子会社")], nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    int maxPage = 0;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &print = static_cast<QPrintDialog &>(dialog);
        maxPage = print.maxPage();
        print.printer()->setOutputFormat(QPrinter::PdfFormat);
        print.printer()->setOutputFileName(path);
        return int(QDialog::Accepted);
    });
    window.Print();
    QCOMPARE(maxPage, CStaffFigures::kCount);
    const QStringList pages = PdfText(path).split(QLatin1Char('\f'));
    QCOMPARE(pages.size() - 1, CStaffFigures::kCount);
    for (int i = 0; i < CStaffFigures::kCount; ++i) {
        QVERIFY(Flat(pages.at(i)).contains(CStaffFigures::Name(EFigure(i)) + QStringLiteral("子会社")));
        QVERIFY(Flat(pages.at(i)).contains(QStringLiteral("作成日")));
    }
}

// Writes while the window is open, here or by another program, are counted again.
void TestStaffFigures::windowFollowsTheRegister()
{
    const qint32 sales = m_units[QStringLiteral("営業部")];
    const qint32 first = Add({0, m_units[QStringLiteral("営業一課")]});
    Add({0, m_units[QStringLiteral("営業二課")]});
    CStaffFiguresWnd window(CStaffSnapshot::Read(nullptr), sales, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    const auto units = [&window] { return window.View(int(EFigure::Units))->Table().Total(); };
    QCOMPARE(units(), 2);
    CEmployees::Release({first});
    QTRY_COMPARE(units(), 1);
    // The unit shown is deleted: the figures stay, and say why.
    QVERIFY(CUnits::Delete(sales));
    QTRY_VERIFY(window.Status().contains(QStringLiteral("削除されました")));
    QCOMPARE(units(), 1);
}

void TestStaffFigures::windowClosesWithEscape()
{
    auto *window = new CStaffFiguresWnd(CStaffSnapshot::Read(nullptr), 0, nullptr);
    const QPointer<CStaffFiguresWnd> alive(window);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
    QTRY_VERIFY(alive.isNull());
}

QTEST_MAIN(TestStaffFigures)
#include "tst_stafffigures.moc"
