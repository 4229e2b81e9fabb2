#pragma once

#include <QByteArray>
#include <QImage>

// A face photo made small for a list's icon: scaled to fit a square of side
// pixels, keeping its proportions, never enlarged.
class CFaceThumbnail final
{
public:
    CFaceThumbnail() = delete;

    // Null when the block holds no picture that can be drawn.
    static QImage Make(const QByteArray &pictureBlock, int side);
};
