// libFuzzer target: picture blocks as they come off the clipboard or the database.
#include "fuzzrequire.h"
#include "photo/dibblock.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char *>(data), qsizetype(size));

    const qint32 width = GetDibWidth(block);
    const qint32 height = GetDibHeight(block);
    GetDibColorCount(block);
    Require(GetDibColorTableSize(block) >= 0);
    const uchar *bits = GetDibBits(block);
    const auto *end = reinterpret_cast<const uchar *>(block.constData()) + block.size();
    if (bits)
        Require(bits >= reinterpret_cast<const uchar *>(block.constData()) && bits <= end);

    QList<QRgb> palette;
    if (MakeDibPalette(block, palette))
        Require(palette.size() == GetDibColorCount(block));

    const QImage image = DibToImage(block);
    if (image.isNull()) {
        Require(GetDibSize(block).isEmpty());
    } else {
        Require(bits != nullptr);
        Require(image.width() == width && image.height() == qAbs(qint64(height)));
        Require(GetDibSize(block) == image.size());
    }

    QImage canvas(16, 16, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        const QRect source(0, 0, qBound(0, width, 64), int(qBound(qint64(0), qAbs(qint64(height)), qint64(64))));
        Require(DrawDib(painter, QRect(QPoint(1, 1), source.size()), block, source, &palette) == !image.isNull());
        DrawDib(painter, QRect(0, 0, 16, 16), block, QRect(2, 3, 5, 7));
    }

    const QByteArray file = BmpFileFromDib(block);
    if (!file.isEmpty())
        Require(DibFromBmpFile(file) == block);
    DibFromBmpFile(block);
    Require(DuplicateMemoryBlock(block) == block);
    return 0;
}
