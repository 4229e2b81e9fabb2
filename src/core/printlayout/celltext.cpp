#include "printlayout/celltext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>

namespace {
const QString kEllipsis = QStringLiteral("…");

QFont SizedFont(const QFont &font, QPaintDevice *device, int pixelSize)
{
    QFont sized(font, device);
    sized.setPixelSize(qMax(1, pixelSize));
    return sized;
}

int LeadingBlanks(const QString &paragraph)
{
    int n = 0;
    while (n < paragraph.size() && (paragraph[n] == QLatin1Char(' ') || paragraph[n] == QChar(0x3000)))
        ++n;
    return n;
}
} // namespace

CCellText::SLayout CCellText::Lay(const QString &text, const QFont &font, QPaintDevice *device, const QRect &rect,
                                  int pixelSize, bool wrap)
{
    SLayout layout;
    layout.pixelSize = pixelSize;
    const QFont sized = SizedFont(font, device, pixelSize);
    const QFontMetricsF metrics(sized, device);
    layout.lineHeight = metrics.lineSpacing();
    QStringList paragraphs = text.split(QLatin1Char('\n'));
    // Line feeds at the end print nothing.
    while (!paragraphs.isEmpty() && paragraphs.last().isEmpty())
        paragraphs.removeLast();
    qreal y = 0;
    for (const QString &paragraph : std::as_const(paragraphs)) {
        const qreal indent = metrics.horizontalAdvance(paragraph.left(LeadingBlanks(paragraph)));
        if (!wrap || paragraph.isEmpty()) {
            layout.lines.push_back({paragraph, QPointF(0, y), metrics.horizontalAdvance(paragraph)});
            y += layout.lineHeight;
            continue;
        }
        QTextLayout lines(paragraph, sized, device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        lines.setTextOption(option);
        lines.beginLayout();
        for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
            const qreal x = line.lineNumber() == 0 ? 0 : indent;
            line.setLineWidth(qMax<qreal>(1, rect.width() - x));
            QString part = paragraph.mid(line.textStart(), line.textLength());
            // A line broken at a blank keeps the blank at its end, where it takes no room.
            while (part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            layout.lines.push_back({part, QPointF(x, y), metrics.horizontalAdvance(part)});
            y += layout.lineHeight;
        }
        lines.endLayout();
    }
    return layout;
}

bool CCellText::Fits(const SLayout &layout, const QRect &rect, bool wrap)
{
    // One line a paragraph is as high as its rule makes it; only its width counts.
    if (!wrap) {
        for (const SLine &line : layout.lines)
            if (line.topLeft.x() + line.width > rect.width() + 0.5)
                return false;
        return true;
    }
    return layout.lines.size() * layout.lineHeight <= rect.height() + 0.5;
}

void CCellText::Cut(SLayout &layout, const QFont &font, QPaintDevice *device, const QRect &rect)
{
    const QFontMetricsF metrics(SizedFont(font, device, layout.pixelSize), device);
    const auto kept = size_t(qMax(1, int((rect.height() + 0.5) / layout.lineHeight)));
    if (layout.lines.size() > kept) {
        layout.lines.resize(kept);
        layout.cut = true;
    }
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        SLine &line = layout.lines[i];
        const qreal room = rect.width() - line.topLeft.x();
        const bool last = i + 1 == layout.lines.size() && layout.cut;
        if (!last && line.width <= room + 0.5)
            continue;
        QString shown = line.text.trimmed().isEmpty() ? QString() : line.text;
        while (!shown.isEmpty() && metrics.horizontalAdvance(shown + kEllipsis) > room)
            shown.chop(1);
        line.text = shown + kEllipsis;
        line.width = metrics.horizontalAdvance(line.text);
        layout.cut = true;
    }
}

void CCellText::Place(SLayout &layout, const QRect &rect, int alignment)
{
    const qreal height = layout.lines.size() * layout.lineHeight;
    qreal top = rect.top();
    if (layout.lines.size() == 1 && (alignment & Qt::AlignBottom))
        top = rect.bottom() + 1 - height;
    else if (layout.lines.size() == 1 && (alignment & Qt::AlignVCenter))
        top = rect.top() + (rect.height() - height) / 2;
    for (SLine &line : layout.lines) {
        qreal x = rect.left() + line.topLeft.x();
        if (alignment & Qt::AlignHCenter)
            x = rect.left() + (rect.width() - line.width) / 2;
        else if (alignment & Qt::AlignRight)
            x = rect.left() + rect.width() - line.width;
        line.topLeft = QPointF(x, top + line.topLeft.y());
    }
}

bool CCellText::FitsWhole(const SLayout &layout, const QRect &rect)
{
    return Fits(layout, rect, false) && Fits(layout, rect, true);
}

CCellText::SLayout CCellText::Fit(const QString &text, const QFont &font, QPaintDevice *device, const QRect &rect,
                                  int largest, int smallest, int alignment, bool wrap, int unwrapped)
{
    smallest = qMax(1, qMin(smallest, largest));
    // About a tenth of a millimetre a step at the sizes printing uses.
    const int step = qMax(1, (largest - smallest) / 16);
    SLayout layout;
    for (int size = qMax(1, largest); wrap && unwrapped > 0 && size >= qMax(smallest, unwrapped); size -= step) {
        layout = Lay(text, font, device, rect, size, false);
        if (FitsWhole(layout, rect)) {
            Place(layout, rect, alignment);
            return layout;
        }
    }
    for (int size = qMax(1, largest); size >= smallest; size -= step) {
        layout = Lay(text, font, device, rect, size, wrap);
        if (Fits(layout, rect, wrap)) {
            Place(layout, rect, alignment);
            return layout;
        }
    }
    layout = Lay(text, font, device, rect, smallest, wrap);
    Cut(layout, font, device, rect);
    Place(layout, rect, alignment);
    return layout;
}

void CCellText::Draw(QPainter &dc, const SLayout &layout, const QFont &font, const QColor &back)
{
    const QFont previous = dc.font();
    const QFont sized = SizedFont(font, dc.device(), layout.pixelSize);
    dc.setFont(sized);
    const qreal ascent = QFontMetricsF(sized, dc.device()).ascent();
    for (const SLine &line : layout.lines) {
        if (line.text.isEmpty())
            continue;
        if (back.isValid())
            dc.fillRect(QRectF(line.topLeft, QSizeF(line.width, layout.lineHeight)), back);
        dc.drawText(line.topLeft + QPointF(0, ascent), line.text);
    }
    dc.setFont(previous);
}

QString CCellText::Joined(const SLayout &layout)
{
    QStringList lines;
    for (const SLine &line : layout.lines)
        lines << line.text;
    return lines.join(QLatin1Char('\n'));
}
