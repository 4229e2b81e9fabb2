#include "photo/dibblock.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QtEndian>

#include <array>
#include <new>

namespace {

constexpr qint32 kInfoHeaderSize = 40;
constexpr qint32 kCoreHeaderSize = 12;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitFields = 3;
constexpr qint32 kFileHeaderSize = 14;
// Beyond this a block is taken as hostile rather than a photo.
constexpr qint64 kMaxSide = 32767;
constexpr qint64 kMaxPixels = qint64(1) << 24;

quint16 ReadU16(const QByteArray &block, qsizetype offset)
{
    if (offset < 0 || offset + 2 > block.size())
        return 0;
    return qFromLittleEndian<quint16>(block.constData() + offset);
}

quint32 ReadU32(const QByteArray &block, qsizetype offset)
{
    if (offset < 0 || offset + 4 > block.size())
        return 0;
    return qFromLittleEndian<quint32>(block.constData() + offset);
}

enum class EHeader { none, core, info };

// Headers of 52 bytes and more (V2 to V5) begin with the information header's
// fields; any other size than those and the core header's is not a picture.
EHeader HeaderKind(const QByteArray &block)
{
    const quint32 size = ReadU32(block, 0);
    if (size == quint32(kCoreHeaderSize) && block.size() >= kCoreHeaderSize)
        return EHeader::core;
    if (size >= quint32(kInfoHeaderSize) && size <= quint32(block.size()) && size != 64)
        return EHeader::info;
    return EHeader::none;
}

struct SLayout {
    qint64 width = 0;
    qint64 height = 0; // always positive here
    bool bTopDown = false;
    int nBits = 0;
    quint32 compression = kBiRgb;
    std::array<quint32, 3> masks{}; // red, green, blue for 16 and 32 bits
    qint64 tableOffset = 0;
    qint64 tableEntries = 0;
    int nEntrySize = 4;
    qint64 bitsOffset = 0;
    qint64 stride = 0;
};

// Offset of the colour table; bit-field masks after a plain information header
// take the first three entries' place, as the drawing call reads them.
qint64 TableOffset(const QByteArray &block, EHeader kind)
{
    const qint64 headerSize = ReadU32(block, 0);
    if (kind == EHeader::info && headerSize == kInfoHeaderSize && ReadU32(block, 16) == kBiBitFields)
        return headerSize + 12;
    return headerSize;
}

bool ReadLayout(const QByteArray &block, SLayout &layout)
{
    const EHeader kind = HeaderKind(block);
    if (kind == EHeader::none)
        return false;
    if (kind == EHeader::core) {
        layout.width = ReadU16(block, 4);
        layout.height = ReadU16(block, 6);
        layout.nBits = ReadU16(block, 10);
        layout.nEntrySize = 3;
    } else {
        layout.width = qint32(ReadU32(block, 4));
        const qint64 height = qint32(ReadU32(block, 8));
        layout.bTopDown = height < 0;
        layout.height = height < 0 ? -height : height;
        layout.nBits = ReadU16(block, 14);
        layout.compression = ReadU32(block, 16);
    }
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxSide || layout.height > kMaxSide
        || layout.width * layout.height > kMaxPixels)
        return false;

    switch (layout.nBits) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (layout.compression != kBiRgb)
            return false;
        break;
    case 16:
    case 32:
        if (layout.compression == kBiRgb) {
            layout.masks = layout.nBits == 16 ? std::array<quint32, 3>{0x7C00, 0x03E0, 0x001F}
                                              : std::array<quint32, 3>{0xFF0000, 0xFF00, 0xFF};
        } else if (layout.compression == kBiBitFields) {
            // Right after a plain information header, inside the larger ones.
            constexpr qint64 at = kInfoHeaderSize;
            if (at + 12 > block.size())
                return false;
            layout.masks = {ReadU32(block, at), ReadU32(block, at + 4), ReadU32(block, at + 8)};
        } else {
            return false;
        }
        break;
    default:
        return false;
    }

    layout.tableOffset = TableOffset(block, kind);
    layout.tableEntries = GetDibColorCount(block);
    layout.bitsOffset = layout.tableOffset + layout.tableEntries * layout.nEntrySize;
    layout.stride = (layout.width * layout.nBits + 31) / 32 * 4;
    return layout.bitsOffset + layout.stride * layout.height <= block.size();
}

// Spreads a masked field over 0..255; masks need not be contiguous or sane.
int MaskedChannel(quint32 pixel, quint32 mask)
{
    if (mask == 0)
        return 0;
    const int shift = qCountTrailingZeroBits(mask);
    const quint64 field = (pixel & mask) >> shift;
    const quint64 max = mask >> shift;
    return int(field * 255 / max);
}

} // namespace

qint32 GetDibWidth(const QByteArray &block)
{
    switch (HeaderKind(block)) {
    case EHeader::core:
        return ReadU16(block, 4);
    case EHeader::info:
        return qint32(ReadU32(block, 4));
    case EHeader::none:
        break;
    }
    return 0;
}

qint32 GetDibHeight(const QByteArray &block)
{
    switch (HeaderKind(block)) {
    case EHeader::core:
        return ReadU16(block, 6);
    case EHeader::info:
        return qint32(ReadU32(block, 8));
    case EHeader::none:
        break;
    }
    return 0;
}

quint16 GetDibColorCount(const QByteArray &block)
{
    const EHeader kind = HeaderKind(block);
    if (kind == EHeader::none)
        return 0;
    if (kind == EHeader::info) {
        if (const quint16 used = quint16(ReadU32(block, 32)); used != 0)
            return used;
    }
    switch (ReadU16(block, kind == EHeader::info ? 14 : 10)) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

qint32 GetDibColorTableSize(const QByteArray &block)
{
    return GetDibColorCount(block) * (HeaderKind(block) == EHeader::core ? 3 : 4);
}

const uchar *GetDibBits(const QByteArray &block)
{
    const EHeader kind = HeaderKind(block);
    if (kind == EHeader::none)
        return nullptr;
    const qint64 offset = TableOffset(block, kind) + GetDibColorTableSize(block);
    if (offset > block.size())
        return nullptr;
    return reinterpret_cast<const uchar *>(block.constData()) + offset;
}

bool MakeDibPalette(const QByteArray &block, QList<QRgb> &palette)
{
    palette.clear();
    const EHeader kind = HeaderKind(block);
    const qint64 count = GetDibColorCount(block);
    if (count == 0)
        return false;
    const qint64 offset = TableOffset(block, kind);
    const int entrySize = kind == EHeader::core ? 3 : 4;
    if (offset + count * entrySize > block.size())
        return false;
    palette.reserve(count);
    const auto *table = reinterpret_cast<const uchar *>(block.constData()) + offset;
    for (qint64 i = 0; i < count; ++i) {
        const uchar *entry = table + i * entrySize;
        palette.append(qRgb(entry[2], entry[1], entry[0]));
    }
    return true;
}

QSize GetDibSize(const QByteArray &block)
{
    SLayout layout;
    if (!ReadLayout(block, layout))
        return {};
    return QSize(int(layout.width), int(layout.height));
}

QImage DibToImage(const QByteArray &block)
{
    SLayout layout;
    if (!ReadLayout(block, layout))
        return {};
    QList<QRgb> table;
    MakeDibPalette(block, table);
    if (layout.nBits <= 8)
        table.resize(1 << layout.nBits, qRgb(0, 0, 0)); // indices beyond the table show black

    QImage image(int(layout.width), int(layout.height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto *bits = reinterpret_cast<const uchar *>(block.constData()) + layout.bitsOffset;
    const int width = int(layout.width);
    for (int y = 0; y < image.height(); ++y) {
        const qint64 sourceRow = layout.bTopDown ? y : layout.height - 1 - y;
        const uchar *src = bits + sourceRow * layout.stride;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        switch (layout.nBits) {
        case 1:
        case 4:
        case 8: {
            const int bitsPer = layout.nBits;
            const int perByte = 8 / bitsPer;
            const int valueMask = (1 << bitsPer) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = (perByte - 1 - x % perByte) * bitsPer;
                dst[x] = table[(src[x / perByte] >> shift) & valueMask];
            }
            break;
        }
        case 24:
            for (int x = 0; x < width; ++x)
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 16:
        case 32: {
            const int bytes = layout.nBits / 8;
            for (int x = 0; x < width; ++x) {
                const quint32 pixel = bytes == 2 ? qFromLittleEndian<quint16>(src + 2 * x)
                                                 : qFromLittleEndian<quint32>(src + 4 * x);
                dst[x] = qRgb(MaskedChannel(pixel, layout.masks[0]), MaskedChannel(pixel, layout.masks[1]),
                              MaskedChannel(pixel, layout.masks[2]));
            }
            break;
        }
        default:
            break;
        }
    }
    return image;
}

bool DrawDib(QPainter &painter, const QRect &dest, const QByteArray &block, const QRect &source, const QList<QRgb> *)
{
    const QImage image = DibToImage(block);
    if (image.isNull())
        return false;
    if (dest.size() == source.size()) {
        painter.drawImage(dest.topLeft(), image, source);
        return true;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(dest, image, source);
    painter.restore();
    return true;
}

QByteArray DuplicateMemoryBlock(const QByteArray &block)
{
    if (block.isNull())
        return {};
    try {
        return QByteArray(block.constData(), block.size());
    } catch (const std::bad_alloc &) {
        return {};
    }
}

qint64 PackedDibSize(const QSize &size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return 0;
    return kInfoHeaderSize + (qint64(size.width()) * 3 + 3) / 4 * 4 * size.height();
}

QByteArray MakePackedDib(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage flat(image.size(), QImage::Format_RGB888);
    if (flat.isNull())
        return {};
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    const qint64 stride = (qint64(flat.width()) * 3 + 3) / 4 * 4;
    QByteArray block(PackedDibSize(flat.size()), '\0');
    auto *out = reinterpret_cast<uchar *>(block.data());
    qToLittleEndian<quint32>(kInfoHeaderSize, out);
    qToLittleEndian<qint32>(flat.width(), out + 4);
    qToLittleEndian<qint32>(flat.height(), out + 8);
    qToLittleEndian<quint16>(1, out + 12);
    qToLittleEndian<quint16>(24, out + 14);
    qToLittleEndian<quint32>(kBiRgb, out + 16);
    qToLittleEndian<quint32>(quint32(stride * flat.height()), out + 20);
    qToLittleEndian<qint32>(image.dotsPerMeterX(), out + 24);
    qToLittleEndian<qint32>(image.dotsPerMeterY(), out + 28);
    for (int y = 0; y < flat.height(); ++y) {
        const uchar *src = flat.constScanLine(y);
        uchar *dst = out + kInfoHeaderSize + (flat.height() - 1 - y) * stride;
        for (int x = 0; x < flat.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return block;
}

QByteArray DibFromBmpFile(const QByteArray &file)
{
    if (file.size() <= kFileHeaderSize || !file.startsWith("BM"))
        return {};
    return file.mid(kFileHeaderSize);
}

QByteArray BmpFileFromDib(const QByteArray &block)
{
    const uchar *bits = GetDibBits(block);
    if (!bits || block.size() > qint64(UINT32_MAX) - kFileHeaderSize)
        return {};
    const qint64 bitsOffset = bits - reinterpret_cast<const uchar *>(block.constData());
    QByteArray file(kFileHeaderSize, '\0');
    auto *out = reinterpret_cast<uchar *>(file.data());
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(kFileHeaderSize + block.size()), out + 2);
    qToLittleEndian<quint32>(quint32(kFileHeaderSize + bitsOffset), out + 10);
    return file + block;
}
