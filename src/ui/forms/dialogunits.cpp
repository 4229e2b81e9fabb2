#include "forms/dialogunits.h"

#include <QFontMetrics>
#include <QString>

namespace {
// Rounded like the platform's MulDiv.
int Scale(int value, int numerator, int denominator)
{
    const qint64 product = qint64(value) * numerator;
    return int((product >= 0 ? product + denominator / 2 : product - denominator / 2) / denominator);
}
} // namespace

CDialogUnits::CDialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nBaseX = qMax(1, (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2);
    m_nBaseY = qMax(1, metrics.height());
}

QFont CDialogUnits::DialogFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    return font;
}

int CDialogUnits::ToPixelsX(int x) const
{
    return Scale(x, m_nBaseX, 4);
}

int CDialogUnits::ToPixelsY(int y) const
{
    return Scale(y, m_nBaseY, 8);
}

QRect CDialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    // Corners are mapped, as the platform maps a template rectangle.
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return {left, top, ToPixelsX(x + cx) - left, ToPixelsY(y + cy) - top};
}

QSize CDialogUnits::ToPixels(int cx, int cy) const
{
    return {ToPixelsX(cx), ToPixelsY(cy)};
}
