#include "chart/chartdrawer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFaint(0x60, 0x60, 0x60);
const QColor kGrid(0xd0, 0xd0, 0xd0);
constexpr double kTitleSize = 2.4;
constexpr double kLabelSize = 1.6;
constexpr double kValueSize = 1.5;
constexpr double kNoteSize = 1.5;
constexpr int kTicks = 5;

int AxisTop(int max)
{
    const int step = CChartDrawer::TickStep(max, kTicks);
    return std::max(step, (max + step - 1) / step * step);
}
} // namespace

CChartDrawer::CChartDrawer(QPainter &painter, const QRectF &rect)
    : m_painter(painter)
    , m_rect(rect)
{
}

int CChartDrawer::TickStep(int max, int ticks)
{
    if (max <= 0 || ticks <= 0)
        return 1;
    const double raw = double(max) / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
        if (mantissa * magnitude >= raw)
            return std::max(1, int(std::lround(mantissa * magnitude)));
    }
    return std::max(1, int(std::lround(10 * magnitude)));
}

QColor CChartDrawer::SeriesColor(int series)
{
    // A dark blue and a light orange: apart in lightness as much as in hue.
    return series % 2 == 0 ? QColor(0x1f, 0x4e, 0x79) : QColor(0xf0, 0xa0, 0x50);
}

QFont CChartDrawer::Font(double size, bool bold) const
{
    QFont font = m_painter.font();
    // Never below 7 points, however small the picture: smaller is unreadable.
    const double least = 7.0 * m_painter.device()->logicalDpiY() / 72;
    font.setPixelSize(std::max(1, int(std::lround(std::max(size * m_u, least)))));
    font.setBold(bold);
    return font;
}

double CChartDrawer::TextWidth(const QFont &font, const QString &text) const
{
    return QFontMetricsF(font, m_painter.device()).horizontalAdvance(text);
}

void CChartDrawer::Text(const QRectF &box, int flags, const QFont &font, const QString &text, const QColor &color)
{
    m_painter.setFont(font);
    m_painter.setPen(color);
    const Qt::TextElideMode elide = flags & Qt::AlignHCenter ? Qt::ElideMiddle : Qt::ElideRight;
    m_painter.drawText(box, flags, QFontMetricsF(font, m_painter.device()).elidedText(text, elide, box.width()));
}

void CChartDrawer::DrawPage(const SFigureTable &table, const QString &company, const QDate &printed)
{
    const QRectF page = m_rect;
    m_u = std::min(page.width() / 100, page.height() / 60);
    const QFont font = Font(kNoteSize);
    const double line = QFontMetricsF(font, m_painter.device()).height();
    const QRectF head(page.left(), page.top(), page.width(), line);
    const QString date = QStringLiteral("作成日 %1年%2月%3日").arg(printed.year()).arg(printed.month()).arg(printed.day());
    const double dateWidth = TextWidth(font, date) + m_u;
    Text(head.adjusted(0, 0, -dateWidth, 0), Qt::AlignLeft | Qt::AlignVCenter, font, company, kInk);
    Text(head, Qt::AlignRight | Qt::AlignVCenter, font, date, kInk);
    m_painter.setPen(QPen(kFaint, std::max(1.0, 0.12 * m_u)));
    m_painter.drawLine(QPointF(page.left(), head.bottom() + 0.3 * line), QPointF(page.right(), head.bottom() + 0.3 * line));
    m_rect = page.adjusted(0, line * 1.6, 0, 0);
    Draw(table);
    m_rect = page;
}

void CChartDrawer::Draw(const SFigureTable &table)
{
    m_u = std::min(m_rect.width() / 100, m_rect.height() / 60);
    if (m_u <= 0)
        return;
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.fillRect(m_rect, Qt::white);
    const QRectF area = DrawFrame(table);
    if (table.categories.isEmpty() || table.IsEmpty())
        Empty(area);
    else if (table.kind == SFigureTable::EKind::Pyramid)
        Pyramid(table, area);
    else if (table.kind == SFigureTable::EKind::Lines)
        Lines(table, area);
    else
        Bars(table, area);
    m_painter.restore();
}

QRectF CChartDrawer::DrawFrame(const SFigureTable &table)
{
    const QRectF inner = m_rect.adjusted(2 * m_u, 1.2 * m_u, -2 * m_u, -1.2 * m_u);
    const QFont title = Font(kTitleSize, true);
    const double titleHeight = QFontMetricsF(title, m_painter.device()).height();
    Text(QRectF(inner.left(), inner.top(), inner.width(), titleHeight), Qt::AlignHCenter | Qt::AlignVCenter, title,
         table.strTitle, kInk);
    double top = inner.top() + titleHeight + 0.8 * m_u;
    double bottom = inner.bottom();
    if (!table.strNote.isEmpty()) {
        const QFont note = Font(kNoteSize);
        const double height = QFontMetricsF(note, m_painter.device()).height();
        Text(QRectF(inner.left(), bottom - height, inner.width(), height), Qt::AlignLeft | Qt::AlignVCenter, note,
             table.strNote, kInk);
        bottom -= height + 0.8 * m_u;
    }
    if (table.series.size() > 1 && table.kind != SFigureTable::EKind::Pyramid)
        top += Legend(table, QRectF(inner.left(), top, inner.width(), 0));
    return QRectF(inner.left(), top, inner.width(), std::max(0.0, bottom - top));
}

double CChartDrawer::Legend(const SFigureTable &table, const QRectF &area)
{
    const QFont font = Font(kLabelSize);
    const double height = QFontMetricsF(font, m_painter.device()).height();
    const double box = 0.7 * height;
    double width = 0;
    for (const SFigureSeries &one : table.series)
        width += box + 0.6 * m_u + TextWidth(font, one.strName) + 2 * m_u;
    double x = area.left() + std::max(0.0, (area.width() - width) / 2);
    for (int s = 0; s < table.series.size(); ++s) {
        const QString &name = table.series.at(s).strName;
        m_painter.setPen(QPen(kInk, std::max(1.0, 0.1 * m_u)));
        m_painter.setBrush(SeriesColor(s));
        m_painter.drawRect(QRectF(x, area.top() + (height - box) / 2, box, box));
        x += box + 0.6 * m_u;
        const double textWidth = TextWidth(font, name) + m_u;
        Text(QRectF(x, area.top(), textWidth, height), Qt::AlignLeft | Qt::AlignVCenter, font, name, kInk);
        x += textWidth + m_u;
    }
    return height + 0.6 * m_u;
}

int CChartDrawer::ValueAxis(const QRectF &plot, int max, bool vertical, double labelWidth)
{
    const int top = AxisTop(max);
    const int step = TickStep(max, kTicks);
    const QFont font = Font(kLabelSize);
    const double line = QFontMetricsF(font, m_painter.device()).height();
    for (int value = 0; value <= top; value += step) {
        m_painter.setPen(QPen(value == 0 ? kInk : kGrid, std::max(1.0, (value == 0 ? 0.15 : 0.08) * m_u)));
        const QString text = QString::number(value);
        if (vertical) {
            const double y = plot.bottom() - plot.height() * value / top;
            m_painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            Text(QRectF(plot.left() - labelWidth, y - line / 2, labelWidth - 0.6 * m_u, line),
                 Qt::AlignRight | Qt::AlignVCenter, font, text, kInk);
        } else {
            // Mirrored from the middle of the plot: men to the left, women to the right.
            const double half = plot.width() / 2;
            for (const int side : {-1, 1}) {
                const double x = plot.center().x() + side * half * value / top;
                if (value > 0)
                    m_painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
                Text(QRectF(x - labelWidth / 2, plot.bottom() + 0.3 * m_u, labelWidth, line),
                     Qt::AlignHCenter | Qt::AlignTop, font, text, kInk);
            }
        }
    }
    return top;
}

double CChartDrawer::CategoryLabelHeight(const QStringList &labels, double slot) const
{
    const QFont font = Font(kLabelSize);
    const double line = QFontMetricsF(font, m_painter.device()).height();
    double widest = 0;
    for (const QString &label : labels)
        widest = std::max(widest, TextWidth(font, label));
    if (widest <= slot * 0.95)
        return line * 1.3;
    // Slanted at 45 degrees, no higher than a quarter of the figure.
    return std::min(widest * M_SQRT1_2 + line, m_rect.height() * 0.25);
}

void CChartDrawer::CategoryLabels(const QStringList &labels, const QRectF &plot, double height, bool thin)
{
    const QFont font = Font(kLabelSize);
    const double line = QFontMetricsF(font, m_painter.device()).height();
    const qsizetype count = labels.size();
    const double slot = plot.width() / count;
    double widest = 0;
    for (const QString &label : labels)
        widest = std::max(widest, TextWidth(font, label));
    if (widest <= slot * 0.95 || thin) {
        // The last label always shows: it is the day's.
        const qsizetype stride = widest <= slot * 0.95 ? 1 : qsizetype(std::ceil((widest + m_u) / slot));
        for (qsizetype i = count - 1; i >= 0; i -= stride) {
            const double centre = plot.left() + slot * (i + 0.5);
            QRectF box(centre - std::max(slot, widest) / 2, plot.bottom() + 0.3 * m_u, std::max(slot, widest), line);
            box.moveLeft(std::clamp(box.left(), m_rect.left() + m_u, m_rect.right() - m_u - box.width()));
            Text(box, Qt::AlignHCenter | Qt::AlignTop, font, labels.at(i), kInk);
        }
        return;
    }
    const double length = std::max(0.0, (height - line) / M_SQRT1_2);
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF anchor(plot.left() + slot * (i + 0.5) + 0.3 * line, plot.bottom() + 0.5 * m_u);
        // The first labels would run off the left edge.
        const double fits = std::min(length, (anchor.x() - m_rect.left()) / M_SQRT1_2);
        m_painter.save();
        m_painter.translate(anchor);
        m_painter.rotate(-45);
        Text(QRectF(-fits, -line / 2, fits, line), Qt::AlignRight | Qt::AlignVCenter, font, labels.at(i), kInk);
        m_painter.restore();
    }
}

void CChartDrawer::Empty(const QRectF &plot)
{
    Text(plot, Qt::AlignCenter, Font(kLabelSize * 1.2), QStringLiteral("該当する社員はいません。"), kFaint);
}

void CChartDrawer::Bars(const SFigureTable &table, QRectF plot)
{
    const QFont valueFont = Font(kValueSize);
    const double valueLine = QFontMetricsF(valueFont, m_painter.device()).height();
    const int max = table.Max();
    const double labelWidth = TextWidth(Font(kLabelSize), QString::number(AxisTop(max))) + 1.2 * m_u;
    plot.adjust(labelWidth, valueLine * 1.2, -m_u, 0);
    const qsizetype count = table.categories.size();
    const double labelHeight = CategoryLabelHeight(table.categories, plot.width() / count);
    plot.setBottom(plot.bottom() - labelHeight);
    const int top = ValueAxis(plot, max, true, labelWidth);
    const double slot = plot.width() / count;
    const qsizetype series = table.series.size();
    const double barWidth = slot * 0.72 / series;
    // Numbers go on every bar or on none: some with and some without would mislead.
    const bool numbers = TextWidth(valueFont, QString::number(max)) <= slot / series;
    for (qsizetype i = 0; i < count; ++i) {
        for (qsizetype s = 0; s < series; ++s) {
            const int value = table.series.at(s).values.value(i);
            const double x = plot.left() + slot * i + slot * 0.14 + barWidth * s;
            const double height = plot.height() * value / top;
            const QRectF bar(x, plot.bottom() - height, barWidth, height);
            m_painter.setPen(QPen(kInk, std::max(1.0, 0.08 * m_u)));
            m_painter.setBrush(SeriesColor(int(s)));
            if (value > 0)
                m_painter.drawRect(bar);
            if (numbers)
                Text(QRectF(x + barWidth / 2 - slot / series / 2, bar.top() - valueLine, slot / series, valueLine),
                     Qt::AlignHCenter | Qt::AlignBottom, valueFont, QString::number(value), kInk);
        }
    }
    CategoryLabels(table.categories, plot, labelHeight, false);
    m_painter.setPen(QPen(kInk, std::max(1.0, 0.15 * m_u)));
    m_painter.drawLine(plot.bottomLeft(), plot.bottomRight());
}

void CChartDrawer::Pyramid(const SFigureTable &table, QRectF plot)
{
    const QFont labelFont = Font(kLabelSize);
    const QFont valueFont = Font(kValueSize);
    const double line = QFontMetricsF(labelFont, m_painter.device()).height();
    const int max = table.Max();
    const int top = AxisTop(max);
    // Side headings: who is on which side, and how many.
    for (int s = 0; s < std::min<qsizetype>(2, table.series.size()); ++s) {
        int total = 0;
        for (int value : table.series.at(s).values)
            total += value;
        const QRectF half(s == 0 ? plot.left() : plot.center().x(), plot.top(), plot.width() / 2, line);
        const QString text = QStringLiteral("%1 %2人").arg(table.series.at(s).strName).arg(total);
        const double box = 0.7 * line;
        const double width = box + 0.6 * m_u + TextWidth(labelFont, text);
        const double x = half.center().x() - width / 2;
        m_painter.setPen(QPen(kInk, std::max(1.0, 0.1 * m_u)));
        m_painter.setBrush(SeriesColor(s));
        m_painter.drawRect(QRectF(x, half.top() + (line - box) / 2, box, box));
        Text(QRectF(x + box + 0.6 * m_u, half.top(), width, line), Qt::AlignLeft | Qt::AlignVCenter, labelFont, text, kInk);
    }
    plot.setTop(plot.top() + line * 1.5);
    plot.setBottom(plot.bottom() - line * 1.3);
    double labels = 0;
    for (const QString &label : table.categories)
        labels = std::max(labels, TextWidth(labelFont, label));
    const double middle = labels + 2 * m_u;
    const double reserve = TextWidth(valueFont, QString::number(max)) + m_u;
    const double half = std::max(0.0, (plot.width() - middle) / 2 - reserve);
    const double centre = plot.center().x();
    // The grid: the value axis of each half, mirrored.
    const int step = TickStep(max, 4);
    for (int value = 0; value <= top; value += step) {
        for (const int side : {-1, 1}) {
            const double x = centre + side * (middle / 2 + half * value / top);
            m_painter.setPen(QPen(value == 0 ? kInk : kGrid, std::max(1.0, (value == 0 ? 0.15 : 0.08) * m_u)));
            m_painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            const double width = TextWidth(labelFont, QString::number(value)) + m_u;
            Text(QRectF(x - width / 2, plot.bottom() + 0.3 * m_u, width, line), Qt::AlignHCenter | Qt::AlignTop, labelFont,
                 QString::number(value), kInk);
        }
    }
    const qsizetype count = table.categories.size();
    const double row = plot.height() / count;
    const double valueLine = QFontMetricsF(valueFont, m_painter.device()).height();
    for (qsizetype i = 0; i < count; ++i) {
        // The youngest at the foot, as a pyramid stands.
        const double y = plot.bottom() - row * (i + 1);
        Text(QRectF(centre - middle / 2, y, middle, row), Qt::AlignCenter, labelFont, table.categories.at(i), kInk);
        for (int s = 0; s < std::min<qsizetype>(2, table.series.size()); ++s) {
            const int value = table.series.at(s).values.value(i);
            if (value == 0)
                continue;
            const double length = half * value / top;
            const double inner = s == 0 ? centre - middle / 2 - length : centre + middle / 2;
            const QRectF bar(inner, y + row * 0.14, length, row * 0.72);
            m_painter.setPen(QPen(kInk, std::max(1.0, 0.08 * m_u)));
            m_painter.setBrush(SeriesColor(s));
            m_painter.drawRect(bar);
            if (valueLine <= row * 1.05) {
                const QRectF place = s == 0 ? QRectF(bar.left() - reserve, y, reserve - 0.4 * m_u, row)
                                            : QRectF(bar.right() + 0.4 * m_u, y, reserve, row);
                Text(place, (s == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, valueFont, QString::number(value),
                     kInk);
            }
        }
    }
}

void CChartDrawer::Lines(const SFigureTable &table, QRectF plot)
{
    const QFont valueFont = Font(kValueSize);
    const double valueLine = QFontMetricsF(valueFont, m_painter.device()).height();
    const int max = table.Max();
    const double labelWidth = TextWidth(Font(kLabelSize), QString::number(AxisTop(max))) + 1.2 * m_u;
    plot.adjust(labelWidth, valueLine * 1.4, -m_u, 0);
    plot.setBottom(plot.bottom() - QFontMetricsF(Font(kLabelSize), m_painter.device()).height() * 1.3);
    const int top = ValueAxis(plot, max, true, labelWidth);
    const qsizetype count = table.categories.size();
    const double slot = plot.width() / count;
    const double widest = TextWidth(valueFont, QString::number(max)) + 0.4 * m_u;
    // Every point's number when they fit side by side, otherwise the first and the last.
    const bool every = widest <= slot;
    for (qsizetype s = 0; s < table.series.size(); ++s) {
        const QList<int> &values = table.series.at(s).values;
        QPainterPath path;
        QList<QPointF> points;
        for (qsizetype i = 0; i < count; ++i) {
            const QPointF point(plot.left() + slot * (i + 0.5), plot.bottom() - plot.height() * values.value(i) / top);
            points << point;
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setPen(QPen(SeriesColor(int(s)), std::max(1.5, 0.35 * m_u)));
        m_painter.drawPath(path);
        m_painter.setPen(QPen(kInk, std::max(1.0, 0.1 * m_u)));
        m_painter.setBrush(SeriesColor(int(s)));
        for (qsizetype i = 0; i < count; ++i) {
            m_painter.drawEllipse(points.at(i), 0.45 * m_u, 0.45 * m_u);
            if (!every && i != 0 && i != count - 1)
                continue;
            QRectF box(points.at(i).x() - widest / 2, points.at(i).y() - valueLine - 0.4 * m_u, widest, valueLine);
            box.moveLeft(std::clamp(box.left(), m_rect.left(), m_rect.right() - box.width()));
            Text(box, Qt::AlignHCenter | Qt::AlignBottom, valueFont, QString::number(values.value(i)), kInk);
        }
    }
    CategoryLabels(table.categories, plot, 0, true);
}
