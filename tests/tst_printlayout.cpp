// Print layout rules without a window: the grouped list's pages, where cards go
// on the sheet, the photo on the default card, and cell text that wraps, shrinks
// no further than 2.5 mm and is cut with an ellipsis.
#include "document/morvekdoc.h"
#include "printlayout/cardprintjob.h"
#include "printlayout/cardsheet.h"
#include "printlayout/celltext.h"
#include "printlayout/listpager.h"
#include "printlayout/printtable.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::vector<CListPager::SGroup>)

namespace {
// 254 dots an inch: one pixel a table unit.
QImage UnitImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

// Each page as text: "H0" a heading of group 0, "h0" the same repeated, "0.1" its second record.
QStringList Pages(const std::vector<CListPager::CPage> &pages)
{
    QStringList out;
    for (const CListPager::CPage &page : pages) {
        QStringList items;
        for (const CListPager::SSlot &slot : page)
            items << (slot.nRecord < 0 ? QStringLiteral("%1%2").arg(slot.bContinued ? "h" : "H").arg(slot.nGroup)
                                       : QStringLiteral("%1.%2").arg(slot.nGroup).arg(slot.nRecord));
        out << items.join(QLatin1Char(' '));
    }
    return out;
}
} // namespace

class TestPrintLayout : public QObject
{
    Q_OBJECT

private slots:
    void pager_data();
    void pager();
    void pagerKeepsInsideThePage();
    void cardCells_data();
    void cardCells();
    void cardSheetRemembered();
    void defaultCardKeepsTextOffThePhoto_data();
    void defaultCardKeepsTextOffThePhoto();
    void cellText_data();
    void cellText();
};

void TestPrintLayout::pager_data()
{
    QTest::addColumn<std::vector<CListPager::SGroup>>("groups");
    QTest::addColumn<bool>("breakPerTopUnit");
    QTest::addColumn<QStringList>("pages");
    // Pages 2400 high, headings 80, rows 400: a heading and five rows fill a page.
    QTest::newRow("nothing: one empty page") << std::vector<CListPager::SGroup>{} << false << QStringList{""};
    QTest::newRow("two small groups share a page")
        << std::vector<CListPager::SGroup>{{2, 0}, {2, 1}} << false << QStringList{"H0 0.0 0.1 H1 1.0 1.1"};
    QTest::newRow("a long group repeats its heading")
        << std::vector<CListPager::SGroup>{{7, 0}} << false << QStringList{"H0 0.0 0.1 0.2 0.3 0.4", "h0 0.5 0.6"};
    QTest::newRow("a heading never ends a page")
        << std::vector<CListPager::SGroup>{{5, 0}, {1, 1}} << false << QStringList{"H0 0.0 0.1 0.2 0.3 0.4", "H1 1.0"};
    QTest::newRow("each top unit on new pages") << std::vector<CListPager::SGroup>{{1, 0}, {1, 1}, {1, 1}, {1, 2}} << true
                                                << QStringList{"H0 0.0", "H1 1.0 H2 2.0", "H3 3.0"};
    QTest::newRow("without breaks the same groups share a page")
        << std::vector<CListPager::SGroup>{{1, 0}, {1, 1}, {1, 1}, {1, 2}} << false
        << QStringList{"H0 0.0 H1 1.0 H2 2.0 H3 3.0"};
}

void TestPrintLayout::pager()
{
    QFETCH(std::vector<CListPager::SGroup>, groups);
    QFETCH(bool, breakPerTopUnit);
    QFETCH(QStringList, pages);
    QCOMPARE(Pages(CListPager(2400, 80, 400, breakPerTopUnit).Paginate(groups)), pages);
}

void TestPrintLayout::pagerKeepsInsideThePage()
{
    const std::vector<CListPager::SGroup> groups{{3, 0}, {9, 1}, {1, 1}, {6, 2}, {2, 3}};
    for (const CListPager::CPage &page : CListPager(2400, 80, 400, false).Paginate(groups)) {
        int y = 0;
        for (const CListPager::SSlot &slot : page) {
            QCOMPARE(slot.nTop, y);
            y += slot.nHeight;
        }
        QVERIFY(y <= 2400);
    }
}

void TestPrintLayout::cardCells_data()
{
    QTest::addColumn<int>("stock");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<QRect>("first");
    QTest::addColumn<QRect>("last");
    QTest::newRow("layout cells from the corner") << 0 << 0 << 0 << QRect(0, 0, 900, 550) << QRect(900, 2200, 900, 550);
    QTest::newRow("A4 stock inside its margins") << 1 << 0 << 0 << QRect(140, 110, 910, 550) << QRect(1050, 2310, 910, 550);
    QTest::newRow("stock shifted 2.5 mm right, 5 mm up")
        << 1 << 25 << -50 << QRect(165, 60, 910, 550) << QRect(1075, 2260, 910, 550);
    QTest::newRow("offsets beyond 5 mm are held there")
        << 0 << 80 << -73 << QRect(50, -50, 900, 550) << QRect(950, 2150, 900, 550);
}

void TestPrintLayout::cardCells()
{
    QFETCH(int, stock);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(QRect, first);
    QFETCH(QRect, last);
    CCardSheet sheet;
    sheet.m_stock = CCardSheet::EStock(stock);
    sheet.m_nOffsetX = CCardSheet::ClampOffset(offsetX);
    sheet.m_nOffsetY = CCardSheet::ClampOffset(offsetY);
    const std::vector<QRect> cells = sheet.Cells(QSize(900, 550));
    QCOMPARE(int(cells.size()), 10);
    QCOMPARE(cells.front(), first);
    QCOMPARE(cells.back(), last);
    // The stock's ten cards fill A4 exactly between its margins.
    if (stock == 1 && offsetX == 0)
        QCOMPARE(cells.back().right() + 1 + 140, 2100);
}

void TestPrintLayout::cardSheetRemembered()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    CCardSheet sheet;
    sheet.m_stock = CCardSheet::EStock::a4TenUp;
    sheet.m_nOffsetX = -35;
    sheet.m_nOffsetY = 5;
    sheet.m_bCutMarks = true;
    sheet.Save(settings);
    CCardSheet loaded;
    loaded.Load(settings);
    QCOMPARE(loaded, sheet);
    // A hand-edited 7.3 mm comes back as the nearest step inside the limit.
    settings.setValue(QStringLiteral("Print/CardOffsetX"), 73);
    loaded.Load(settings);
    QCOMPARE(loaded.m_nOffsetX, 50);
}

void TestPrintLayout::defaultCardKeepsTextOffThePhoto_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::newRow("200 x 260, as from a camera") << QSize(200, 260);
    QTest::newRow("square") << QSize(300, 300);
    QTest::newRow("wide") << QSize(1000, 100);
    QTest::newRow("tall") << QSize(50, 600);
}

void TestPrintLayout::defaultCardKeepsTextOffThePhoto()
{
    QFETCH(QSize, photo);
    const CMorvekDoc doc;
    const QSize card(doc.m_nCellWidth, doc.m_nCellHeight);
    QRectF drawn;
    for (const CCardField &field : doc.m_fields)
        if (field.m_nKind == CCardField::kindPhoto)
            drawn = CPrintJob::FittedRect(CCardPrintJob::PhotoBox(field, card), photo);
    QVERIFY(!drawn.isEmpty());
    QVERIFY(QRectF(QPointF(0, 0), card).contains(drawn));
    // Proportions kept.
    QVERIFY(qAbs(drawn.width() / drawn.height() - double(photo.width()) / photo.height()) < 0.01);
    for (const CCardField &field : doc.m_fields) {
        if (field.m_nKind == CCardField::kindPhoto)
            continue;
        const QRectF text(field.GetRect());
        QVERIFY2(!text.intersects(drawn), qPrintable(QString::number(field.m_nField)));
        QVERIFY2(QRectF(QPointF(0, 0), card).contains(text), qPrintable(QString::number(field.m_nField)));
    }
}

void TestPrintLayout::cellText_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("cut");
    // 住所2 may hold 60 characters; the personal cell of the list is 80 x 40 mm.
    QTest::newRow("60 characters: wrapped, whole") << 60 << false;
    QTest::newRow("600 characters: cut at 2.5 mm") << 600 << true;
}

void TestPrintLayout::cellText()
{
    QFETCH(int, length);
    QFETCH(bool, cut);
    QImage page = UnitImage(QSize(1000, 500));
    QPainter dc(&page);
    QString address;
    for (int i = 0; i < length; ++i)
        address += QChar(0x4e00 + i % 50);
    const QString text = QStringLiteral("\n  [ 1 ] 青木(ｱｵｷ)\n\n〒 100-0001\n   東京都千代田区\n   ") + address
                       + QStringLiteral("\n\n TEL:03-1234-5678 FAX:03-1234-5679");
    const QRect cell(0, 0, 800, 400);
    const CCellText::SLayout layout = CCellText::Fit(text, QFont(QStringLiteral("IPAGothic")), &page, cell, 40, 25,
                                                     Qt::AlignLeft | Qt::AlignTop, true);
    QVERIFY(layout.pixelSize >= 25);
    QCOMPARE(layout.cut, cut);
    QVERIFY(layout.lines.size() * layout.lineHeight <= cell.height() + 0.5);
    for (const CCellText::SLine &line : layout.lines)
        QVERIFY(line.topLeft.x() + line.width <= cell.width() + 0.5);
    QString shown = CCellText::Joined(layout);
    if (cut) {
        QVERIFY(shown.endsWith(QStringLiteral("…")));
    } else {
        // Wrapped lines of the address keep its indent and, joined, the whole of it.
        QVERIFY(shown.remove(QRegularExpression(QStringLiteral("\\s"))).contains(address));
        QVERIFY(layout.lines.size() > 9);
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestPrintLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printlayout.moc"
