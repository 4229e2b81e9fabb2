#include "photo/photofile.h"

#include "photo/dibblock.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

CPhotoFile::EResult CPhotoFile::Read(const QString &path, QSize box, QByteArray &picture)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return EResult::unreadable;
    if (file.size() > kMaxFileBytes)
        return EResult::tooLarge;
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    // The size comes from the header; a file that does not say is not decoded at all.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return EResult::unreadable;
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        return EResult::tooWide;
    const QImage image = reader.read();
    if (image.isNull())
        return EResult::unreadable;
    QByteArray block = MakePackedDib(Scaled(image, box));
    if (block.isEmpty())
        return EResult::unreadable;
    picture = block;
    return EResult::taken;
}

QSize CPhotoFile::Fitted(QSize picture, QSize box)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    QSize fitted = picture.scaled(box, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

QImage CPhotoFile::Scaled(const QImage &image, QSize box)
{
    const QSize size = Fitted(image.size(), box);
    if (size == image.size())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QString CPhotoFile::Message(EResult result, const QString &fileName)
{
    switch (result) {
    case EResult::tooLarge:
        return QStringLiteral("%1: ファイルが大きすぎます（16MBまで）。").arg(fileName);
    case EResult::tooWide:
        return QStringLiteral("%1: 画像が大きすぎます（縦横 8000 ピクセルまで）。").arg(fileName);
    case EResult::unreadable:
        return QStringLiteral("%1: 画像を読み込めません。壊れているか、PNG、JPEG、BMP ではありません。").arg(fileName);
    case EResult::taken:
        break;
    }
    return {};
}
