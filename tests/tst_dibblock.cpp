// Picture blocks: measuring, reading, drawing, and blocks that lie about their size.
#include "employee/dibblock.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPainter>
#include <QTest>
#include <QtEndian>

#include <climits>

namespace {

struct SDibSpec
{
    int nHeader = 40;
    qint32 width = 0;
    qint32 height = 0;
    int nBits = 24;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    QList<QRgb> table;
    QList<quint32> masks;       // written after the header for bit fields
    QByteArray rows;            // already padded, in stored order
};

void Put16(QByteArray &b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void Put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

QByteArray MakeDib(const SDibSpec &s)
{
    QByteArray b(s.nHeader, '\0');
    Put32(b, 0, quint32(s.nHeader));
    if (s.nHeader == 12) {
        Put16(b, 4, quint16(s.width));
        Put16(b, 6, quint16(s.height));
        Put16(b, 8, 1);
        Put16(b, 10, quint16(s.nBits));
    } else {
        Put32(b, 4, quint32(s.width));
        Put32(b, 8, quint32(s.height));
        Put16(b, 12, 1);
        Put16(b, 14, quint16(s.nBits));
        Put32(b, 16, s.compression);
        Put32(b, 32, s.colorsUsed);
    }
    for (quint32 m : s.masks) {
        QByteArray e(4, '\0');
        Put32(e, 0, m);
        b += e;
    }
    for (QRgb c : s.table) {
        b += char(qBlue(c));
        b += char(qGreen(c));
        b += char(qRed(c));
        if (s.nHeader != 12)
            b += '\0';
    }
    return b + s.rows;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

QImage Expected(int w, int h, std::initializer_list<QRgb> topDownPixels)
{
    QImage image(w, h, QImage::Format_RGB32);
    auto it = topDownPixels.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, *it++);
    return image;
}

constexpr QRgb R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;
constexpr QRgb Y = 0xFFFFFF00, C = 0xFF00FFFF;

QImage Canvas(QSize size, QRgb fill = 0xFF808080)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(fill);
    return canvas;
}

} // namespace

class TestDibBlock : public QObject
{
    Q_OBJECT

private slots:
    void measure_data();
    void measure();
    void read_data();
    void read();
    void hostile_data();
    void hostile();
    void drawUnscaledAtDestination();
    void drawScaledWithoutSmoothing();
    void palette();
    void packedDibRoundTrip_data();
    void packedDibRoundTrip();
    void transparentLaidOnWhite();
    void bmpFile();
    void duplicate();
};

void TestDibBlock::measure_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colors");
    QTest::addColumn<int>("tableSize");
    QTest::addColumn<int>("bitsOffset");

    QTest::newRow("info 24") << MakeDib({40, 3, 2, 24, 0, 0, {}, {}, QByteArray(16, 0)}) << 3 << 2 << 0 << 0 << 40;
    QTest::newRow("info 8") << MakeDib({40, 4, 1, 8, 0, 0, QList<QRgb>(256, K), {}, QByteArray(4, 0)})
                            << 4 << 1 << 256 << 1024 << 1064;
    QTest::newRow("info 4") << MakeDib({40, 1, 1, 4, 0, 0, QList<QRgb>(16, K), {}, QByteArray(4, 0)})
                            << 1 << 1 << 16 << 64 << 104;
    QTest::newRow("info 1") << MakeDib({40, 1, 1, 1, 0, 0, {K, W}, {}, QByteArray(4, 0)}) << 1 << 1 << 2 << 8 << 48;
    QTest::newRow("colours used") << MakeDib({40, 1, 1, 8, 0, 3, {R, G, B}, {}, QByteArray(4, 0)})
                                  << 1 << 1 << 3 << 12 << 52;
    // Only the low 16 bits count.
    QTest::newRow("colours used 16-bit") << MakeDib({40, 1, 1, 8, 0, 0x10002, {R, G}, {}, QByteArray(4, 0)})
                                         << 1 << 1 << 2 << 8 << 48;
    QTest::newRow("colours used on 24") << MakeDib({40, 1, 1, 24, 0, 1, {R}, {}, QByteArray(4, 0)})
                                        << 1 << 1 << 1 << 4 << 44;
    QTest::newRow("top-down") << MakeDib({40, 2, -3, 24, 0, 0, {}, {}, QByteArray(24, 0)}) << 2 << -3 << 0 << 0 << 40;
    QTest::newRow("core 8") << MakeDib({12, 300, 2, 8, 0, 0, QList<QRgb>(256, K), {}, QByteArray(600, 0)})
                            << 300 << 2 << 256 << 768 << 780;
    QTest::newRow("core 16-bit sizes") << MakeDib({12, 40000, 1, 24, 0, 0, {}, {}, {}}) << 40000 << 1 << 0 << 0 << 12;
    QTest::newRow("bit fields") << MakeDib({40, 1, 1, 16, 3, 0, {}, {0xF800, 0x7E0, 0x1F}, QByteArray(4, 0)})
                                << 1 << 1 << 0 << 0 << 52;
    QTest::newRow("V5 header") << MakeDib({124, 2, 2, 32, 0, 0, {}, {}, QByteArray(16, 0)}) << 2 << 2 << 0 << 0 << 124;
}

void TestDibBlock::measure()
{
    QFETCH(QByteArray, block);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colors);
    QFETCH(int, tableSize);
    QFETCH(int, bitsOffset);
    QCOMPARE(GetDibWidth(block), width);
    QCOMPARE(GetDibHeight(block), height);
    QCOMPARE(int(GetDibColorCount(block)), colors);
    QCOMPARE(GetDibColorTableSize(block), tableSize);
    QCOMPARE(GetDibBits(block) - reinterpret_cast<const uchar *>(block.constData()), bitsOffset);
}

void TestDibBlock::read_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QImage>("expected");

    // 1 bit, 3 x 2, bottom-up: the stored first row is the picture's last.
    QTest::newRow("1 bit") << MakeDib({40, 3, 2, 1, 0, 0, {R, B}, {}, Bytes({0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0})})
                           << Expected(3, 2, {B, R, B, R, B, R});
    QTest::newRow("4 bit odd width") << MakeDib({40, 3, 1, 4, 0, 3, {R, G, B}, {}, Bytes({0x21, 0x00, 0, 0})})
                                     << Expected(3, 1, {B, G, R});
    QTest::newRow("8 bit") << MakeDib({40, 2, 2, 8, 0, 4, {R, G, B, W}, {}, Bytes({2, 3, 0, 0, 0, 1, 0, 0})})
                           << Expected(2, 2, {R, G, B, W});
    QTest::newRow("8 bit index past table is black") << MakeDib({40, 1, 1, 8, 0, 1, {W}, {}, Bytes({7, 0, 0, 0})})
                                                     << Expected(1, 1, {K});
    QTest::newRow("24 bit padded rows") << MakeDib({40, 1, 2, 24, 0, 0, {}, {}, Bytes({0, 0, 255, 0, 0, 255, 0, 0})})
                                        << Expected(1, 2, {G, R});
    QTest::newRow("24 bit top-down") << MakeDib({40, 2, -1, 24, 0, 0, {}, {}, Bytes({255, 0, 0, 255, 255, 255, 0, 0})})
                                     << Expected(2, 1, {B, W});
    QTest::newRow("core 8 bit") << MakeDib({12, 2, 1, 8, 0, 0, QList<QRgb>{Y, C} + QList<QRgb>(254, K), {},
                                            Bytes({1, 0, 0, 0})})
                                << Expected(2, 1, {C, Y});
    QTest::newRow("16 bit 555") << MakeDib({40, 2, 1, 16, 0, 0, {}, {}, Bytes({0x00, 0x7C, 0x1F, 0x00})})
                                << Expected(2, 1, {R, B});
    QTest::newRow("16 bit 565 fields") << MakeDib({40, 1, 1, 16, 3, 0, {}, {0xF800, 0x07E0, 0x001F}, Bytes({0xE0, 0x07, 0, 0})})
                                       << Expected(1, 1, {G});
    QTest::newRow("32 bit alpha ignored") << MakeDib({40, 1, 1, 32, 0, 0, {}, {}, Bytes({0xFF, 0xFF, 0x00, 0x00})})
                                          << Expected(1, 1, {C});
}

void TestDibBlock::read()
{
    QFETCH(QByteArray, block);
    QFETCH(QImage, expected);
    const QImage image = DibToImage(block);
    QCOMPARE(image.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            QVERIFY2(image.pixel(x, y) == expected.pixel(x, y), qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));

    // Drawn at its natural size it lands pixel for pixel.
    QImage canvas = Canvas(expected.size() + QSize(2, 2));
    QPainter painter(&canvas);
    QVERIFY(DrawDib(painter, QRect(QPoint(1, 1), expected.size()), block, QRect(QPoint(), expected.size())));
    painter.end();
    QCOMPARE(canvas.copy(QRect(QPoint(1, 1), expected.size())), expected);
    QCOMPARE(canvas.pixel(0, 0), 0xFF808080u);
}

void TestDibBlock::hostile_data()
{
    QTest::addColumn<QByteArray>("block");

    const QByteArray good = MakeDib({40, 2, 2, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("three bytes") << QByteArray("\x28\0\0", 3);
    QTest::newRow("shorter than header") << good.left(39);
    QTest::newRow("header size zero") << QByteArray(64, '\0');
    QTest::newRow("header size huge") << [&] { QByteArray b = good; Put32(b, 0, 0x7FFFFFFF); return b; }();
    QTest::newRow("header size past block") << [&] { QByteArray b = good; Put32(b, 0, 200); return b; }();
    QTest::newRow("odd header size") << [&] { QByteArray b = good; Put32(b, 0, 20); return b; }();
    QTest::newRow("core shorter than header") << MakeDib({12, 1, 1, 24, 0, 0, {}, {}, {}}).left(11);
    QTest::newRow("rows missing") << good.left(good.size() - 1);
    QTest::newRow("table missing") << MakeDib({40, 1, 1, 8, 0, 0, {R, G}, {}, {}});
    QTest::newRow("colours used past block") << MakeDib({40, 1, 1, 8, 0, 0xFFFF, {R}, {}, QByteArray(4, 0)});
    QTest::newRow("zero width") << MakeDib({40, 0, 2, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("negative width") << MakeDib({40, -2, 2, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("zero height") << MakeDib({40, 2, 0, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("INT_MIN height") << MakeDib({40, 2, INT_MIN, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("absurd width") << MakeDib({40, INT_MAX, 1, 1, 0, 0, {K, W}, {}, QByteArray(64, 0)});
    QTest::newRow("absurd area") << MakeDib({40, 30000, 30000, 1, 0, 0, {K, W}, {}, QByteArray(64, 0)});
    QTest::newRow("core zero size") << MakeDib({12, 0, 0, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("odd bit count") << MakeDib({40, 2, 2, 7, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("run-length compressed") << MakeDib({40, 2, 2, 8, 1, 0, QList<QRgb>(256, K), {}, QByteArray(16, 0)});
    QTest::newRow("bit fields without masks") << MakeDib({40, 1, 1, 32, 3, 0, {}, {}, {}});
}

void TestDibBlock::hostile()
{
    QFETCH(QByteArray, block);
    QVERIFY(DibToImage(block).isNull());
    QImage canvas = Canvas(QSize(8, 8));
    const QImage before = canvas;
    QPainter painter(&canvas);
    QVERIFY(!DrawDib(painter, QRect(0, 0, 8, 8), block, QRect(0, 0, 8, 8)));
    QVERIFY(!DrawDib(painter, QRect(0, 0, 8, 8), block, QRect(0, 0, 2, 2)));
    painter.end();
    QCOMPARE(canvas, before);
    // Measuring and the palette stay inside the block as well.
    QList<QRgb> palette;
    if (MakeDibPalette(block, palette))
        QVERIFY(GetDibBits(block) != nullptr);
    if (const uchar *bits = GetDibBits(block))
        QVERIFY(bits <= reinterpret_cast<const uchar *>(block.constData()) + block.size());
}

void TestDibBlock::drawUnscaledAtDestination()
{
    // A source rectangle picks part of the picture, counted from the top.
    const QByteArray block = MakeDib({40, 2, 2, 8, 0, 4, {R, G, B, W}, {}, Bytes({2, 3, 0, 0, 0, 1, 0, 0})});
    QImage canvas = Canvas(QSize(4, 4));
    QPainter painter(&canvas);
    QVERIFY(DrawDib(painter, QRect(3, 3, 1, 1), block, QRect(1, 1, 1, 1)));
    painter.end();
    QCOMPARE(canvas.pixel(3, 3), W);
    QCOMPARE(canvas.pixel(2, 2), 0xFF808080u);
}

void TestDibBlock::drawScaledWithoutSmoothing()
{
    const QByteArray block = MakeDib({40, 2, 1, 24, 0, 0, {}, {}, Bytes({0, 0, 255, 255, 0, 0, 0, 0})});
    QImage canvas = Canvas(QSize(4, 2));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    QVERIFY(DrawDib(painter, QRect(0, 0, 4, 2), block, QRect(0, 0, 2, 1)));
    painter.end();
    QCOMPARE(canvas, Expected(4, 2, {R, R, B, B, R, R, B, B}));
}

void TestDibBlock::palette()
{
    QList<QRgb> palette;
    QVERIFY(MakeDibPalette(MakeDib({40, 1, 1, 8, 0, 0, QList<QRgb>{R, G} + QList<QRgb>(254, W), {}, QByteArray(4, 0)}),
                           palette));
    QCOMPARE(palette.size(), 256);
    QCOMPARE(palette.first(), R);
    QCOMPARE(palette.last(), W);
    QVERIFY(MakeDibPalette(MakeDib({12, 1, 1, 1, 0, 0, {Y, C}, {}, QByteArray(4, 0)}), palette));
    QCOMPARE(palette, (QList<QRgb>{Y, C}));
    QVERIFY(!MakeDibPalette(MakeDib({40, 1, 1, 24, 0, 0, {}, {}, QByteArray(4, 0)}), palette));
    QVERIFY(palette.isEmpty());
}

void TestDibBlock::packedDibRoundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QTest::newRow("odd width pads rows") << Expected(3, 2, {R, G, B, W, K, Y});
    QTest::newRow("one pixel") << Expected(1, 1, {C});
    QTest::newRow("indexed source") << Expected(2, 2, {R, G, B, W}).convertToFormat(QImage::Format_Indexed8);
}

void TestDibBlock::packedDibRoundTrip()
{
    QFETCH(QImage, image);
    const QByteArray block = MakePackedDib(image);
    QCOMPARE(block.size(), PackedDibSize(image.size()));
    QCOMPARE(GetDibWidth(block), image.width());
    QCOMPARE(GetDibHeight(block), image.height());     // positive: bottom-up
    QCOMPARE(GetDibColorCount(block), quint16(0));
    QCOMPARE(DibToImage(block), image.convertToFormat(QImage::Format_RGB32));
}

void TestDibBlock::transparentLaidOnWhite()
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, 0x00000000);
    image.setPixel(1, 0, 0xFF0000FF);
    QCOMPARE(DibToImage(MakePackedDib(image)), Expected(2, 1, {W, B}));
    QVERIFY(MakePackedDib(QImage()).isNull());
}

void TestDibBlock::bmpFile()
{
    const QByteArray block = MakeDib({40, 1, 1, 8, 0, 2, {R, G}, {}, Bytes({1, 0, 0, 0})});
    const QByteArray file = BmpFileFromDib(block);
    QCOMPARE(file.size(), 14 + block.size());
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 10), 14u + 48u);
    QCOMPARE(DibFromBmpFile(file), block);
    // Qt reads the file as the same picture.
    QCOMPARE(QImage::fromData(file, "BMP").convertToFormat(QImage::Format_RGB32), Expected(1, 1, {G}));
    QVERIFY(DibFromBmpFile(QByteArray("XY") + block).isNull());
    QVERIFY(DibFromBmpFile("BM").isNull());
    QVERIFY(BmpFileFromDib(QByteArray(8, '\0')).isNull());
}

void TestDibBlock::duplicate()
{
    const QByteArray block = MakeDib({40, 1, 1, 24, 0, 0, {}, {}, QByteArray(4, 0)});
    const QByteArray copy = DuplicateMemoryBlock(block);
    QCOMPARE(copy, block);
    QVERIFY(copy.constData() != block.constData());
    QVERIFY(DuplicateMemoryBlock(QByteArray()).isNull());
}

QTEST_GUILESS_MAIN(TestDibBlock)
#include "tst_dibblock.moc"
