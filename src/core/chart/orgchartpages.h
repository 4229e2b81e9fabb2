#pragma once

#include <QRectF>
#include <QSizeF>

// How a chart goes onto sheets: shrunk onto one, or at a readable size spread
// over several in rows and columns that overlap, so the sheets can be joined.
class COrgChartPages final
{
public:
    static constexpr qreal kReadableMmPerPixel = 0.25; // boxes' 14-pixel names about 10 points high
    static constexpr qreal kLargestMmPerPixel = 0.35;  // a small chart is not blown up beyond this
    static constexpr qreal kOverlapMm = 10;

    // document: the chart's size in pixels; page: the space for it on a sheet, in millimetres.
    COrgChartPages(const QSizeF &document, const QSizeF &page, bool fit);

    int Count() const { return m_nColumns * m_nRows; }
    int Columns() const { return m_nColumns; }
    int Rows() const { return m_nRows; }
    qreal MmPerPixel() const { return m_mmPerPixel; }
    // The part of the document on a page (0-based, row by row), in pixels.
    QRectF Source(int page) const;
    // On a page, in its own pixels from its corner: where the next column's page
    // and the next row's begin; negative when there is none.
    qreal NextColumnAt(int page) const;
    qreal NextRowAt(int page) const;

private:
    QSizeF m_page; // in document pixels
    qreal m_mmPerPixel = kReadableMmPerPixel;
    qreal m_step = 0; // in pixels: page less the overlap, across
    qreal m_stepDown = 0;
    int m_nColumns = 1;
    int m_nRows = 1;
};
