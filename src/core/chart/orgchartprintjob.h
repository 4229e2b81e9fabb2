#pragma once

#include "chart/orgchartpainter.h"
#include "printlayout/printjob.h"

#include <QPageLayout>

class COrgChart;

// The organisation chart on paper: shrunk onto one sheet or spread over several,
// each sheet footed with its place among them and marked where the next one begins.
class COrgChartPrintJob final : public CPrintJob
{
public:
    COrgChartPrintJob(const COrgChart &chart, const QPageLayout &layout, bool fit, COrgChartPainter::FaceOf faceOf = {});

    int GetPageCount() override;
    void DrawPage(QPainter &dc, const SPrintInfo &info) override;
    QString GetDocName() const override;
    int GetRecordCount() const override;

    static constexpr qreal kFooterMm = 7;

private:
    QSizeF ChartArea() const; // the printable area less the footer, in millimetres

    const COrgChart &m_chart;
    QPageLayout m_layout;
    bool m_bFit;
    COrgChartPainter::FaceOf m_faceOf;
};
