// The company document: its default card layout and the layout file, byte for byte.
#include "document/morvekdoc.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

namespace {
QByteArray Stored(const CMorvekDoc &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.Store(buffer);
    return buffer.data();
}

CMorvekDoc::EOpenResult Loaded(CMorvekDoc &doc, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return doc.Load(buffer);
}

QList<qint32> FieldNumbers(const CMorvekDoc &doc)
{
    QList<qint32> numbers;
    for (const CCardField &field : doc.m_fields)
        numbers.append(field.m_nField);
    return numbers;
}

QByteArray Head(qint32 version, qint32 count, qint32 width, qint32 height)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << version << count << width << height;
    return bytes;
}

const QList<qint32> kCreationOrder = {0, 1, 2, 3, 4, 5, 6, 7, 99};
} // namespace

class TestMorvekDoc : public QObject
{
    Q_OBJECT

private slots:
    void defaultLayoutRunsBackwards();
    void defaultFileIsByteExact();
    void shippedFileIsTheDefaultLayout();
    void loadingReversesTheOrder();
    void roundTripKeepsEveryValue();
    void emptyLayout();
    void malformedFileIsRefused_data();
    void malformedFileIsRefused();
    void edgesOfTheCardAreKept_data();
    void edgesOfTheCardAreKept();
    void missingFile();
    void titleIsAlwaysCompanyStructure();
};

void TestMorvekDoc::defaultLayoutRunsBackwards()
{
    const CMorvekDoc doc;
    QList<qint32> expected(kCreationOrder.rbegin(), kCreationOrder.rend());
    QCOMPARE(FieldNumbers(doc), expected);
    QCOMPARE(doc.m_fields.first().m_nKind, CCardField::kindPhoto);
    // The photo's box, 24 x 32 mm, is kept with its width and height swapped.
    QCOMPARE(doc.m_fields.first().GetRect(), QRect(40, 120, 320, 240));
    QCOMPARE(doc.m_fields.at(7).m_nFormat, quint32(CCardField::formatWordBreak));
    QCOMPARE(CCardField::ColorFromRef(doc.m_fields.at(3).m_crBack), QColor(Qt::white));
    QCOMPARE(doc.m_nCellWidth, 900);
    QCOMPARE(doc.m_nCellHeight, 550);
}

void TestMorvekDoc::defaultFileIsByteExact()
{
    const QByteArray bytes = Stored(CMorvekDoc());
    QCOMPARE(bytes.size(), 358);
    QCOMPARE(bytes.left(16).toHex(), QByteArray("01000000090000008403000026020000"));
    // The photo record comes first: kind, number, rectangle, format, colours, border.
    QCOMPARE(bytes.mid(16, 38).toHex(),
             QByteArray("030063000000280000007800000068010000680100002400000000000000ffffff0000000000"));
}

void TestMorvekDoc::shippedFileIsTheDefaultLayout()
{
    QFile shipped(QFINDTESTDATA("../res/tmp.mvk"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QCOMPARE(shipped.readAll(), Stored(CMorvekDoc()));
}

void TestMorvekDoc::loadingReversesTheOrder()
{
    CMorvekDoc doc;
    QCOMPARE(Loaded(doc, Stored(CMorvekDoc())), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(FieldNumbers(doc), kCreationOrder);
    CMorvekDoc again;
    QCOMPARE(Loaded(again, Stored(doc)), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(again.m_fields, CMorvekDoc().m_fields);
}

void TestMorvekDoc::roundTripKeepsEveryValue()
{
    CMorvekDoc doc;
    doc.m_nCellWidth = 1234;
    doc.m_nCellHeight = 300;
    const CCardField odd{.m_nKind = CCardField::kindText,
                         .m_nField = 12345678,
                         .m_nLeft = 0,
                         .m_nTop = 2,
                         .m_nRight = 2468,
                         .m_nBottom = 2,
                         .m_nFormat = 0xfedcba98,
                         .m_crText = 0x0000ff,
                         .m_crBack = 0x123456,
                         .m_bBorder = -1};
    doc.m_fields = {odd, CMorvekDoc().m_fields.first()};

    CMorvekDoc loaded;
    QCOMPARE(Loaded(loaded, Stored(doc)), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(loaded.m_nLayoutVersion, 1);
    QCOMPARE(loaded.m_nCellWidth, 1234);
    QCOMPARE(loaded.m_nCellHeight, 300);
    QCOMPARE(loaded.m_fields.size(), 2);
    QCOMPARE(loaded.m_fields.last(), odd);
    QCOMPARE(CCardField::ColorFromRef(odd.m_crText), QColor(255, 0, 0));
}

void TestMorvekDoc::emptyLayout()
{
    CMorvekDoc doc;
    QCOMPARE(Loaded(doc, Head(1, 0, 800, 500)), CMorvekDoc::EOpenResult::ok);
    QVERIFY(doc.m_fields.isEmpty());
    QCOMPARE(doc.m_nCellWidth, 800);
}

void TestMorvekDoc::malformedFileIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray record = Stored(CMorvekDoc()).mid(16, 38);
    QTest::newRow("shorter than the head") << Head(1, 0, 900, 550).left(10);
    QTest::newRow("count of two, one record") << Head(1, 2, 900, 550) + record;
    QTest::newRow("last record one byte short") << Head(1, 1, 900, 550) + record.left(37);
    QTest::newRow("negative count") << Head(1, -1, 900, 550) + record;
    QTest::newRow("huge count") << Head(1, 0x7fffffff, 900, 550) + record;
    QTest::newRow("count that overflows 32 bits") << Head(1, 113025456, 900, 550) + record;
    QTest::newRow("more fields than a card holds")
        << Head(1, CMorvekDoc::kMaxFields + 1, 900, 550) + record.repeated(CMorvekDoc::kMaxFields + 1);

    QTest::newRow("newer version") << Head(2, 1, 900, 550) + record;
    QTest::newRow("negative version") << Head(-7, 1, 900, 550) + record;
    QTest::newRow("cell of no width") << Head(1, 1, 0, 550) + record;
    QTest::newRow("cell of negative height") << Head(1, 1, 900, -550) + record;
    QTest::newRow("cell wider than a sheet") << Head(1, 0, CMorvekDoc::kMaxCellSize + 1, 550);

    const auto field = [](qint16 kind, qint32 left, qint32 top, qint32 right, qint32 bottom) {
        CMorvekDoc doc;
        doc.m_fields = {CCardField{
            .m_nKind = kind, .m_nField = 0, .m_nLeft = left, .m_nTop = top, .m_nRight = right, .m_nBottom = bottom}};
        return Stored(doc);
    };
    constexpr qint32 lowest = std::numeric_limits<qint32>::min();
    constexpr qint32 highest = std::numeric_limits<qint32>::max();
    QTest::newRow("unknown kind") << field(2, 0, 0, 10, 10);
    QTest::newRow("negative kind") << field(-2, 0, 0, 10, 10);
    QTest::newRow("rectangle spanning all integers") << field(1, lowest, lowest, highest, highest);
    QTest::newRow("width that overflows") << field(1, -2000000000, 0, 2000000000, 10);
    QTest::newRow("upside down") << field(1, 0, 300, 100, 200);
    QTest::newRow("right to left") << field(3, 300, 0, 200, 100);
    QTest::newRow("left of the cell") << field(1, -1, 0, 100, 100);
    QTest::newRow("beyond the next card across") << field(1, 0, 0, 1801, 100);
    QTest::newRow("beyond the next card down") << field(1, 0, 0, 100, 1101);
}

void TestMorvekDoc::malformedFileIsRefused()
{
    QFETCH(QByteArray, bytes);
    CMorvekDoc doc;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString problem;
    QCOMPARE(doc.Load(buffer, &problem), CMorvekDoc::EOpenResult::badFormat);
    QVERIFY(!problem.isEmpty());
    QCOMPARE(doc.m_fields, CMorvekDoc().m_fields);
    QCOMPARE(doc.m_nCellWidth, 900);
    QCOMPARE(doc.m_nLayoutVersion, 1);
}

void TestMorvekDoc::edgesOfTheCardAreKept_data()
{
    QTest::addColumn<qint32>("width");
    QTest::addColumn<qint32>("height");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("the default text column, past its cell") << 900 << 550 << QRect(QPoint(450, 200), QPoint(949, 299));
    QTest::newRow("to the far side of the next card") << 900 << 550 << QRect(QPoint(0, 0), QPoint(1799, 1099));
    QTest::newRow("an empty field at the corner") << 900 << 550 << QRect(900, 550, 0, 0);
    QTest::newRow("the largest cell") << CMorvekDoc::kMaxCellSize << CMorvekDoc::kMaxCellSize
                                      << QRect(0, 0, 2 * CMorvekDoc::kMaxCellSize, 2 * CMorvekDoc::kMaxCellSize);
    QTest::newRow("the smallest cell") << 1 << 1 << QRect(0, 0, 2, 2);
}

void TestMorvekDoc::edgesOfTheCardAreKept()
{
    QFETCH(qint32, width);
    QFETCH(qint32, height);
    QFETCH(QRect, rect);
    CMorvekDoc doc;
    doc.m_nCellWidth = width;
    doc.m_nCellHeight = height;
    CCardField field{.m_nKind = CCardField::kindPhoto,
                     .m_nField = CCardField::kPhotoField,
                     .m_nLeft = rect.left(),
                     .m_nTop = rect.top(),
                     .m_nRight = rect.left() + rect.width(),
                     .m_nBottom = rect.top() + rect.height()};
    doc.m_fields = {field};
    CMorvekDoc loaded;
    QCOMPARE(Loaded(loaded, Stored(doc)), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(loaded.m_fields.first().GetRect(), rect);
}

void TestMorvekDoc::missingFile()
{
    QTemporaryDir dir;
    CMorvekDoc doc;
    QCOMPARE(doc.OnOpenDocument(dir.filePath(QStringLiteral("tmp.mvk"))), CMorvekDoc::EOpenResult::notFound);
    QVERIFY(doc.GetPathName().isEmpty());
}

void TestMorvekDoc::titleIsAlwaysCompanyStructure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.mvk"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    CMorvekDoc().Store(file);
    file.close();

    CMorvekDoc doc;
    QCOMPARE(doc.GetTitle(), QStringLiteral("会社構成"));
    QCOMPARE(doc.OnOpenDocument(path), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(doc.GetPathName(), path);
    QCOMPARE(doc.GetTitle(), QStringLiteral("会社構成"));
    doc.SetTitle(QStringLiteral("other.mvk"));
    QCOMPARE(doc.GetTitle(), QStringLiteral("会社構成"));
}

QTEST_GUILESS_MAIN(TestMorvekDoc)
#include "tst_morvekdoc.moc"
