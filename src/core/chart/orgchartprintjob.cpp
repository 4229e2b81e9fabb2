#include "chart/orgchartprintjob.h"

#include "chart/orgchart.h"
#include "chart/orgchartpages.h"

#include <QPainter>

COrgChartPrintJob::COrgChartPrintJob(const COrgChart &chart, const QPageLayout &layout, bool fit,
                                     COrgChartPainter::FaceOf faceOf)
    : m_chart(chart)
    , m_layout(layout)
    , m_bFit(fit)
    , m_faceOf(std::move(faceOf))
{
}

QSizeF COrgChartPrintJob::ChartArea() const
{
    const QSizeF paint = m_layout.paintRect(QPageLayout::Millimeter).size();
    return {paint.width(), std::max(1.0, paint.height() - kFooterMm)};
}

int COrgChartPrintJob::GetPageCount()
{
    return COrgChartPages(COrgChartPainter::DocumentSize(m_chart), ChartArea(), m_bFit).Count();
}

QString COrgChartPrintJob::GetDocName() const
{
    // It names a print file too: the unit's path, with its slashes, stays on the page.
    return QStringLiteral("組織図");
}

int COrgChartPrintJob::GetRecordCount() const
{
    return int(m_chart.Boxes().size());
}

void COrgChartPrintJob::DrawPage(QPainter &dc, const SPrintInfo &info)
{
    const COrgChartPages pages(COrgChartPainter::DocumentSize(m_chart), ChartArea(), m_bFit);
    const int page = info.m_nCurPage - 1;
    const QRect draw = info.m_rectDraw;
    const qreal perMm = draw.width() / m_layout.paintRect(QPageLayout::Millimeter).width();
    const qreal scale = pages.MmPerPixel() * perMm;
    const QRectF source = pages.Source(page);
    const QRectF area(draw.left(), draw.top(), draw.width(), ChartArea().height() * perMm);

    dc.save();
    dc.setClipRect(area);
    dc.translate(area.topLeft());
    // A chart smaller than its sheet stands in the middle of it.
    if (pages.Count() == 1) {
        const qreal spare = area.width() - COrgChartPainter::DocumentSize(m_chart).width() * scale;
        dc.translate(std::max(0.0, spare / 2), 0);
    }
    dc.scale(scale, scale);
    dc.translate(-source.topLeft());
    COrgChartPainter::PaintDocument(dc, m_chart, source, m_faceOf);
    dc.restore();

    // Where the next sheet takes over: a dashed line to cut or lay the sheets along.
    dc.save();
    QPen mark(Qt::darkGray, std::max(1.0, perMm * 0.2), Qt::DashLine);
    dc.setPen(mark);
    if (const qreal next = pages.NextColumnAt(page); next >= 0)
        dc.drawLine(QPointF(area.left() + next * scale, area.top()), QPointF(area.left() + next * scale, area.bottom()));
    if (const qreal next = pages.NextRowAt(page); next >= 0)
        dc.drawLine(QPointF(area.left(), area.top() + next * scale), QPointF(area.right(), area.top() + next * scale));
    dc.restore();

    if (pages.Count() > 1) {
        dc.save();
        QFont font = COrgChart::CountFont();
        font.setPixelSize(std::max(1, int(perMm * 3)));
        dc.setFont(font);
        dc.setPen(Qt::black);
        const QRectF footer(draw.left(), area.bottom(), draw.width(), kFooterMm * perMm);
        dc.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("%1 ページ / %2（%3 段目・左から %4 枚目、全 %5 段 × %6 枚）")
                        .arg(page + 1)
                        .arg(pages.Count())
                        .arg(page / pages.Columns() + 1)
                        .arg(page % pages.Columns() + 1)
                        .arg(pages.Rows())
                        .arg(pages.Columns()));
        dc.restore();
    }
}
