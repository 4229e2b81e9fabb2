// The face photo box: where the picture lands, the context menu, the clipboard
// in both directions, dropped files, and pictures too large to take.
#include "employee/dibblock.h"
#include "employee/photobox.h"
#include "employee/picturetransfer.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
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
    b += QByteArray("\x00\x00\xFF" "\xFF\x00\x00", 6);
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
        box->resize(41, 31);
        window.resize(100, 100);
        window.show();
    }
    QWidget window;
    CPhotoBox *box;
};

const QRgb kRed = 0xFFFF0000;
} // namespace

class TestPhotoBox : public QObject
{
    Q_OBJECT

private slots:
    void pictureOrigin_data();
    void pictureOrigin();
    void paintsFrameAndCentredPicture();
    void largePictureClippedUnderTheFrame();
    void contextMenu();
    void paste_data();
    void paste();
    void copyOffersDibAndImage();
    void cutThenPasteRestoresTheBytes();
    void copyOnEmptyBoxLeavesClipboard();
    void tooLargeRefused_data();
    void tooLargeRefused();
    void droppedFile_data();
    void droppedFile();
    void createOverControl();
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

void TestPhotoBox::largePictureClippedUnderTheFrame()
{
    SBox s;
    s.box->resize(6, 6);
    s.box->SetPicture(MakePackedDib(Solid(QSize(20, 20), kRed)));
    const QImage shot = s.box->grab().toImage();
    QCOMPARE(shot.pixel(0, 0), 0xFF000000u);
    QCOMPARE(shot.pixel(5, 3), 0xFF000000u);
    QCOMPARE(shot.pixel(1, 1), kRed);
    QCOMPARE(shot.pixel(4, 4), kRed);
    // Unreadable bytes show the empty box.
    s.box->SetPicture("not a picture");
    QCOMPARE(s.box->grab().toImage().pixel(2, 2), 0xFFFFFFFFu);
}

void TestPhotoBox::contextMenu()
{
    SBox s;
    std::unique_ptr<QMenu> menu(s.box->CreateContextMenu(nullptr));
    QStringList texts;
    QList<int> ids;
    for (QAction *action : menu->actions()) {
        texts << action->text();
        ids << action->data().toInt();
        QVERIFY(action->isEnabled());
    }
    QCOMPARE(texts, QStringList({"切り取り(&T)", "ｺﾋﾟｰ(&C)", "貼り付け(&P)"}));
    QCOMPARE(ids, QList<int>({57635, 57634, 57637}));
    QCOMPARE(s.box->ContextMenuPoint(QPoint(300, 200), false), QPoint(300, 200));
    QCOMPARE(s.box->ContextMenuPoint(QPoint(-1, -1), true), s.box->mapToGlobal(QPoint(5, 5)));

    // The actions reach the box: Cut empties it.
    s.box->SetPicture(CoreHeaderDib());
    menu->actions().first()->trigger();
    QVERIFY(s.box->GetPicture().isEmpty());
}

void TestPhotoBox::paste_data()
{
    QTest::addColumn<QString>("format");   // empty: an image set as such
    QTest::addColumn<QByteArray>("offered");
    QTest::addColumn<QByteArray>("stored");

    const QByteArray core = CoreHeaderDib();
    const QImage photo = Solid(QSize(3, 2), 0xFF102030);
    QTest::newRow("raw DIB as received") << CPictureTransfer::DibMimeType() << core << core;
    QTest::newRow("BMP minus file header") << "image/bmp" << BmpFileFromDib(core) << core;
    QTest::newRow("PNG converted") << "image/png" << PngOf(photo) << MakePackedDib(photo);
    QTest::newRow("image converted") << QString() << QByteArray() << MakePackedDib(photo);
    QTest::newRow("text only: unchanged") << "text/plain" << QByteArray("hello") << QByteArray("old");
    QTest::newRow("empty DIB: unchanged") << CPictureTransfer::DibMimeType() << QByteArray() << QByteArray("old");
}

void TestPhotoBox::paste()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, offered);
    QFETCH(QByteArray, stored);
    SBox s;
    s.box->SetPicture("old");
    auto *mime = new QMimeData;
    if (format.isEmpty())
        mime->setImageData(Solid(QSize(3, 2), 0xFF102030));
    else
        mime->setData(format, offered);
    QApplication::clipboard()->setMimeData(mime);
    CDialogAnswers answers([](QDialog &) { return QDialog::Accepted; });
    s.box->OnEditPaste();
    QCOMPARE(s.box->GetPicture(), stored);
    QVERIFY(answers.Texts().isEmpty());
}

void TestPhotoBox::copyOffersDibAndImage()
{
    SBox s;
    const QByteArray core = CoreHeaderDib();
    s.box->SetPicture(core);
    s.box->OnEditCopy();
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QCOMPARE(mime->data(CPictureTransfer::DibMimeType()), core);
    QCOMPARE(DibFromBmpFile(mime->data("image/bmp")), core);
    QCOMPARE(qvariant_cast<QImage>(mime->imageData()).convertToFormat(QImage::Format_RGB32), DibToImage(core));
    QCOMPARE(s.box->GetPicture(), core);
}

void TestPhotoBox::cutThenPasteRestoresTheBytes()
{
    SBox s;
    const QByteArray core = CoreHeaderDib();
    s.box->SetPicture(core);
    s.box->OnEditCut();
    QVERIFY(s.box->GetPicture().isEmpty());
    s.box->OnEditPaste();
    QCOMPARE(s.box->GetPicture(), core);
}

void TestPhotoBox::copyOnEmptyBoxLeavesClipboard()
{
    SBox s;
    QApplication::clipboard()->setText(QStringLiteral("keep"));
    s.box->OnEditCopy();
    s.box->OnEditCut();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
}

void TestPhotoBox::tooLargeRefused_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("offered");
    // 2400 x 2400 at 24 bits is 17.3 MB, though its PNG is small.
    QTest::newRow("PNG") << "image/png" << PngOf(Solid(QSize(2400, 2400), kRed));
    QTest::newRow("image") << QString() << QByteArray();
    QTest::newRow("raw DIB") << CPictureTransfer::DibMimeType() << QByteArray(kMaxPictureBytes + 1, '\0');
}

void TestPhotoBox::tooLargeRefused()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, offered);
    SBox s;
    s.box->SetPicture("old");
    auto *mime = new QMimeData;
    if (format.isEmpty())
        mime->setImageData(Solid(QSize(2400, 2400), kRed));
    else
        mime->setData(format, offered);
    QApplication::clipboard()->setMimeData(mime);
    CDialogAnswers answers([](QDialog &) { return QDialog::Accepted; });
    s.box->OnEditPaste();
    QCOMPARE(s.box->GetPicture(), QByteArray("old"));
    QCOMPARE(answers.Texts(), QStringList({"画像が大きすぎます。16MB以下の画像を使ってください。"}));
}

void TestPhotoBox::droppedFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("stored");     // empty: refused
    QTest::addColumn<QString>("message");

    const QImage photo = Solid(QSize(5, 3), 0xFF405060);
    QTest::newRow("PNG") << PngOf(photo) << MakePackedDib(photo) << QString();
    QTest::newRow("BMP kept") << BmpFileFromDib(CoreHeaderDib()) << CoreHeaderDib() << QString();
    QTest::newRow("not a picture") << QByteArray("just text") << QByteArray()
                                   << "画像を読み込めません。PNG、JPEG、BMPのファイルを使ってください。";
    QTest::newRow("too large") << PngOf(Solid(QSize(2400, 2400), kRed)) << QByteArray()
                               << "画像が大きすぎます。16MB以下の画像を使ってください。";
}

void TestPhotoBox::droppedFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("face.img"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    SBox s;
    s.box->SetPicture("old");
    QSignalSpy changed(s.box, &CPhotoBox::pictureChanged);
    CDialogAnswers answers([](QDialog &) { return QDialog::Accepted; });
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls({QUrl::fromLocalFile(path)});
    Drop(s.box, mime.get());
    QCOMPARE(s.box->GetPicture(), stored.isEmpty() ? QByteArray("old") : stored);
    QCOMPARE(changed.count(), stored.isEmpty() ? 0 : 1);
    QCOMPARE(answers.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
}

void TestPhotoBox::createOverControl()
{
    QWidget dialog;
    auto *placeholder = new QWidget(&dialog);
    placeholder->setGeometry(14, 12, 105, 130);
    auto *box = new CPhotoBox;
    box->CreateOverControl(placeholder);
    QCOMPARE(box->parentWidget(), &dialog);
    QCOMPARE(box->geometry(), placeholder->geometry());
    QCOMPARE(dialog.childAt(60, 60), box);
    QCOMPARE(placeholder->parentWidget(), &dialog);
}

QTEST_MAIN(TestPhotoBox)
#include "tst_photobox.moc"
