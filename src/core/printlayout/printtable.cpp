#include "printlayout/printtable.h"

#include "dates/datevalue.h"
#include "printlayout/celltext.h"

#include <QPaintDevice>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Hundredths of a millimetre in an inch.
constexpr double kHimetricInch = 2540.0;
constexpr int kNumberHeight = 40;
constexpr int kTitleHeight = 80;
constexpr int kCaptionHeight = 40;
constexpr int kColumnTitleHeight = 50;
constexpr int kMaxWrappedHeight = 40;
// Nothing printed is smaller: 2.5 mm.
constexpr int kSmallestHeight = 25;

constexpr unsigned kTitleFormat = CPrintTable::DT_SINGLELINE | CPrintTable::DT_CENTER | CPrintTable::DT_VCENTER;
constexpr unsigned kSubtitleFormat = CPrintTable::DT_SINGLELINE | CPrintTable::DT_BOTTOM;
constexpr unsigned kDateFormat = CPrintTable::DT_SINGLELINE | CPrintTable::DT_BOTTOM | CPrintTable::DT_RIGHT;
constexpr unsigned kNumberFormat = CPrintTable::DT_SINGLELINE | CPrintTable::DT_BOTTOM | CPrintTable::DT_CENTER;

int DpiX(const QPainter &dc)
{
    return dc.device() ? dc.device()->logicalDpiX() : 96;
}

int DpiY(const QPainter &dc)
{
    return dc.device() ? dc.device()->logicalDpiY() : 96;
}

int HimetricToLp(double himetric, int dpi)
{
    return int(std::lround(himetric * dpi / kHimetricInch));
}
} // namespace

CPrintTable::CPrintTable() = default;

int CPrintTable::ScaleX(const QPainter &dc, double units) const
{
    return HimetricToLp(units * m_nScale * m_dFit, DpiX(dc));
}

int CPrintTable::ScaleY(const QPainter &dc, double units) const
{
    return HimetricToLp(units * m_nScale * m_dFit, DpiY(dc));
}

void CPrintTable::ScalePoints(const QPainter &dc, QPoint *points, int count) const
{
    for (int i = 0; i < count; ++i)
        points[i] = m_ptShift + QPoint(ScaleX(dc, points[i].x()), ScaleY(dc, points[i].y()));
}

void CPrintTable::ScaleRects(const QPainter &dc, SRect *rects, int count) const
{
    for (int i = 0; i < count; ++i) {
        QPoint corners[2] = {{rects[i].left, rects[i].top}, {rects[i].right, rects[i].bottom}};
        ScalePoints(dc, corners, 2);
        rects[i] = {corners[0].x(), corners[0].y(), corners[1].x(), corners[1].y()};
    }
}

QFont CPrintTable::SelectTableFont(QPainter &dc, int height) const
{
    const QFont previous = dc.font();
    QFont font(m_strFontFace);
    // A zero or negative size means nothing to Qt; the smallest readable one does.
    font.setPixelSize(qMax(1, ScaleX(dc, height)));
    font.setWeight(QFont::Normal);
    font.setUnderline(false);
    dc.setFont(font);
    return previous;
}

int CPrintTable::TextFlags(unsigned format)
{
    int flags = Qt::AlignLeft;
    if (format & DT_CENTER)
        flags = Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags = Qt::AlignRight;
    // Vertical placement, like the platform's, holds for single lines only.
    if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        flags |= Qt::AlignBottom;
    else if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        flags |= Qt::AlignVCenter;
    else
        flags |= Qt::AlignTop;
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    else if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (format & (DT_EXPANDTABS | DT_TABSTOP))
        flags |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP)
        flags |= Qt::TextDontClip;
    return flags;
}

void CPrintTable::DrawText(QPainter &dc, const QString &text, const SRect &rect, unsigned format)
{
    dc.drawText(rect.ToQRect(), TextFlags(format), text);
}

QString CPrintTable::DateText() const
{
    return m_strAsOf + CDateValue::CurrentTime().Format(QStringLiteral("印刷日 %y 年 %m 月 %d 日"));
}

void CPrintTable::DrawHeader(QPainter &dc) const
{
    // Everything lines up with the grid, so it stays where the grid fits.
    if (m_nCurrentPage != 0) {
        SRect number{m_nOriginX, GridBottom(), GridRight(), GridBottom() + kNumberBand};
        ScaleRects(dc, &number, 1);
        const QFont previous = SelectTableFont(dc, kNumberHeight);
        DrawText(dc, QStringLiteral("ﾍﾟｰｼﾞ %1/%2").arg(m_nCurrentPage).arg(m_nPageCount), number, kNumberFormat);
        dc.setFont(previous);
    }
    SRect band{m_nOriginX, m_nOriginY - kHeaderBand, GridRight(), m_nOriginY};
    ScaleRects(dc, &band, 1);
    if (!m_strTitle.isEmpty()) {
        const QFont previous = SelectTableFont(dc, kTitleHeight);
        DrawText(dc, m_strTitle, band, kTitleFormat);
        dc.setFont(previous);
    }
    const QFont previous = SelectTableFont(dc, kCaptionHeight);
    const SRect date = DateRect(dc);
    if (!m_strSubtitle.isEmpty()) {
        // A long name stops short of the date.
        SRect subtitle = band;
        subtitle.right = date.left - ScaleX(dc, 30);
        const QString shown = dc.fontMetrics().elidedText(m_strSubtitle, Qt::ElideRight, subtitle.Width());
        DrawText(dc, shown, subtitle, kSubtitleFormat);
    }
    DrawText(dc, DateText(), band, kDateFormat);
    dc.setFont(previous);
}

CPrintTable::SRect CPrintTable::DateRect(QPainter &dc) const
{
    SRect band{m_nOriginX, m_nOriginY - kHeaderBand, GridRight(), m_nOriginY};
    ScaleRects(dc, &band, 1);
    const QFont previous = SelectTableFont(dc, kCaptionHeight);
    const QRect used = dc.fontMetrics().boundingRect(band.ToQRect(), TextFlags(kDateFormat), DateText());
    dc.setFont(previous);
    return {used.left(), used.top(), used.left() + used.width(), used.top() + used.height()};
}

CPrintTable::SRect CPrintTable::GridRect(const QPainter &dc) const
{
    SRect grid{m_nOriginX, m_nOriginY, GridRight(), GridBottom()};
    ScaleRects(dc, &grid, 1);
    return grid;
}

void CPrintTable::FitToPage(const QPainter &dc)
{
    m_dFit = 1.0;
    m_ptShift = QPoint();
    const SRect box{m_nOriginX, m_nOriginY - kHeaderBand, GridRight(), GridBottom() + kNumberBand};
    SRect natural = box;
    ScaleRects(dc, &natural, 1);
    if (natural.Width() <= 0 || natural.Height() <= 0)
        return;
    m_dFit = std::min({1.0, double(m_rectPage.Width()) / natural.Width(), double(m_rectPage.Height()) / natural.Height()});
    natural = box;
    ScaleRects(dc, &natural, 1);
    const auto into = [](int low, int high, int pageLow, int pageHigh) {
        if (low < pageLow)
            return pageLow - low;
        return high > pageHigh ? pageHigh - high : 0;
    };
    m_ptShift = QPoint(into(natural.left, natural.right, m_rectPage.left, m_rectPage.right),
                       into(natural.top, natural.bottom, m_rectPage.top, m_rectPage.bottom));
}

int CPrintTable::ColumnWidth(int column) const
{
    return column >= 0 && column < int(m_columnWidths.size()) ? m_columnWidths[size_t(column)] : 0;
}

int CPrintTable::GridRight() const
{
    int x = m_nOriginX;
    for (int i = 0; i < m_nColumns; ++i)
        x += ColumnWidth(i);
    return x;
}

void CPrintTable::SelectRulingPen(QPainter &dc) const
{
    QPen pen(Qt::black);
    pen.setWidth(qMax(1, ScaleX(dc, 1)));
    dc.setPen(pen);
}

void CPrintTable::DrawGrid(QPainter &dc) const
{
    DrawColumnTitles(dc);
    const QPen previousPen = dc.pen();
    SelectRulingPen(dc);
    const int y0 = m_nOriginY;
    const int bottom = GridBottom();
    const int right = GridRight();
    int x = m_nOriginX;
    for (int i = 0; i < m_nColumns; ++i) {
        x += ColumnWidth(i);
        QPoint line[2] = {{x, y0}, {x, bottom}};
        ScalePoints(dc, line, 2);
        dc.drawLine(line[0], line[1]);
    }
    SRect frame{m_nOriginX, y0, right, bottom};
    ScaleRects(dc, &frame, 1);
    DrawFrame(frame.left, frame.top, frame.right, frame.bottom, dc);
    for (int i = 0; i < m_nRowsPerPage; ++i) {
        const int y = y0 + m_nHeaderHeight + i * m_nRowHeight;
        QPoint line[2] = {{m_nOriginX, y}, {right, y}};
        ScalePoints(dc, line, 2);
        dc.drawLine(line[0], line[1]);
    }
    dc.setPen(previousPen);
}

void CPrintTable::DrawColumnTitles(QPainter &dc) const
{
    if (m_nHeaderHeight == 0)
        return;
    const QFont previousFont = SelectTableFont(dc, kColumnTitleHeight);
    const QPen previousPen = dc.pen();
    SelectRulingPen(dc);
    int x = m_nOriginX;
    for (int i = 0; i < m_nColumns; ++i) {
        SRect cell{x, m_nOriginY, x + ColumnWidth(i), m_nOriginY + m_nHeaderHeight};
        ScaleRects(dc, &cell, 1);
        DrawFrame(cell.left, cell.top, cell.right, cell.bottom, dc);
        DrawText(dc, m_columnTitles.value(i), cell, kTitleFormat);
        x += ColumnWidth(i);
    }
    dc.setPen(previousPen);
    dc.setFont(previousFont);
}

void CPrintTable::DrawRowFrame(QPainter &dc, int top, int height, bool spanning) const
{
    const QPen previousPen = dc.pen();
    SelectRulingPen(dc);
    if (spanning) {
        const SRect row = CellRectAt(dc, -1, top, height);
        DrawFrame(row.left, row.top, row.right, row.bottom, dc);
    } else {
        for (int i = 0; i < m_nColumns; ++i) {
            const SRect cell = CellRectAt(dc, i, top, height);
            DrawFrame(cell.left, cell.top, cell.right, cell.bottom, dc);
        }
    }
    dc.setPen(previousPen);
}

void CPrintTable::DrawFrame(int left, int top, int right, int bottom, QPainter &dc) const
{
    const QPoint corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    dc.drawPolyline(corners, 5);
}

int CPrintTable::ComputePageCount()
{
    // Without rows on a page every row would need a page of its own: one page then.
    if (m_nRowsPerPage <= 0 || m_nItemCount <= 0) {
        m_nPageCount = 1;
        return m_nPageCount;
    }
    m_nPageCount = m_nItemCount / m_nRowsPerPage + (m_nItemCount % m_nRowsPerPage != 0 ? 1 : 0);
    return m_nPageCount;
}

int CPrintTable::FirstRowOfPage() const
{
    return (m_nCurrentPage - 1) * m_nRowsPerPage;
}

CPrintTable::SRect CPrintTable::CellRect(const QPainter &dc, int column, int row) const
{
    SRect rect;
    rect.left = m_nOriginX;
    for (int i = 0; i < column; ++i)
        rect.left += ColumnWidth(i);
    rect.right = rect.left + ColumnWidth(qMax(0, column));
    rect.top = m_nOriginY + m_nHeaderHeight + (row > 0 ? row * m_nRowHeight : 0);
    rect.bottom = rect.top + m_nRowHeight;
    ScaleRects(dc, &rect, 1);
    return rect;
}

CPrintTable::SRect CPrintTable::CellRectAt(const QPainter &dc, int column, int top, int height) const
{
    SRect rect;
    rect.left = m_nOriginX;
    for (int i = 0; i < column; ++i)
        rect.left += ColumnWidth(i);
    rect.right = column < 0 ? GridRight() : rect.left + ColumnWidth(column);
    rect.top = m_nOriginY + m_nHeaderHeight + top;
    rect.bottom = rect.top + height;
    ScaleRects(dc, &rect, 1);
    return rect;
}

int CPrintTable::CellFontHeight(const QString &text, int height, unsigned format)
{
    if (!(format & DT_WORDBREAK))
        return height;
    const int lines = int(text.count(QLatin1Char('\n')));
    // Wrapped text without a line feed gets the largest wrapped size.
    if (lines == 0)
        return kMaxWrappedHeight;
    return qMin(height / lines, kMaxWrappedHeight);
}

void CPrintTable::DrawCellText(QPainter &dc, const QString &text, const SRect &rect, unsigned format,
                               const QColor &textColor, const QColor &backColor, bool frame) const
{
    SRect scaled = rect;
    ScaleRects(dc, &scaled, 1);
    if (!text.isEmpty()) {
        // As large as the rule makes it, smaller down to 2.5 mm where it does not
        // fit, then cut with "…". The background behind each line keeps it
        // readable over a photo.
        const int height = CellFontHeight(text, rect.Height(), format);
        const QFont previousFont = SelectTableFont(dc, height);
        const QPen previousPen = dc.pen();
        const bool wrap = !(format & DT_SINGLELINE) && (format & DT_WORDBREAK);
        const int alignment = TextFlags(format) & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask);
        // One line holds a path's levels side by side.
        const QString shown = (format & DT_SINGLELINE) ? QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) : text;
        const CCellText::SLayout layout = CCellText::Fit(shown, dc.font(), dc.device(), scaled.ToQRect(),
                                                         ScaleY(dc, height), ScaleY(dc, qMin(height, kSmallestHeight)),
                                                         alignment, wrap);
        dc.setPen(textColor);
        CCellText::Draw(dc, layout, dc.font(), backColor);
        dc.setPen(previousPen);
        dc.setFont(previousFont);
    }
    if (frame) {
        const QPen previousPen = dc.pen();
        SelectRulingPen(dc);
        DrawFrame(scaled.left, scaled.top, scaled.right, scaled.bottom, dc);
        dc.setPen(previousPen);
    }
}
