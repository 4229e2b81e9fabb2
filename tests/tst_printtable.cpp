// The ruled table of the printed pages: page counts, cells and font sizes in
// tenths of a millimetre on devices of known resolution, what the header and
// the grid draw.
#include "base/japaneselocale.h"
#include "printlayout/printtable.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// 254 dots an inch: one pixel a table unit.
constexpr int kUnitDpi = 254;

QImage Canvas(int dpi, QSize size = QSize(2100, 2970))
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

CPrintTable ListTable()
{
    CPrintTable table;
    table.m_strTitle = QStringLiteral("社員一覧表");
    table.m_strSubtitle = QStringLiteral("本社");
    table.m_strFontFace = QStringLiteral("ＭＳゴシック");
    table.m_nColumns = 3;
    table.m_nRowsPerPage = 6;
    table.m_nOriginX = 100;
    table.m_nOriginY = 300;
    table.m_columnWidths = {400, 800, 650};
    table.m_columnTitles = {QStringLiteral("顔写真"), QStringLiteral("個人情報"), QStringLiteral("その他")};
    table.m_nHeaderHeight = 80;
    table.m_nRowHeight = 400;
    return table;
}

bool IsInk(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

QString PdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    pdftotext.waitForFinished();
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).remove(QLatin1Char(' '));
}
} // namespace

class TestPrintTable : public QObject
{
    Q_OBJECT

private slots:
    void pageCount_data();
    void pageCount();
    void cellRect_data();
    void cellRect();
    void fontHeight_data();
    void fontHeight();
    void header_data();
    void header();
    void rulings_data();
    void rulings();
    void emptyCell_data();
    void emptyCell();
    void insideThePrintableArea_data();
    void insideThePrintableArea();
};

void TestPrintTable::pageCount_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("rowsPerPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("seven") << 7 << 6 << 2;
    QTest::newRow("twelve") << 12 << 6 << 2;
    QTest::newRow("thirteen") << 13 << 6 << 3;
    QTest::newRow("none: one empty page") << 0 << 6 << 1;
    QTest::newRow("no rows on a page") << 5 << 0 << 1;
}

void TestPrintTable::pageCount()
{
    QFETCH(int, items);
    QFETCH(int, rowsPerPage);
    QFETCH(int, pages);
    CPrintTable table;
    table.m_nItemCount = items;
    table.m_nRowsPerPage = rowsPerPage;
    QCOMPARE(table.ComputePageCount(), pages);
    QCOMPARE(table.m_nPageCount, pages);
}

void TestPrintTable::cellRect_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("headerHeight");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QRect>("expected"); // left, top, width, height in pixels

    QTest::newRow("first cell") << kUnitDpi << 80 << 0 << 0 << QRect(100, 380, 400, 400);
    QTest::newRow("last cell of the page") << kUnitDpi << 80 << 2 << 5 << QRect(1300, 2380, 650, 400);
    QTest::newRow("negative column and row count as the first") << kUnitDpi << 80 << -1 << -2 << QRect(100, 380, 400, 400);
    QTest::newRow("no header row") << kUnitDpi << 0 << 1 << 0 << QRect(500, 300, 800, 400);
    // 600 dpi: 50 mm = 1181.1 dots, 130 mm = 3070.9, 38 mm = 897.6, 78 mm = 1842.5.
    QTest::newRow("600 dpi") << 600 << 80 << 1 << 0 << QRect(1181, 898, 3071 - 1181, 1843 - 898);
}

void TestPrintTable::cellRect()
{
    QFETCH(int, dpi);
    QFETCH(int, headerHeight);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QRect, expected);
    QImage image = Canvas(dpi, QSize(10, 10));
    QPainter dc(&image);
    CPrintTable table = ListTable();
    table.m_nHeaderHeight = headerHeight;
    QCOMPARE(table.CellRect(dc, column, row).ToQRect(), expected);
}

void TestPrintTable::fontHeight_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cellHeight");
    QTest::addColumn<unsigned>("format");
    QTest::addColumn<int>("pixels");

    const unsigned wrap = CPrintTable::DT_WORDBREAK;
    const unsigned single = CPrintTable::DT_SINGLELINE | CPrintTable::DT_VCENTER;
    QTest::newRow("one line: the cell's height") << kUnitDpi << "営業部" << 50 << single << 50;
    QTest::newRow("wrapped, two line feeds, capped") << kUnitDpi << "a\nb\nc" << 300 << wrap << 40;
    QTest::newRow("wrapped, two line feeds, low cell") << kUnitDpi << "a\nb\nc" << 60 << wrap << 30;
    QTest::newRow("wrapped without line feed: the cap") << kUnitDpi << "営業部" << 100 << wrap << 40;
    // 4 mm at 600 dpi: 94.5 dots.
    QTest::newRow("600 dpi") << 600 << "a\nb" << 300 << wrap << 94;
}

void TestPrintTable::fontHeight()
{
    QFETCH(int, dpi);
    QFETCH(QString, text);
    QFETCH(int, cellHeight);
    QFETCH(unsigned, format);
    QFETCH(int, pixels);
    QImage image = Canvas(dpi, QSize(10, 10));
    QPainter dc(&image);
    CPrintTable table;
    const int height = CPrintTable::CellFontHeight(text, cellHeight, format);
    const QFont previous = table.SelectTableFont(dc, height);
    QCOMPARE(dc.font().pixelSize(), pixels);
    dc.setFont(previous);
}

void TestPrintTable::header_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("headerHeight");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    const QString date = QDate::currentDate().toString(QStringLiteral("印刷日yy年MM月dd日"));
    QTest::newRow("page 2 of 3") << 2 << 80 << QStringList{"ﾍﾟｰｼﾞ2/3", "社員一覧表", "本社", date, "顔写真", "その他"}
                                 << QStringList{};
    QTest::newRow("page 0: no page number") << 0 << 80 << QStringList{"社員一覧表", "本社", date} << QStringList{"ﾍﾟｰｼﾞ"};
    QTest::newRow("no header row: no column titles")
        << 1 << 0 << QStringList{"ﾍﾟｰｼﾞ1/3", "社員一覧表"} << QStringList{"顔写真", "個人情報", "その他"};
}

void TestPrintTable::header()
{
    QFETCH(int, page);
    QFETCH(int, headerHeight);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        QPainter dc(&writer);
        CPrintTable table = ListTable();
        table.m_nHeaderHeight = headerHeight;
        table.m_nItemCount = 13;
        table.ComputePageCount();
        table.m_nCurrentPage = page;
        table.m_rectPage = {0, 0, writer.width(), writer.height()};
        table.DrawHeader(dc);
        table.DrawGrid(dc);
    }
    const QString text = PdfText(path);
    for (const QString &expected : present)
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in ") + text));
    for (const QString &unexpected : absent)
        QVERIFY2(!text.contains(unexpected), qPrintable(unexpected));
}

void TestPrintTable::rulings_data()
{
    QTest::addColumn<int>("headerHeight");
    QTest::addColumn<QList<int>>("ruled"); // heights with a line across the grid
    QTest::addColumn<QList<int>>("blank");
    QTest::newRow("header row") << 80 << QList<int>{300, 380, 780, 2380, 2780} << QList<int>{340, 2700};
    // The first line is the frame's top; the grid ends a header row higher.
    QTest::newRow("no header row") << 0 << QList<int>{300, 700, 2300, 2700} << QList<int>{380, 2780};
}

void TestPrintTable::rulings()
{
    QFETCH(int, headerHeight);
    QFETCH(QList<int>, ruled);
    QFETCH(QList<int>, blank);
    QImage image = Canvas(kUnitDpi);
    {
        QPainter dc(&image);
        CPrintTable table = ListTable();
        table.m_columnTitles.clear();
        table.m_nHeaderHeight = headerHeight;
        table.DrawGrid(dc);
    }
    // In the middle of the second column, away from any text.
    for (int y : ruled)
        QVERIFY2(IsInk(image, 900, y), qPrintable(QString::number(y)));
    for (int y : blank)
        QVERIFY2(!IsInk(image, 900, y), qPrintable(QString::number(y)));
    // Vertical lines at the right of every column, the frame on the left.
    for (int x : {100, 500, 1300, 1950})
        QVERIFY2(IsInk(image, x, 1000), qPrintable(QString::number(x)));
    QVERIFY(!IsInk(image, 2000, 1000));
}

void TestPrintTable::emptyCell_data()
{
    QTest::addColumn<bool>("frame");
    QTest::newRow("frame only") << true;
    QTest::newRow("nothing") << false;
}

void TestPrintTable::emptyCell()
{
    QFETCH(bool, frame);
    QImage image = Canvas(kUnitDpi, QSize(400, 400));
    {
        QPainter dc(&image);
        CPrintTable table;
        table.DrawCellText(dc, QString(), {100, 100, 300, 200}, CPrintTable::DT_SINGLELINE, Qt::black, Qt::white, frame);
    }
    QCOMPARE(IsInk(image, 100, 150), frame);
    QCOMPARE(IsInk(image, 200, 200), frame);
    QVERIFY(!IsInk(image, 200, 150));
}

void TestPrintTable::insideThePrintableArea_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<double>("margin"); // millimetres on every side
    QTest::newRow("A4, no margins") << int(QPageSize::A4) << 0.0;
    QTest::newRow("A4, 6 mm") << int(QPageSize::A4) << 6.0;
    QTest::newRow("Letter, 4 mm") << int(QPageSize::Letter) << 4.0;
    QTest::newRow("Letter, 6.35 mm") << int(QPageSize::Letter) << 6.35;
}

// The whole sheet at 254 dpi, drawn as a printer with these margins would: the
// date ends with the grid and nothing is drawn outside the printable area.
void TestPrintTable::insideThePrintableArea()
{
    QFETCH(int, paper);
    QFETCH(double, margin);
    const QPageLayout layout(QPageSize(QPageSize::PageSizeId(paper)), QPageLayout::Portrait,
                             QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    const QRect sheet = layout.fullRectPixels(kUnitDpi);
    const QRect printable = layout.paintRectPixels(kUnitDpi);
    QImage image = Canvas(kUnitDpi, sheet.size());
    CPrintTable table = ListTable();
    {
        QPainter dc(&image);
        table.m_nItemCount = 13;
        table.ComputePageCount();
        table.m_nCurrentPage = 3;
        table.m_rectPage = {printable.left(), printable.top(), printable.right() + 1, printable.bottom() + 1};
        table.FitToPage(dc);
        const QRect date = table.DateRect(dc).ToQRect();
        QVERIFY2(
            printable.contains(date),
            qPrintable(QStringLiteral("%1,%2 %3x%4").arg(date.x()).arg(date.y()).arg(date.width()).arg(date.height())));
        // The date ends where the grid does.
        const CPrintTable::SRect grid = table.GridRect(dc);
        QVERIFY(qAbs(date.left() + date.width() - grid.right) <= 2);
        table.DrawHeader(dc);
        table.DrawGrid(dc);
    }
    // A4 keeps the true size; Letter is a little shorter and the table is made to fit.
    QCOMPARE(table.m_dFit == 1.0, paper == int(QPageSize::A4));
    bool inked = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsInk(image, x, y)) {
                QVERIFY2(printable.contains(x, y), qPrintable(QStringLiteral("ink at %1, %2").arg(x).arg(y)));
                inked = true;
            }
    QVERIFY(inked);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    CJapaneseLocale::Install(app);
    TestPrintTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printtable.moc"
