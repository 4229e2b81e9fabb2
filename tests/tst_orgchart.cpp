// The organisation chart: its layout on generated trees, its headcounts against
// the register counted another way (today and on a past day), its pages, its files
// read back, its command line, and the window driven by keys.
#include "chart/chartcommandline.h"
#include "chart/orgchart.h"
#include "chart/orgchartfiles.h"
#include "chart/orgchartpages.h"
#include "chart/orgtreelayout.h"
#include "chart/staffsnapshot.h"
#include "charts/orgchartcanvas.h"
#include "charts/orgchartwnd.h"
#include "register/employees.h"
#include "register/register.h"
#include "register/registerasof.h"
#include "register/unitfields.h"
#include "register/units.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>
#include <QXmlStreamReader>
#include <numeric>
#include <unistd.h>

using SNode = COrgTreeLayout::SNode;

namespace {
// Each node's children by a rule: the tree a row of the layout table names.
QList<SNode> Tree(const QString &shape, int count)
{
    QList<SNode> nodes(count);
    QRandomGenerator random(7);
    for (int i = 0; i < count; ++i)
        nodes[i].size = QSizeF(80 + (i * 37) % 90, 40 + (i * 13) % 50);
    for (int i = 1; i < count; ++i) {
        int parent = 0;
        if (shape == QLatin1String("deep"))
            parent = i - 1;
        else if (shape == QLatin1String("wide"))
            parent = 0;
        else if (shape == QLatin1String("bushy"))
            parent = (i - 1) / 3;
        else if (shape == QLatin1String("mixed"))
            parent = i < 40 ? 0 : int(random.bounded(i));
        else
            parent = int(random.bounded(i));
        nodes[parent].children.append(i);
    }
    return nodes;
}

// Employees in service at the end of day per unit, counted by the register's own SQL.
QHash<qint32, int> CountedBySql(const QDate &day)
{
    QHash<qint32, int> counts;
    const auto db = CRegister::Connection();
    CDaoStatement q(*db, QStringLiteral("SELECT Busyo, COUNT(*) FROM Mast01 WHERE (Indat IS NULL OR Indat <= ?) "
                                        "AND (Outdat IS NULL OR Outdat > ?) GROUP BY Busyo"));
    q.Bind(0, day.toString(Qt::ISODate));
    q.Bind(1, day.toString(Qt::ISODate));
    q.Exec();
    while (q.Next())
        counts.insert(qint32(q.Int64(0)), int(q.Int64(1)));
    q.Finish();
    return counts;
}

int TotalUnder(qint32 unit, const QHash<qint32, int> &own)
{
    int total = own.value(unit);
    for (const SUnitRow &child : CUnits::Children(unit))
        total += TotalUnder(child.nID, own);
    return total;
}

QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int Run(const QStringList &arguments, QString *said = nullptr)
{
    const CCommandLine::SParsed parsed = CCommandLine::Parse(QStringList{QStringLiteral("morvek")} + arguments);
    if (parsed.action == CCommandLine::EAction::usageError) {
        if (said)
            *said = parsed.error;
        return CCommandLine::ExitUsage;
    }
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = CChartCommandLine::Run(parsed, outStream, errStream);
    outStream.flush();
    errStream.flush();
    if (said)
        *said = out + err;
    return status;
}
} // namespace

class TestOrgChart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutRules_data();
    void layoutRules();
    void layoutLeavesOutLoops();
    void onlyLeavesWrap();
    void wideLevelsStack();

    void headcountsMatchTheRegister();
    void headcountsOnAPastDay();
    void unitGoneCountsAsNone();
    void chartDrawsEachUnitOnce_data();
    void chartDrawsEachUnitOnce();
    void facesBeyondTheLimit();
    void unitsFoundByPath_data();
    void unitsFoundByPath();

    void pages_data();
    void pages();

    void filesReadBack();
    void refusedFiles();
    void commandLine_data();
    void commandLine();

    void windowByKeys();
    void windowFollowsTheRegister();

private:
    std::unique_ptr<CTempDatabase> m_db;
    QTemporaryDir m_out;
    qint32 m_company = 0, m_sales = 0, m_east = 0, m_general = 0;
};

void TestOrgChart::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_east = CRegisterBuilder::AddUnit({m_sales, 10, QStringLiteral("東日本営業課")});
    m_general = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    const QDate today = QDate::currentDate();
    QList<CRegisterBuilder::SEmployeeRow> rows;
    for (int i = 0; i < 30; ++i) {
        CRegisterBuilder::SEmployeeRow row = CRegisterBuilder::Numbered(
            100 + i, QList<qint32>{m_company, m_sales, m_east, m_general, 0}.at(i % 5));
        row.joined = CDateValue(QDate(2010, 4, 1).addMonths(i));
        if (i % 7 == 3)
            row.left = CDateValue(QDate(2020, 3, 31)); // gone before today
        if (i == 11)
            row.left = CDateValue(today); // leaves today: gone at its end
        if (i == 12)
            row.joined = CDateValue(today.addDays(30)); // not yet joined
        rows.append(row);
    }
    CRegisterBuilder::AddEmployees(rows);
}

void TestOrgChart::cleanup()
{
    m_db.reset();
}

void TestOrgChart::layoutRules_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("wrapAfter");
    QTest::newRow("one box") << "random" << 1 << 6;
    QTest::newRow("deep") << "deep" << 300 << 6;
    QTest::newRow("wide, wrapped") << "wide" << 301 << 6;
    QTest::newRow("wide, one row") << "wide" << 40 << 100;
    QTest::newRow("bushy") << "bushy" << 400 << 6;
    QTest::newRow("random") << "random" << 500 << 6;
    QTest::newRow("many parents at one level") << "mixed" << 300 << 4;
}

void TestOrgChart::layoutRules()
{
    QFETCH(QString, shape);
    QFETCH(int, count);
    QFETCH(int, wrapAfter);
    const QList<SNode> nodes = Tree(shape, count);
    COrgTreeLayout::SSpacing spacing;
    spacing.wrapAfter = wrapAfter;
    const COrgTreeLayout layout(nodes, {0}, spacing);
    const QList<QRectF> &boxes = layout.Boxes();
    for (int i = 0; i < count; ++i) {
        QVERIFY2(!boxes.at(i).isNull(), qPrintable(QString::number(i)));
        QCOMPARE(boxes.at(i).size(), nodes.at(i).size);
        QVERIFY(layout.Bounds().contains(boxes.at(i)));
    }
    // No two boxes overlap: sorted by left edge, each is compared with those it reaches.
    QList<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&boxes](int a, int b) { return boxes.at(a).left() < boxes.at(b).left(); });
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count && boxes.at(order.at(j)).left() < boxes.at(order.at(i)).right(); ++j) {
            const QRectF meet = boxes.at(order.at(i)).intersected(boxes.at(order.at(j)));
            QVERIFY2(meet.width() <= 0.01 || meet.height() <= 0.01,
                     qPrintable(QStringLiteral("%1 and %2").arg(order.at(i)).arg(order.at(j))));
        }
    }
    for (int i = 0; i < count; ++i) {
        const QList<int> &children = nodes.at(i).children;
        if (children.isEmpty())
            continue;
        qreal left = boxes.at(children.first()).center().x(), right = left;
        for (int child : children) {
            QVERIFY(boxes.at(child).top() > boxes.at(i).bottom());
            left = std::min(left, boxes.at(child).center().x());
            right = std::max(right, boxes.at(child).center().x());
        }
        // Centred over its children: the outermost ones, in one row or in the first of wrapped rows;
        // over the block of rows that subtrees too wide for one were stacked in.
        const QRectF stack = layout.StackRect(i);
        for (int child : children)
            QVERIFY2(!layout.IsStacked(i) || stack.contains(boxes.at(child)),
                     qPrintable(QStringLiteral("%1 %2 %3 %4 / %5 %6 %7 %8")
                                    .arg(stack.left())
                                    .arg(stack.top())
                                    .arg(stack.right())
                                    .arg(stack.bottom())
                                    .arg(boxes.at(child).left())
                                    .arg(boxes.at(child).top())
                                    .arg(boxes.at(child).right())
                                    .arg(boxes.at(child).bottom())));
        const qreal middle = layout.IsStacked(i) ? stack.center().x() : (left + right) / 2;
        QVERIFY2(
            qAbs(boxes.at(i).center().x() - middle) < 0.5,
            qPrintable(
                QStringLiteral("node %1 at %2, children's middle %3").arg(i).arg(boxes.at(i).center().x()).arg(middle)));
    }
}

void TestOrgChart::layoutLeavesOutLoops()
{
    // 0 -> 1 -> 2 -> 0, and 2 names 1 again: each drawn once, and the layout ends.
    QList<SNode> nodes(3);
    for (SNode &node : nodes)
        node.size = QSizeF(100, 40);
    nodes[0].children = {1};
    nodes[1].children = {2, 1};
    nodes[2].children = {0, 1};
    const COrgTreeLayout layout(nodes, {0, 0});
    QCOMPARE(layout.Boxes().size(), 3);
    QVERIFY(layout.Boxes().at(2).top() > layout.Boxes().at(1).top());
    QVERIFY(layout.Boxes().at(1).top() > layout.Boxes().at(0).top());
}

void TestOrgChart::wideLevelsStack()
{
    // A company of 20 departments, each with two sections: too wide for one row.
    QList<SNode> nodes(61);
    for (SNode &node : nodes)
        node.size = QSizeF(120, 44);
    for (int d = 1; d <= 20; ++d) {
        nodes[0].children.append(d);
        nodes[d].children = {20 + 2 * d - 1, 20 + 2 * d};
    }
    const COrgTreeLayout layout(nodes, {0});
    QVERIFY(layout.IsStacked(0));
    QVERIFY(layout.Bounds().width() <= COrgTreeLayout::SSpacing().stackWidth + 200);
    QSet<qreal> rowTops;
    for (int d = 1; d <= 20; ++d) {
        rowTops.insert(layout.Boxes().at(d).top());
        // Each department keeps its sections under it, centred.
        const qreal sections = (layout.Boxes().at(20 + 2 * d - 1).center().x() + layout.Boxes().at(20 + 2 * d).center().x())
                             / 2;
        QCOMPARE(layout.Boxes().at(d).center().x(), sections);
        QVERIFY(layout.Boxes().at(20 + 2 * d).top() > layout.Boxes().at(d).bottom());
    }
    QVERIFY(rowTops.size() >= 2);

    // Twelve companies side by side are too wide as well: they stack, nothing overlapping.
    QList<SNode> forest(36);
    QList<int> tops;
    for (SNode &node : forest)
        node.size = QSizeF(150, 44);
    for (int c = 0; c < 12; ++c) {
        tops << c;
        forest[c].children = {12 + 2 * c, 13 + 2 * c};
    }
    const COrgTreeLayout companies(forest, tops);
    QSet<qreal> companyTops;
    for (int c = 0; c < 12; ++c)
        companyTops.insert(companies.Boxes().at(c).top());
    QVERIFY(companyTops.size() >= 2);
    for (int a = 0; a < forest.size(); ++a) {
        QVERIFY(!companies.Boxes().at(a).isNull());
        for (int b = a + 1; b < forest.size(); ++b)
            QVERIFY(!companies.Boxes().at(a).intersects(companies.Boxes().at(b)));
    }
    // Without the limit they stand in one row.
    COrgTreeLayout::SSpacing spacing;
    spacing.stackWidth = 0;
    const COrgTreeLayout row(nodes, {0}, spacing);
    QVERIFY(!row.IsStacked(0));
    QCOMPARE(row.Boxes().at(1).top(), row.Boxes().at(20).top());
}

void TestOrgChart::onlyLeavesWrap()
{
    QList<SNode> nodes = Tree(QStringLiteral("wide"), 12);
    const COrgTreeLayout wrapped(nodes, {0});
    QVERIFY(wrapped.IsWrapped(0));
    // Rows of six under a parent, the second row below the first.
    QCOMPARE(wrapped.Boxes().at(7).top(), wrapped.Boxes().at(8).top());
    QVERIFY(wrapped.Boxes().at(7).top() > wrapped.Boxes().at(1).bottom());
    nodes.append(SNode{QSizeF(50, 50), {}});
    nodes[5].children = {12};
    const COrgTreeLayout row(nodes, {0});
    QVERIFY(!row.IsWrapped(0));
    QCOMPARE(row.Boxes().at(1).top(), row.Boxes().at(11).top());
}

void TestOrgChart::headcountsMatchTheRegister()
{
    const QDate today = QDate::currentDate();
    const QHash<qint32, int> own = CountedBySql(today);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    for (qint32 unit : {m_company, m_sales, m_east, m_general}) {
        QCOMPARE(snapshot.Own(unit), own.value(unit));
        QCOMPARE(snapshot.Total(unit), TotalUnder(unit, own));
    }
    QCOMPARE(snapshot.WithoutUnit(), own.value(0));
    int all = 0;
    for (int count : own)
        all += count;
    QCOMPARE(snapshot.Total(0), all);
    // Of 30: four left before today, one leaves today, one joins later.
    QCOMPARE(all, 24);

    const COrgChart chart(snapshot, m_company, {});
    const COrgChart::SBox &company = chart.Boxes().at(chart.IndexOf(m_company));
    QCOMPARE(company.nTotal, TotalUnder(m_company, own));
    QCOMPARE(COrgChart::CountText(company), QStringLiteral("%1 人（計 %2 人）").arg(company.nOwn).arg(company.nTotal));
}

void TestOrgChart::headcountsOnAPastDay()
{
    // Yesterday's counts, kept before the day's changes are made.
    const QDate day = QDate::currentDate().addDays(-1);
    const QHash<qint32, int> before = CountedBySql(day);
    QList<qint32> inSales;
    for (const SEmployeeRow &row : CEmployees::OfUnit(m_sales))
        inSales << row.nID;
    QList<qint32> inEast;
    for (const SEmployeeRow &row : CEmployees::OfUnit(m_east))
        inEast << row.nID;
    QVERIFY(inSales.size() > 2 && !inEast.isEmpty());
    // Today, in this order: sales to general, one of them back, east out of any unit, and east deleted.
    QCOMPARE(CEmployees::Move(inSales, m_general), CEmployees::EMove::moved);
    QCOMPARE(CEmployees::Move({inSales.first()}, m_sales), CEmployees::EMove::moved);
    CEmployees::Release(inEast);
    QVERIFY(CUnits::Delete(m_east));

    const auto asOf = std::make_shared<const CRegisterAsOf>(day);
    const CStaffSnapshot then = CStaffSnapshot::Read(asOf.get());
    QVERIFY(!then.IsToday());
    QVERIFY(then.Unit(m_east));
    for (qint32 unit : {m_company, m_sales, m_east, m_general})
        QCOMPARE(then.Own(unit), before.value(unit));
    QCOMPARE(then.Total(m_company),
             before.value(m_company) + before.value(m_sales) + before.value(m_east) + before.value(m_general));
    const COrgChart chart(then, 0, {});
    QCOMPARE(chart.DayText(),
             QStringLiteral("基準日 令和%1年%2月%3日 現在").arg(day.year() - 2018).arg(day.month()).arg(day.day()));
    QVERIFY(chart.IndexOf(m_east) >= 0);

    const CStaffSnapshot now = CStaffSnapshot::Read(nullptr);
    QVERIFY(!now.Unit(m_east));
    QCOMPARE(now.Own(m_sales), 1);
}

// Another program may leave an employee naming a unit that is no longer there: the
// lists show them without a unit, and so does the count.
void TestOrgChart::unitGoneCountsAsNone()
{
    const int before = CStaffSnapshot::Read(nullptr).WithoutUnit();
    CRegisterBuilder::AddEmployee({900, 99999, QStringLiteral("迷子")});
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    QCOMPARE(snapshot.WithoutUnit(), before + 1);
    QCOMPARE(snapshot.Own(99999), 0);
    QCOMPARE(snapshot.StaffUnder(m_company).size(), snapshot.Total(m_company));
}

void TestOrgChart::chartDrawsEachUnitOnce_data()
{
    QTest::addColumn<int>("top");       // 0: every company; 1: sales
    QTest::addColumn<bool>("collapse"); // sales collapsed
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("hidden"); // shown on sales' box
    QTest::newRow("every company") << 0 << false << 6 << 0;
    QTest::newRow("sales and under") << 1 << false << 2 << 0;
    QTest::newRow("sales collapsed") << 0 << true << 5 << 1;
}

void TestOrgChart::chartDrawsEachUnitOnce()
{
    QFETCH(int, top);
    QFETCH(bool, collapse);
    QFETCH(int, boxes);
    QFETCH(int, hidden);
    // A second company, with a department.
    const qint32 branch = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("支社")});
    CRegisterBuilder::AddUnit({branch, 20, QStringLiteral("工場")});
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    COrgChart::SOptions options;
    if (collapse)
        options.collapsed.insert(m_sales);
    const COrgChart chart(snapshot, top == 1 ? m_sales : 0, options);
    QCOMPARE(chart.Boxes().size(), boxes);
    QSet<qint32> seen;
    for (const COrgChart::SBox &box : chart.Boxes()) {
        QVERIFY(!seen.contains(box.nUnit));
        seen.insert(box.nUnit);
        QCOMPARE(chart.BoxAt(box.rect.center()), chart.IndexOf(box.nUnit));
    }
    QCOMPARE(chart.Boxes().at(chart.IndexOf(m_sales)).nHiddenUnits, hidden);
    QCOMPARE(chart.IndexOf(m_east) >= 0, !collapse);
    QCOMPARE(chart.Title(), top == 1 ? QStringLiteral("組織図　本社/営業部") : QStringLiteral("組織図"));
    QVERIFY(chart.DayText().isEmpty());
}

void TestOrgChart::facesBeyondTheLimit()
{
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    COrgChart::SOptions options;
    options.faces = true;
    options.faceLimit = 2;
    QList<qint32> asked;
    const COrgChart chart(snapshot, m_company, options, [&asked](qint32 unit) {
        asked << unit;
        QList<COrgChart::SMember> members;
        for (const SEmployeeRow &row : CEmployees::OfUnit(unit))
            members.append({row.nID, row.nCode, row.strName});
        return members;
    });
    QCOMPARE(asked.size(), 4);
    const COrgChart::SBox &sales = chart.Boxes().at(chart.IndexOf(m_sales));
    QCOMPARE(sales.faces.size(), 2);
    QCOMPARE(sales.nMore, int(CEmployees::OfUnit(m_sales).size()) - 2);
    // Faces make the box taller than one without.
    const COrgChart plain(snapshot, m_company, {});
    QVERIFY(sales.rect.height() > plain.Boxes().at(plain.IndexOf(m_sales)).rect.height() + COrgChart::kFaceHeight);
}

void TestOrgChart::unitsFoundByPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("found"); // the path found, empty for none
    QTest::newRow("company") << "本社"
                             << "本社";
    QTest::newRow("two levels") << "本社/営業部"
                                << "本社/営業部";
    QTest::newRow("three, spaces around") << " 本社 / 営業部/東日本営業課 "
                                          << "本社/営業部/東日本営業課";
    QTest::newRow("not under that unit") << "本社/総務部/東日本営業課"
                                         << "";
    QTest::newRow("department alone") << "営業部"
                                      << "";
    QTest::newRow("unknown") << "本社/経理部"
                             << "";
}

void TestOrgChart::unitsFoundByPath()
{
    QFETCH(QString, path);
    QFETCH(QString, found);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const qint32 unit = snapshot.Find(path);
    QCOMPARE(unit == 0 ? QString() : snapshot.SlashPath(unit), found);
}

void TestOrgChart::pages_data()
{
    QTest::addColumn<QSizeF>("document"); // pixels
    QTest::addColumn<QSizeF>("page");     // millimetres
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    // A4 landscape less margins and footer: 277 x 183 mm, 1108 x 732 pixels at 0.25 mm.
    QTest::newRow("small, fitted") << QSizeF(400, 300) << QSizeF(277, 183) << true << 1 << 1;
    QTest::newRow("big, fitted") << QSizeF(9000, 3000) << QSizeF(277, 183) << true << 1 << 1;
    QTest::newRow("exactly one page") << QSizeF(1108, 732) << QSizeF(277, 183) << false << 1 << 1;
    QTest::newRow("a pixel wider") << QSizeF(1109, 732) << QSizeF(277, 183) << false << 2 << 1;
    QTest::newRow("wide and tall") << QSizeF(5000, 2000) << QSizeF(277, 183) << false << 5 << 3;
}

void TestOrgChart::pages()
{
    QFETCH(QSizeF, document);
    QFETCH(QSizeF, page);
    QFETCH(bool, fit);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const COrgChartPages pages(document, page, fit);
    QCOMPARE(pages.Columns(), columns);
    QCOMPARE(pages.Rows(), rows);
    if (fit) {
        QVERIFY(document.width() * pages.MmPerPixel() <= page.width() + 0.01);
        QVERIFY(document.height() * pages.MmPerPixel() <= page.height() + 0.01);
        QVERIFY(pages.MmPerPixel() <= COrgChartPages::kLargestMmPerPixel);
        return;
    }
    // Every part of the document is on a page; neighbours overlap by the margin to join them.
    QRectF covered;
    for (int i = 0; i < pages.Count(); ++i)
        covered = covered.united(pages.Source(i));
    QVERIFY(covered.contains(QRectF(QPointF(0, 0), document)));
    if (columns > 1) {
        const qreal overlap = pages.Source(0).right() - pages.Source(1).left();
        QCOMPARE(qRound(overlap * pages.MmPerPixel()), qRound(COrgChartPages::kOverlapMm));
        QCOMPARE(pages.NextColumnAt(0), pages.Source(1).left() - pages.Source(0).left());
        QCOMPARE(pages.NextColumnAt(columns - 1), -1.0);
    }
    // The last page still shows something of the document.
    QVERIFY(pages.Source(pages.Count() - 1).left() < document.width());
    QVERIFY(pages.Source(pages.Count() - 1).top() < document.height());
}

void TestOrgChart::filesReadBack()
{
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const COrgChart chart(snapshot, 0, {});
    const COrgChartFiles::SPaper paper{QPageSize::A4, QPageLayout::Landscape, COrgChartFiles::EFit::readable};
    const QString pdf = m_out.filePath(QStringLiteral("組織図.pdf"));
    QCOMPARE(COrgChartFiles::Write(pdf, chart, {}, paper), QString());
    const QString text = PdfText(pdf);
    for (const QString &name : {QStringLiteral("本社"), QStringLiteral("営業部"), QStringLiteral("東日本営業課"),
                                QStringLiteral("総務部"), QStringLiteral("組織図")})
        QVERIFY2(text.contains(name), qPrintable(name));

    const QString svg = m_out.filePath(QStringLiteral("組織図.svg"));
    QCOMPARE(COrgChartFiles::Write(svg, chart, {}, paper), QString());
    QFile svgFile(svg);
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svgFile);
    QString svgText;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::Characters)
            svgText += xml.text();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(svgText.contains(QStringLiteral("東日本営業課")));

    const QString png = m_out.filePath(QStringLiteral("組織図.png"));
    QCOMPARE(COrgChartFiles::Write(png, chart, {}, paper), QString());
    const QImage image(png);
    QCOMPARE(image.size(), COrgChartFiles::PngSize(chart));
    QCOMPARE(QSizeF(image.size()), COrgChartPainter::DocumentSize(chart));
    // Not a blank page: the boxes' lines are drawn.
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128;
    QVERIFY(dark > 100);
}

void TestOrgChart::refusedFiles()
{
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const COrgChart chart(snapshot, 0, {});
    const COrgChartFiles::SPaper paper{QPageSize::A3, QPageLayout::Portrait, COrgChartFiles::EFit::spread};
    const QString word = m_out.filePath(QStringLiteral("組織図.docx"));
    QVERIFY(COrgChartFiles::Write(word, chart, {}, paper).contains(QStringLiteral(".pdf、.svg、.png")));
    QVERIFY(!QFile::exists(word));
    const QString nowhere = m_out.filePath(QStringLiteral("ない/フォルダ/組織図.pdf"));
    QVERIFY(COrgChartFiles::Write(nowhere, chart, {}, paper).contains(QStringLiteral("書き込めません")));
    // A file that was there stays whole when a write fails part way: only a whole file replaces it.
    const QString kept = WriteFile(m_out.filePath(QStringLiteral("前の.pdf")), "%PDF-1.4 old");
    QVERIFY(QFile::setPermissions(m_out.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString error = COrgChartFiles::Write(kept, chart, {}, paper);
    QVERIFY(QFile::setPermissions(m_out.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    if (geteuid() != 0) {
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadFile(kept), QByteArray("%PDF-1.4 old"));
    }
}

void TestOrgChart::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: the output folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // a part of what was said
    QTest::addColumn<QString>("file"); // written, relative to the folder; empty for none
    QTest::addColumn<int>("boxes");    // the headcounts in a PDF's text; -1: the SVG has sales, not general
    QTest::newRow("whole register") << QStringList{"--org-chart", "%1/図.pdf"} << 0 << "部課 4 件"
                                    << "図.pdf" << 4;
    QTest::newRow("one unit") << QStringList{"--org-chart", "%1/図.svg", "--unit", "本社/営業部"} << 0 << "部課 2 件"
                              << "図.svg" << -1;
    QTest::newRow("past day, era") << QStringList{"--org-chart", "%1/図.png", "--as-of", "R6.4.1"} << 0 << "部課 4 件"
                                   << "図.png" << 0;
    QTest::newRow("unknown unit") << QStringList{"--org-chart", "%1/図.pdf", "--unit", "本社/経理部"} << 1
                                  << "部課 本社/経理部 が見つかりません。"
                                  << "" << 0;
    QTest::newRow("unknown ending") << QStringList{"--org-chart", "%1/図.jpg"} << 2 << ".pdf、.svg、.png"
                                    << "" << 0;
    QTest::newRow("no such day") << QStringList{"--org-chart", "%1/図.pdf", "--as-of", "2024-02-30"} << 2
                                 << "--as-of の日付 2024-02-30 が読めません。"
                                 << "" << 0;
    QTest::newRow("a day ahead") << QStringList{"--org-chart", "%1/図.pdf", "--as-of", "2999-01-01"} << 2
                                 << "今日か過ぎた日"
                                 << "" << 0;
    QTest::newRow("faces with figures") << QStringList{"--figures", "%1", "--faces"} << 2 << "--faces は --org-chart にだけ"
                                        << "" << 0;
    QTest::newRow("both") << QStringList{"--org-chart", "%1/図.pdf", "--figures", "%1"} << 2 << "どちらか一つ"
                          << "" << 0;
    QTest::newRow("with an import") << QStringList{"--org-chart", "%1/図.pdf", "--import-csv", "%1"} << 2
                                    << "--unit、--as-of、--faces、--database のほかは付けられません"
                                    << "" << 0;
    QTest::newRow("not a register") << QStringList{"--figures", "%1/図", "--database", "%2"} << 1
                                    << "データベースではないか、壊れています"
                                    << "" << 0;
    QTest::newRow("a register not there") << QStringList{"--org-chart", "%1/図.pdf", "--database", "%1/ない.mdb"} << 1
                                          << "がありません"
                                          << "" << 0;
}

void TestOrgChart::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(QString, file);
    QFETCH(int, boxes);
    const QTemporaryDir folder;
    const QString garbage = WriteFile(m_out.filePath(QStringLiteral("偽.mdb")), "not a database");
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("%1"), folder.path()).replace(QStringLiteral("%2"), garbage);
    if (!arguments.contains(QStringLiteral("--database")))
        arguments << QStringLiteral("--database") << m_db->Path();
    QString told;
    QCOMPARE(Run(arguments, &told), status);
    QVERIFY2(told.contains(said), qPrintable(told));
    QDir written(folder.path());
    QCOMPARE(written.entryList(QDir::Files), file.isEmpty() ? QStringList() : QStringList{file});
    if (file.endsWith(QLatin1String(".pdf")))
        QCOMPARE(int(PdfText(written.filePath(file)).count(QStringLiteral(" 人"))), boxes);
    if (boxes < 0) {
        const QString text = QString::fromUtf8(ReadFile(written.filePath(file)));
        QVERIFY(text.contains(QStringLiteral("営業部")));
        QVERIFY(!text.contains(QStringLiteral("総務部")));
    }
}

void TestOrgChart::windowByKeys()
{
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    COrgChartWnd window(snapshot, nullptr, m_company);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    COrgChartCanvas *canvas = window.Canvas();
    const COrgChart *chart = &window.Chart();
    QCOMPARE(canvas->Selected(), chart->IndexOf(m_company));
    QSignalSpy activated(&window, &COrgChartWnd::UnitActivated);

    // Down to sales, Right to general, Left back, Down to east, Up to sales.
    QTest::keyClick(canvas, Qt::Key_Down);
    QCOMPARE(chart->Boxes().at(canvas->Selected()).nUnit, m_sales);
    QTest::keyClick(canvas, Qt::Key_Right);
    QCOMPARE(chart->Boxes().at(canvas->Selected()).nUnit, m_general);
    QTest::keyClick(canvas, Qt::Key_Right);
    QCOMPARE(chart->Boxes().at(canvas->Selected()).nUnit, m_general);
    QTest::keyClick(canvas, Qt::Key_Left);
    QTest::keyClick(canvas, Qt::Key_Down);
    QCOMPARE(chart->Boxes().at(canvas->Selected()).nUnit, m_east);
    QTest::keyClick(canvas, Qt::Key_Up);
    QCOMPARE(chart->Boxes().at(canvas->Selected()).nUnit, m_sales);
    QTest::keyClick(canvas, Qt::Key_Return);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.at(0).at(0).value<qint32>(), m_sales);

    // Space folds sales away and opens it again; the chosen box stays sales.
    QTest::keyClick(canvas, Qt::Key_Space);
    QCOMPARE(window.Chart().IndexOf(m_east), -1);
    QCOMPARE(window.Chart().Boxes().at(canvas->Selected()).nUnit, m_sales);
    QTest::keyClick(canvas, Qt::Key_Space);
    QVERIFY(window.Chart().IndexOf(m_east) >= 0);

    // Keys of the window zoom; Ctrl+0 fits the chart, never enlarging it.
    const qreal before = canvas->Zoom();
    QTest::keyClick(canvas, Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(canvas->Zoom() < before);
    QTest::keyClick(canvas, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(canvas->Zoom(), before);
    QTest::keyClick(canvas, Qt::Key_0, Qt::ControlModifier);
    QVERIFY(canvas->Zoom() <= 1.0);
    const QRectF shown = canvas->ShownRect(0);
    QVERIFY(QRectF(canvas->viewport()->rect()).contains(shown));

    // A double-click on a box asks for its unit.
    const QRectF general = canvas->ShownRect(window.Chart().IndexOf(m_general));
    QTest::mouseDClick(canvas->viewport(), Qt::LeftButton, {}, general.center().toPoint());
    QCOMPARE(activated.count(), 2);
    QCOMPARE(activated.at(1).at(0).value<qint32>(), m_general);

    window.SetFaces(true);
    const QImage image = window.grab().toImage();
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
        image.save(QDir(dir).filePath(QStringLiteral("orgchart.png")));
    QVERIFY(window.Chart().Boxes().at(window.Chart().IndexOf(m_sales)).faces.size() > 0);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestOrgChart::windowFollowsTheRegister()
{
    COrgChartWnd window(CStaffSnapshot::Read(nullptr), nullptr, m_company);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Folded and chosen as the user left them, through the rebuilds.
    window.Toggle(m_sales);
    window.Canvas()->Select(window.Chart().IndexOf(m_general));

    SUnitFields accounts;
    accounts.strName = QStringLiteral("経理部");
    const qint32 added = CUnits::AddDepartment(m_company, accounts);
    QVERIFY(added != 0);
    QTRY_VERIFY(window.Chart().IndexOf(added) >= 0);
    QCOMPARE(window.Chart().IndexOf(m_east), -1);
    QCOMPARE(window.Chart().Boxes().at(window.Canvas()->Selected()).nUnit, m_general);

    const int before = window.Chart().Boxes().at(window.Chart().IndexOf(m_general)).nOwn;
    const QList<SEmployeeRow> sales = CEmployees::OfUnit(m_sales);
    QCOMPARE(CEmployees::Move({sales.first().nID}, m_general), CEmployees::EMove::moved);
    QTRY_COMPARE(window.Chart().Boxes().at(window.Chart().IndexOf(m_general)).nOwn, before + 1);

    // The unit drawn at the top is deleted: the chart stays, and says why.
    COrgChartWnd sub(CStaffSnapshot::Read(nullptr), nullptr, m_east);
    sub.setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(CUnits::Delete(m_east));
    const auto said = [&sub] {
        const QList<QLabel *> labels = sub.findChildren<QLabel *>();
        return std::any_of(labels.cbegin(), labels.cend(),
                           [](const QLabel *label) { return label->text().contains(QStringLiteral("削除されました")); });
    };
    QTRY_VERIFY(said());
    QCOMPARE(sub.Chart().Boxes().size(), 1);
}

QTEST_MAIN(TestOrgChart)
#include "tst_orgchart.moc"
