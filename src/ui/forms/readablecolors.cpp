#include "forms/readablecolors.h"

#include <QPalette>
#include <algorithm>
#include <cmath>

namespace {
double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor &color)
{
    return 0.2126 * Linear(color.redF()) + 0.7152 * Linear(color.greenF()) + 0.0722 * Linear(color.blueF());
}

constexpr double kReadable = 4.5;
} // namespace

double CReadableColors::Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool CReadableColors::DarkPalette(const QPalette &palette)
{
    return Luminance(palette.color(QPalette::Window)) < Luminance(palette.color(QPalette::WindowText));
}

QColor CReadableColors::TextOn(const QColor &background, const QColor &text)
{
    if (Contrast(background, text) >= kReadable)
        return text;
    const QColor black(Qt::black), white(Qt::white);
    return Contrast(background, black) >= Contrast(background, white) ? black : white;
}

QPalette CReadableColors::Field(QPalette field, const QPalette &desktop, bool focused)
{
    const QColor back = Background(focused ? QColor(255, 255, 0) : QColor(Qt::white),
                                   desktop.color(focused ? QPalette::Highlight : QPalette::Base), desktop);
    field.setColor(QPalette::Base, back);
    field.setColor(QPalette::Text, TextOn(back, desktop.color(QPalette::Text)));
    return field;
}

QColor CReadableColors::Background(const QColor &fixed, const QColor &paletteOwn, const QPalette &palette)
{
    return DarkPalette(palette) ? paletteOwn : fixed;
}
