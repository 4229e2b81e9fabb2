#include "photo/facethumbnail.h"

#include "photo/dibblock.h"

QImage CFaceThumbnail::Make(const QByteArray &pictureBlock, int side)
{
    if (pictureBlock.isEmpty() || side <= 0)
        return {};
    const QImage picture = DibToImage(pictureBlock);
    if (picture.isNull())
        return {};
    if (picture.width() <= side && picture.height() <= side)
        return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
