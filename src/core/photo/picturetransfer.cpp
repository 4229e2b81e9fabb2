#include "photo/picturetransfer.h"

#include "photo/dibblock.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>
#include <QtEndian>

namespace {
const QString kBmpMime = QStringLiteral("image/bmp");
constexpr qsizetype kBmpFileHeader = 14;

// A BMP file's DIB is kept as it is when its rows start right after the
// colour table, as in a packed DIB, and the block can be drawn.
QByteArray PackedDibOfBmp(const QByteArray &file)
{
    const QByteArray block = DibFromBmpFile(file);
    const uchar *bits = GetDibBits(block);
    if (!bits || DibToImage(block).isNull())
        return {};
    const qint64 offset = bits - reinterpret_cast<const uchar *>(block.constData());
    if (qFromLittleEndian<quint32>(file.constData() + 10) != quint64(offset + kBmpFileHeader))
        return {};
    return block;
}

CPictureTransfer::EResult TakeImage(const QImage &image, QByteArray &picture)
{
    if (image.isNull())
        return CPictureTransfer::EResult::unreadable;
    if (PackedDibSize(image.size()) > kMaxPictureBytes)
        return CPictureTransfer::EResult::tooLarge;
    QByteArray block = MakePackedDib(image);
    if (block.isEmpty())
        return CPictureTransfer::EResult::unreadable;
    picture = block;
    return CPictureTransfer::EResult::taken;
}

// The size is asked before the pixels are decoded, so a small file that
// unpacks into a huge picture is refused without the memory for it.
CPictureTransfer::EResult ReadImage(QIODevice *device, QByteArray &picture)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return CPictureTransfer::EResult::unreadable;
    if (const QSize size = reader.size(); size.isValid() && PackedDibSize(size) > kMaxPictureBytes)
        return CPictureTransfer::EResult::tooLarge;
    return TakeImage(reader.read(), picture);
}

CPictureTransfer::EResult FromBytes(const QByteArray &bytes, QByteArray &picture)
{
    if (bytes.startsWith("BM")) {
        if (bytes.size() - kBmpFileHeader > kMaxPictureBytes)
            return CPictureTransfer::EResult::tooLarge;
        if (QByteArray block = PackedDibOfBmp(bytes); !block.isEmpty()) {
            picture = block;
            return CPictureTransfer::EResult::taken;
        }
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadImage(&buffer, picture);
}
} // namespace

QString CPictureTransfer::DibMimeType()
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"DeviceIndependentBitmap\"");
}

QMimeData *CPictureTransfer::MakeMimeData(const QByteArray &picture)
{
    auto *mime = new QMimeData;
    mime->setData(DibMimeType(), picture);
    if (const QByteArray file = BmpFileFromDib(picture); !file.isEmpty())
        mime->setData(kBmpMime, file);
    if (const QImage image = DibToImage(picture); !image.isNull())
        mime->setImageData(image);
    return mime;
}

CPictureTransfer::EResult CPictureTransfer::FromMimeData(const QMimeData &mime, QByteArray &picture)
{
    const QStringList formats = mime.formats();
    if (formats.contains(DibMimeType())) {
        const QByteArray block = mime.data(DibMimeType());
        if (block.isEmpty())
            return EResult::nothing;
        if (block.size() > kMaxPictureBytes)
            return EResult::tooLarge;
        picture = block;
        return EResult::taken;
    }
    if (formats.contains(kBmpMime)) {
        if (const EResult result = FromBytes(mime.data(kBmpMime), picture); result != EResult::unreadable)
            return result;
    }
    for (const QString &format : formats) {
        if (!format.startsWith(QLatin1String("image/")) || format == kBmpMime)
            continue;
        if (const EResult result = FromBytes(mime.data(format), picture); result != EResult::unreadable)
            return result;
    }
    if (mime.hasImage()) {
        const EResult result = TakeImage(qvariant_cast<QImage>(mime.imageData()), picture);
        return result == EResult::unreadable ? EResult::nothing : result;
    }
    return EResult::nothing;
}

CPictureTransfer::EResult CPictureTransfer::FromFile(const QString &path, QByteArray &picture)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return EResult::unreadable;
    if (file.peek(2) == "BM") {
        if (file.size() - kBmpFileHeader > kMaxPictureBytes)
            return EResult::tooLarge;
        return FromBytes(file.readAll(), picture);
    }
    return ReadImage(&file, picture);
}

bool CPictureTransfer::CanTake(const QMimeData &mime)
{
    if (mime.hasImage() || mime.formats().contains(DibMimeType()))
        return true;
    const QList<QUrl> urls = mime.urls();
    return !urls.isEmpty() && urls.first().isLocalFile();
}

QString CPictureTransfer::Message(EResult result)
{
    switch (result) {
    case EResult::tooLarge:
        return QStringLiteral("画像が大きすぎます。16MB以下の画像を使ってください。");
    case EResult::unreadable:
        return QStringLiteral("画像を読み込めません。PNG、JPEG、BMPのファイルを使ってください。");
    case EResult::taken:
    case EResult::nothing:
        break;
    }
    return {};
}
