// The face photo box: where the picture lands, the context menu, the clipboard
// in both directions, dropped files, and pictures too large to take.
#include "photo/dibblock.h"
#include "employee/photobox.h"
#include "photo/picturetransfer.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>
#include <memory>

namespace {
QImage Solid(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A 2 x 1 picture with a 12-byte core header and a two-entry table: bytes
// that no conversion would produce.
QByteArray CoreHeaderDib()
{
    QByteArray b(12, '\0');
    qToLittleEndian<quint32>(12, b.data());
    qToLittleEndian<quint16>(2, b.data() + 4);
    qToLittleEndian<quint16>(1, b.data() + 6);
    qToLittleEndian<quint16>(1, b.data() + 8);
    qToLittleEndian<quint16>(1, b.data() + 10);
    b += QByteArray("\x00\x00\xFF"
                    "\xFF\x00\x00",
                    6);
    b += QByteArray("\x40\0\0\0", 4);
    return b;
}

QByteArray PngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Enter first: the drop goes to the widget the drag entered.
void Drop(QWidget *target, QMimeData *mime)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

struct SBox {
    SBox()
    {
        box = new CPhotoBox(&window);
        box->SetPicture("old");
        window.show();
    }
    QWidget window;
    CPhotoBox *box;
    CDialogAnswers answers{[](QDialog &) { return int(QDialog::Accepted); }};
};

const QRgb kRed = 0xFFFF0000;
const QString kTooLarge = QStringLiteral("画像が大きすぎます。16MB以下の画像を使ってください。");
// 2400 x 2400 at 24 bits is 17.3 MB, though its PNG is small.
const QSize kTooLargeSize(2400, 2400);
} // namespace

class TestPhotoBox : public QObject
{
    Q_OBJECT

private slots:
    void pictureOrigin_data();
    void pictureOrigin();
    void paintsFrameAndCentredPicture();
    void contextMenu();
    void paste_data();
    void paste();
    void copyAndCut();
    void droppedFile_data();
    void droppedFile();
    void fromFileScaled();
};

void TestPhotoBox::pictureOrigin_data()
{
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("even margins") << QSize(10, 10) << QSize(4, 6) << QPoint(3, 2);
    QTest::newRow("odd remainder right and bottom") << QSize(11, 9) << QSize(4, 4) << QPoint(3, 2);
    QTest::newRow("same size") << QSize(8, 8) << QSize(8, 8) << QPoint(0, 0);
    QTest::newRow("larger: top-left") << QSize(8, 8) << QSize(20, 30) << QPoint(0, 0);
    QTest::newRow("wider, lower") << QSize(8, 8) << QSize(20, 4) << QPoint(0, 2);
}

void TestPhotoBox::pictureOrigin()
{
    QFETCH(QSize, box);
    QFETCH(QSize, picture);
    QFETCH(QPoint, origin);
    QCOMPARE(CPhotoBox::PictureOrigin(box, picture), origin);
}

void TestPhotoBox::paintsFrameAndCentredPicture()
{
    SBox s;
    s.box->resize(11, 9);
    // Bytes that are no picture show the empty box.
    QImage shot = s.box->grab().toImage();
    QCOMPARE(shot.pixel(0, 0), 0xFF000000u);
    QCOMPARE(shot.pixel(10, 8), 0xFF000000u);
    QCOMPARE(shot.pixel(5, 4), 0xFFFFFFFFu);

    s.box->SetPicture(MakePackedDib(Solid(QSize(4, 4), kRed)));
    shot = s.box->grab().toImage();
    const QRect expected(3, 2, 4, 4);
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 10; ++x)
            QVERIFY2(shot.pixel(x, y) == (expected.contains(x, y) ? kRed : 0xFFFFFFFFu),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestPhotoBox::contextMenu()
{
    SBox s;
    std::unique_ptr<QMenu> menu(s.box->CreateContextMenu(nullptr));
    QStringList texts;
    QList<int> ids;
    for (QAction *action : menu->actions())
        texts << action->text(), ids << action->data().toInt();
    QCOMPARE(texts, QStringList({"切り取り(&T)", "ｺﾋﾟｰ(&C)", "貼り付け(&P)", "", "ファイルから..."}));
    QCOMPARE(ids, QList<int>({57635, 57634, 57637, 0, 32795}));
    QCOMPARE(s.box->ContextMenuPoint(QPoint(300, 200), false), QPoint(300, 200));
    QCOMPARE(s.box->ContextMenuPoint(QPoint(-1, -1), true), s.box->mapToGlobal(QPoint(5, 5)));
    menu->actions().first()->trigger();
    QVERIFY(s.box->GetPicture().isEmpty());
}

void TestPhotoBox::paste_data()
{
    QTest::addColumn<QString>("format"); // empty: an image set as such
    QTest::addColumn<QByteArray>("offered");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("message");

    const QByteArray core = CoreHeaderDib();
    const QImage photo = Solid(QSize(3, 2), 0xFF102030);
    const QByteArray photoDib = MakePackedDib(photo);
    const QString dib = CPictureTransfer::DibMimeType();
    QTest::newRow("raw DIB as received") << dib << core << QSize() << core << QString();
    QTest::newRow("BMP minus file header") << "image/bmp" << BmpFileFromDib(core) << QSize() << core << QString();
    QTest::newRow("PNG converted") << "image/png" << PngOf(photo) << QSize() << photoDib << QString();
    QTest::newRow("image converted") << QString() << QByteArray() << photo.size() << photoDib << QString();
    QTest::newRow("text: unchanged") << "text/plain" << QByteArray("hello") << QSize() << QByteArray("old") << QString();
    QTest::newRow("empty DIB: unchanged") << dib << QByteArray() << QSize() << QByteArray("old") << QString();
    QTest::newRow("PNG too large") << "image/png" << PngOf(Solid(kTooLargeSize, kRed)) << QSize() << QByteArray("old")
                                   << kTooLarge;
    QTest::newRow("image too large") << QString() << QByteArray() << kTooLargeSize << QByteArray("old") << kTooLarge;
    QTest::newRow("DIB too large") << dib << QByteArray(kMaxPictureBytes + 1, '\0') << QSize() << QByteArray("old")
                                   << kTooLarge;
}

void TestPhotoBox::paste()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, offered);
    QFETCH(QSize, imageSize);
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    SBox s;
    auto *mime = new QMimeData;
    if (format.isEmpty())
        mime->setImageData(Solid(imageSize, 0xFF102030));
    else
        mime->setData(format, offered);
    QApplication::clipboard()->setMimeData(mime);
    s.box->OnEditPaste();
    QCOMPARE(s.box->GetPicture(), stored);
    QCOMPARE(s.answers.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
}

void TestPhotoBox::copyAndCut()
{
    SBox s;
    // An empty box leaves the clipboard alone.
    s.box->ClearPicture();
    QApplication::clipboard()->setText(QStringLiteral("keep"));
    s.box->OnEditCopy();
    s.box->OnEditCut();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));

    const QByteArray core = CoreHeaderDib();
    s.box->SetPicture(core);
    s.box->OnEditCopy();
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    QCOMPARE(mime->data(CPictureTransfer::DibMimeType()), core);
    QCOMPARE(DibFromBmpFile(mime->data("image/bmp")), core);
    QCOMPARE(qvariant_cast<QImage>(mime->imageData()).convertToFormat(QImage::Format_RGB32), DibToImage(core));
    QCOMPARE(s.box->GetPicture(), core);

    s.box->OnEditCut();
    QVERIFY(s.box->GetPicture().isEmpty());
    s.box->OnEditPaste();
    QCOMPARE(s.box->GetPicture(), core);
}

void TestPhotoBox::droppedFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("stored"); // empty: refused
    QTest::addColumn<QString>("message");

    const QImage photo = Solid(QSize(5, 3), 0xFF405060);
    QTest::newRow("PNG") << PngOf(photo) << MakePackedDib(photo) << QString();
    QTest::newRow("BMP kept") << BmpFileFromDib(CoreHeaderDib()) << CoreHeaderDib() << QString();
    QTest::newRow("not a picture") << QByteArray("just text") << QByteArray()
                                   << "画像を読み込めません。PNG、JPEG、BMPのファイルを使ってください。";
    QTest::newRow("too large") << PngOf(Solid(kTooLargeSize, kRed)) << QByteArray() << kTooLarge;
}

void TestPhotoBox::droppedFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("face.img")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    SBox s;
    QSignalSpy changed(s.box, &CPhotoBox::pictureChanged);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file.fileName())});
    Drop(s.box, &mime);
    QCOMPARE(s.box->GetPicture(), stored.isEmpty() ? QByteArray("old") : stored);
    QCOMPARE(changed.count(), stored.isEmpty() ? 0 : 1);
    QCOMPARE(s.answers.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
}

// The file the dialog chose arrives scaled to the box, proportions kept.
void TestPhotoBox::fromFileScaled()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("face.png"));
    QVERIFY(Solid(QSize(400, 200), kRed).save(path));
    QWidget window;
    auto *box = new CPhotoBox(&window);
    box->resize(100, 120);
    QSignalSpy changed(box, &CPhotoBox::pictureChanged);
    CDialogAnswers answers([&path](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog))
            files->selectFile(path);
        return int(QDialog::Accepted);
    });
    box->OnFromFile();
    QCOMPARE(GetDibSize(box->GetPicture()), QSize(100, 50));
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(TestPhotoBox)
#include "tst_photobox.moc"
