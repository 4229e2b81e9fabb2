// Picture blocks: measuring, reading, drawing, and blocks that lie about their size.
#include "photo/dibblock.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPainter>
#include <QTest>
#include <QtEndian>

#include <climits>

namespace {

struct SDibSpec {
    int nHeader = 40;
    qint32 width = 0;
    qint32 height = 0;
    int nBits = 24;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    QList<QRgb> table;
    QList<quint32> masks; // written after the header for bit fields
    QByteArray rows;      // already padded, in stored order
};

void Put16(QByteArray &b, int at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}
void Put32(QByteArray &b, int at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

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
    void packedDib_data();
    void packedDib();
    void bmpFile();
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
    QTest::newRow("info 8") << MakeDib({40, 4, 1, 8, 0, 0, QList<QRgb>(256, K), {}, QByteArray(4, 0)}) << 4 << 1 << 256
                            << 1024 << 1064;
    // Colours-used counts as a 16-bit number, also on a 24-bit picture.
    QTest::newRow("colours used 16-bit") << MakeDib({40, 1, 1, 8, 0, 0x10002, {R, G}, {}, QByteArray(4, 0)}) << 1 << 1 << 2
                                         << 8 << 48;
    QTest::newRow("colours used on 24") << MakeDib({40, 1, 1, 24, 0, 1, {R}, {}, QByteArray(4, 0)}) << 1 << 1 << 1 << 4
                                        << 44;
    QTest::newRow("top-down") << MakeDib({40, 2, -3, 24, 0, 0, {}, {}, QByteArray(24, 0)}) << 2 << -3 << 0 << 0 << 40;
    QTest::newRow("core 1, 16-bit sizes") << MakeDib({12, 40000, 1, 1, 0, 0, {K, W}, {}, {}}) << 40000 << 1 << 2 << 6 << 18;
    QTest::newRow("bit fields") << MakeDib({40, 1, 1, 16, 3, 0, {}, {0xF800, 0x7E0, 0x1F}, QByteArray(4, 0)}) << 1 << 1 << 0
                                << 0 << 52;
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
    QList<QRgb> palette;
    QCOMPARE(MakeDibPalette(block, palette), colors > 0);
    QCOMPARE(palette.size(), colors);
}

void TestDibBlock::read_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QImage>("expected");

    // Bottom-up: the first stored row is the picture's last.
    QTest::newRow("1 bit") << MakeDib({40, 3, 2, 1, 0, 0, {R, B}, {}, Bytes({0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0})})
                           << Expected(3, 2, {B, R, B, R, B, R});
    QTest::newRow("4 bit odd width") << MakeDib({40, 3, 1, 4, 0, 3, {R, G, B}, {}, Bytes({0x21, 0x00, 0, 0})})
                                     << Expected(3, 1, {B, G, R});
    QTest::newRow("8 bit") << MakeDib({40, 2, 2, 8, 0, 4, {R, G, B, W}, {}, Bytes({2, 3, 0, 0, 0, 1, 0, 0})})
                           << Expected(2, 2, {R, G, B, W});
    QTest::newRow("8 bit index past table is black")
        << MakeDib({40, 1, 1, 8, 0, 1, {W}, {}, Bytes({7, 0, 0, 0})}) << Expected(1, 1, {K});
    QTest::newRow("24 bit padded rows") << MakeDib({40, 1, 2, 24, 0, 0, {}, {}, Bytes({0, 0, 255, 0, 0, 255, 0, 0})})
                                        << Expected(1, 2, {G, R});
    QTest::newRow("24 bit top-down") << MakeDib({40, 2, -1, 24, 0, 0, {}, {}, Bytes({255, 0, 0, 255, 255, 255, 0, 0})})
                                     << Expected(2, 1, {B, W});
    QTest::newRow("core 8 bit") << MakeDib(
        {12, 2, 1, 8, 0, 0, QList<QRgb>{Y, C} + QList<QRgb>(254, K), {}, Bytes({1, 0, 0, 0})})
                                << Expected(2, 1, {C, Y});
    QTest::newRow("16 bit 555") << MakeDib({40, 2, 1, 16, 0, 0, {}, {}, Bytes({0x00, 0x7C, 0x1F, 0x00})})
                                << Expected(2, 1, {R, B});
    QTest::newRow("16 bit 565 fields") << MakeDib(
        {40, 1, 1, 16, 3, 0, {}, {0xF800, 0x07E0, 0x001F}, Bytes({0xE0, 0x07, 0, 0})})
                                       << Expected(1, 1, {G});
    QTest::newRow("32 bit alpha ignored") << MakeDib({40, 1, 1, 32, 0, 0, {}, {}, Bytes({0xFF, 0xFF, 0x00, 0x00})})
                                          << Expected(1, 1, {C});
}

void TestDibBlock::read()
{
    QFETCH(QByteArray, block);
    QFETCH(QImage, expected);
    QCOMPARE(GetDibSize(block), expected.size());
    QCOMPARE(DibToImage(block), expected);

    // At its natural size it lands pixel for pixel at the destination; doubled
    // it is scaled without smoothing, whatever the painter was set to.
    const QSize size = expected.size();
    QImage canvas = Canvas(QSize(1, 1) + size * 3);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    QVERIFY(DrawDib(painter, QRect(QPoint(1, 1), size), block, QRect(QPoint(), size)));
    QVERIFY(DrawDib(painter, QRect(QPoint(1, 1) + QPoint(size.width(), size.height()), size * 2), block,
                    QRect(QPoint(), size)));
    painter.end();
    QCOMPARE(canvas.copy(QRect(QPoint(1, 1), size)), expected);
    QCOMPARE(canvas.copy(QRect(QPoint(1, 1) + QPoint(size.width(), size.height()), size * 2)), expected.scaled(size * 2));
    QCOMPARE(canvas.pixel(0, 0), 0xFF808080u);
}

void TestDibBlock::hostile_data()
{
    QTest::addColumn<QByteArray>("block");

    const QByteArray good = MakeDib({40, 2, 2, 24, 0, 0, {}, {}, QByteArray(16, 0)});
    const auto withHeaderSize = [&](quint32 size) {
        QByteArray b = good;
        Put32(b, 0, size);
        return b;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("three bytes") << QByteArray("\x28\0\0", 3);
    QTest::newRow("shorter than header") << good.left(39);
    QTest::newRow("header size zero") << QByteArray(64, '\0');
    QTest::newRow("header size huge") << withHeaderSize(0x7FFFFFFF);
    QTest::newRow("header size past block") << withHeaderSize(200);
    QTest::newRow("odd header size") << withHeaderSize(20);
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
    QTest::newRow("odd bit count") << MakeDib({40, 2, 2, 7, 0, 0, {}, {}, QByteArray(16, 0)});
    QTest::newRow("run-length compressed") << MakeDib({40, 2, 2, 8, 1, 0, QList<QRgb>(256, K), {}, QByteArray(16, 0)});
    QTest::newRow("bit fields without masks") << MakeDib({40, 1, 1, 32, 3, 0, {}, {}, {}});
}

void TestDibBlock::hostile()
{
    QFETCH(QByteArray, block);
    QVERIFY(DibToImage(block).isNull());
    QVERIFY(GetDibSize(block).isEmpty());
    QImage canvas = Canvas(QSize(8, 8));
    const QImage before = canvas;
    QPainter painter(&canvas);
    QVERIFY(!DrawDib(painter, QRect(0, 0, 8, 8), block, QRect(0, 0, 8, 8)));
    QVERIFY(!DrawDib(painter, QRect(0, 0, 8, 8), block, QRect(0, 0, 2, 2)));
    painter.end();
    QCOMPARE(canvas, before);
    if (const uchar *bits = GetDibBits(block))
        QVERIFY(bits <= reinterpret_cast<const uchar *>(block.constData()) + block.size());
}

void TestDibBlock::packedDib_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QImage>("expected");
    const QImage odd = Expected(3, 2, {R, G, B, W, K, Y});
    QTest::newRow("odd width pads rows") << odd << odd;
    QTest::newRow("indexed source") << odd.convertToFormat(QImage::Format_Indexed8) << odd;
    QImage clear(2, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, 0x00000000);
    clear.setPixel(1, 0, B);
    QTest::newRow("transparent laid on white") << clear << Expected(2, 1, {W, B});
}

void TestDibBlock::packedDib()
{
    QFETCH(QImage, image);
    QFETCH(QImage, expected);
    const QByteArray block = MakePackedDib(image);
    QCOMPARE(block.size(), PackedDibSize(image.size()));
    QCOMPARE(GetDibHeight(block), image.height()); // positive: bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(block.constData() + 14), quint16(24));
    QCOMPARE(DibToImage(block), expected);
}

void TestDibBlock::bmpFile()
{
    const QByteArray block = MakeDib({40, 1, 1, 8, 0, 2, {R, G}, {}, Bytes({1, 0, 0, 0})});
    const QByteArray file = BmpFileFromDib(block);
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 10), 14u + 48u);
    QCOMPARE(DibFromBmpFile(file), block);
    // Other programs read the file as the same picture.
    QCOMPARE(QImage::fromData(file, "BMP").convertToFormat(QImage::Format_RGB32), Expected(1, 1, {G}));
    QVERIFY(DibFromBmpFile(QByteArray("XY") + block).isNull());
    QVERIFY(BmpFileFromDib(QByteArray(8, '\0')).isNull());
}

QTEST_GUILESS_MAIN(TestDibBlock)
#include "tst_dibblock.moc"
