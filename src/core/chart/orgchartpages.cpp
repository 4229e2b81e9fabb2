#include "chart/orgchartpages.h"

#include <algorithm>
#include <cmath>

namespace {
int PagesFor(qreal length, qreal page, qreal step)
{
    if (length <= page || step <= 0)
        return 1;
    return int(std::ceil((length - page) / step)) + 1;
}
} // namespace

COrgChartPages::COrgChartPages(const QSizeF &document, const QSizeF &page, bool fit)
{
    if (document.isEmpty() || page.isEmpty()) {
        m_page = page / m_mmPerPixel;
        return;
    }
    if (fit) {
        m_mmPerPixel = std::min({page.width() / document.width(), page.height() / document.height(), kLargestMmPerPixel});
        m_page = page / m_mmPerPixel;
        return;
    }
    m_page = page / m_mmPerPixel;
    const qreal overlap = kOverlapMm / m_mmPerPixel;
    m_step = m_page.width() - overlap;
    m_stepDown = m_page.height() - overlap;
    m_nColumns = PagesFor(document.width(), m_page.width(), m_step);
    m_nRows = PagesFor(document.height(), m_page.height(), m_stepDown);
}

QRectF COrgChartPages::Source(int page) const
{
    const int column = page % m_nColumns;
    const int row = page / m_nColumns;
    return {column * m_step, row * m_stepDown, m_page.width(), m_page.height()};
}

qreal COrgChartPages::NextColumnAt(int page) const
{
    return page % m_nColumns + 1 < m_nColumns ? m_step : -1;
}

qreal COrgChartPages::NextRowAt(int page) const
{
    return page / m_nColumns + 1 < m_nRows ? m_stepDown : -1;
}
