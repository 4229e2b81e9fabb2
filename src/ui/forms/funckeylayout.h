#pragma once

#include <QRect>

// Where the function-key bar puts its twelve caption cells: a strip on the left
// is kept free for the busy animation.
class CFuncKeyLayout final
{
public:
    static constexpr int kCellCount = 12;
    static constexpr int kAnimationSpace = 40;
    static constexpr int kCellHeight = 25;

    // Cell index (0 = F1) for a bar client area of cx by cy pixels.
    static QRect CellRect(int index, int cx, int cy);
};
