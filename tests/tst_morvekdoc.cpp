// The company document: its default card layout and the layout file, byte for byte.
#include "app/morvekdoc.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    void missingFile();
    void titleIsAlwaysCompanyStructure();
};

void TestMorvekDoc::defaultLayoutRunsBackwards()
{
    const CMorvekDoc doc;
    QList<qint32> expected(kCreationOrder.rbegin(), kCreationOrder.rend());
    QCOMPARE(FieldNumbers(doc), expected);
    QCOMPARE(doc.m_fields.first().m_nKind, CCardField::kindPhoto);
    QCOMPARE(doc.m_fields.first().GetRect(), QRect(200, 200, 650, 250));
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
             QByteArray("030063000000c8000000c800000052030000c20100002400000000000000ffffff0000000000"));
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
    doc.m_nLayoutVersion = -7;
    doc.m_nCellWidth = 1234;
    doc.m_nCellHeight = 0;
    const CCardField odd{.m_nKind = -2, .m_nField = 12345678, .m_nLeft = -1, .m_nTop = 2, .m_nRight = 2000000000,
                         .m_nBottom = -2000000000, .m_nFormat = 0xfedcba98, .m_crText = 0x0000ff,
                         .m_crBack = 0x123456, .m_bBorder = 1};
    doc.m_fields = {odd, CMorvekDoc().m_fields.first()};

    CMorvekDoc loaded;
    QCOMPARE(Loaded(loaded, Stored(doc)), CMorvekDoc::EOpenResult::ok);
    QCOMPARE(loaded.m_nLayoutVersion, -7);
    QCOMPARE(loaded.m_nCellWidth, 1234);
    QCOMPARE(loaded.m_nCellHeight, 0);
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
}

void TestMorvekDoc::malformedFileIsRefused()
{
    QFETCH(QByteArray, bytes);
    CMorvekDoc doc;
    QCOMPARE(Loaded(doc, bytes), CMorvekDoc::EOpenResult::badFormat);
    QCOMPARE(doc.m_fields, CMorvekDoc().m_fields);
    QCOMPARE(doc.m_nCellWidth, 900);
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
