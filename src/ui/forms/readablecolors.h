#pragma once

#include <QColor>

class QPalette;

// Colours the forms fix for themselves (the yellow of the field being typed in, the
// function-key cells, the era's blue) kept readable under any palette: on a dark or
// high-contrast desktop the palette's own colours take their place, and a text is
// never left in a colour too close to its background.
class CReadableColors final
{
public:
    CReadableColors() = delete;

    // WCAG's contrast ratio, 1 to 21.
    static double Contrast(const QColor &a, const QColor &b);
    // The desktop's palette is dark (a high-contrast theme, or a dark one).
    static bool DarkPalette(const QPalette &palette);
    // text where it stands out on background by at least 4.5:1, else black or white,
    // whichever stands out more.
    static QColor TextOn(const QColor &background, const QColor &text);
    // The background a form asks for, or the palette's own where the palette is dark.
    static QColor Background(const QColor &fixed, const QColor &paletteOwn, const QPalette &palette);
    // A text field's palette: yellow while typed in, white otherwise, or the desktop's
    // highlight and base where it is dark; its text readable on either.
    static QPalette Field(QPalette field, const QPalette &desktop, bool focused);
};
