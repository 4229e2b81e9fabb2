#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>
#include <QString>
#include <vector>

class QPaintDevice;
class QPainter;

// Text laid out in a printed cell: wrapped at word boundaries (anywhere in a word
// too long for a line), each wrapped line indented like the first line of its
// paragraph, as large as fits between a largest and a smallest height, and cut
// with "…" where even the smallest does not hold it all.
class CCellText final
{
public:
    struct SLine {
        QString text;
        QPointF topLeft; // logical units
        qreal width = 0;
    };
    struct SLayout {
        int pixelSize = 0;
        qreal lineHeight = 0;
        std::vector<SLine> lines;
        bool cut = false; // something did not fit and ends in "…"
    };

    // rect, largest and smallest in the device's logical units; alignment as Qt's
    // Qt::AlignmentFlag (horizontal; vertical for single lines); wrap or one line
    // a paragraph. With wrapping, sizes down to unwrapped are first tried with
    // every paragraph on one line, so that a line a little too long is made a
    // little smaller rather than broken.
    static SLayout Fit(const QString &text, const QFont &font, QPaintDevice *device, const QRect &rect, int largest,
                       int smallest, int alignment, bool wrap, int unwrapped = 0);
    // Draws with the layout's size of font; a valid back fills behind each line.
    static void Draw(QPainter &dc, const SLayout &layout, const QFont &font, const QColor &back = QColor());
    // The text as laid out, lines joined by line feeds.
    static QString Joined(const SLayout &layout);

private:
    static SLayout Lay(const QString &text, const QFont &font, QPaintDevice *device, const QRect &rect, int pixelSize,
                       bool wrap);
    static bool Fits(const SLayout &layout, const QRect &rect, bool wrap);
    static bool FitsWhole(const SLayout &layout, const QRect &rect);
    static void Cut(SLayout &layout, const QFont &font, QPaintDevice *device, const QRect &rect);
    static void Place(SLayout &layout, const QRect &rect, int alignment);
};
