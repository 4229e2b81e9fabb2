#pragma once

#include "chart/orgchartpainter.h"

#include <QAbstractScrollArea>

class COrgChart;

// The chart on screen: scrolled, zoomed with the wheel or keys, a box chosen with
// the mouse or the arrows (up to the unit above, down to the first below, left and
// right among those beside it).
class COrgChartCanvas final : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COrgChartCanvas)

public:
    static constexpr qreal kMinZoom = 0.05;
    static constexpr qreal kMaxZoom = 4;
    // Below this, faces are too small to see: their stand-ins are drawn instead.
    static constexpr qreal kFacesFrom = 0.5;

    explicit COrgChartCanvas(QWidget *parent = nullptr);

    // The chart stays the caller's; the zoom is kept, the chosen box found again by unit.
    void SetChart(const COrgChart *chart, COrgChartPainter::FaceOf faceOf);
    qreal Zoom() const { return m_zoom; }
    void SetZoom(qreal zoom);
    void ZoomIn();
    void ZoomOut();
    void FitToWindow();
    int Selected() const { return m_nSelected; }
    void Select(int box);
    // Where a box of the chart is shown, in the viewport's pixels.
    QRectF ShownRect(int box) const;

signals:
    void Activated(qint32 unitId);       // double-click or Enter
    void ToggleRequested(qint32 unitId); // Space: collapse or expand
    void SelectionChanged(int box);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void ZoomAround(qreal zoom, const QPointF &viewportPoint);
    void UpdateBars();
    QPointF ToChart(const QPointF &viewportPoint) const;
    void EnsureVisible(int box);
    int Beside(int box, int step) const;

    const COrgChart *m_pChart = nullptr;
    COrgChartPainter::FaceOf m_faceOf;
    qreal m_zoom = 1;
    int m_nSelected = -1;
};
