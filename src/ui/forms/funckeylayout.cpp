#include "forms/funckeylayout.h"

QRect CFuncKeyLayout::CellRect(int index, int cx, int cy)
{
    // The width is taken from the whole bar, then narrowed, so that twelve cells
    // fit beside the animation strip.
    const int width = cx / kCellCount - 3;
    return QRect(kAnimationSpace + index * width, cy - 27, width, kCellHeight);
}
