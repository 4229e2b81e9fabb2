#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Turns the dialog units of a form's template into pixels for the dialog's font:
// a horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height.
class CDialogUnits final
{
public:
    explicit CDialogUnits(const QFont &font);

    // "ＭＳ Ｐゴシック" 9 point, the font every form template names.
    static QFont DialogFont();

    int ToPixelsX(int x) const;
    int ToPixelsY(int y) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;
    QSize ToPixels(int cx, int cy) const;

    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

private:
    int m_nBaseX = 0;
    int m_nBaseY = 0;
};
