#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

class QImage;
class QPainter;
class QRect;
class QSize;

// A picture block is a face photo as a packed device-independent bitmap, the
// bytes the clipboard's CF_DIB holds: a 40-byte information header (or a larger
// one of the same layout) or a 12-byte core header, the colour table, the rows.
// Blocks come from the clipboard and the database, so every size read from one
// is checked against the block before it is used.

// Largest picture block taken from the clipboard or a file.
inline constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;

// Width and height as the header holds them; 0 when the block has no header.
// A negative information-header height means rows stored top-down.
qint32 GetDibWidth(const QByteArray &block);
qint32 GetDibHeight(const QByteArray &block);
// Colours-used when set (as a 16-bit number), else 2, 16 or 256 by bits per pixel.
quint16 GetDibColorCount(const QByteArray &block);
// Bytes of the colour table: 4 a colour after an information header, 3 after a core one.
qint32 GetDibColorTableSize(const QByteArray &block);
// The first pixel row, or none when the header and tables run past the block.
const uchar *GetDibBits(const QByteArray &block);

// The colour table as colours; false (and empty) without one.
bool MakeDibPalette(const QByteArray &block, QList<QRgb> &palette);
// Draws the source rectangle of the picture (top-down pixel coordinates) into
// dest: unscaled when both are the same size, else scaled without smoothing.
// A painter draws in true colour, so the palette is not needed; it is taken
// for callers that build one. False when the block cannot be drawn.
bool DrawDib(QPainter &painter, const QRect &dest, const QByteArray &block, const QRect &source,
             const QList<QRgb> *pPalette = nullptr);
// A deep copy, or none when there is no block or no memory for the copy.
QByteArray DuplicateMemoryBlock(const QByteArray &block);

// Width and rows of a picture that can be drawn, else an empty size; safe where
// the header holds the most negative height.
QSize GetDibSize(const QByteArray &block);
// The picture as an image, or a null image when the block is malformed, uses a
// compression other than none or bit fields, or is absurdly large.
QImage DibToImage(const QByteArray &block);
// An image as a packed DIB: information header, 24 bits, rows bottom-up.
// Transparent parts are laid on white, as the photo box shows them.
QByteArray MakePackedDib(const QImage &image);
// What MakePackedDib would take for an image of this size.
qint64 PackedDibSize(const QSize &size);

// A BMP file is a 14-byte file header before a packed DIB.
QByteArray DibFromBmpFile(const QByteArray &file);
QByteArray BmpFileFromDib(const QByteArray &block);
