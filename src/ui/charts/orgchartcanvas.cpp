#include "charts/orgchartcanvas.h"

#include "chart/orgchart.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr qreal kMargin = 20;
constexpr qreal kStep = 1.25;
} // namespace

COrgChartCanvas::COrgChartCanvas(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setAccessibleName(QStringLiteral("組織図"));
}

void COrgChartCanvas::SetChart(const COrgChart *chart, COrgChartPainter::FaceOf faceOf)
{
    const qint32 unit = m_pChart && m_nSelected >= 0 && m_nSelected < m_pChart->Boxes().size()
                          ? m_pChart->Boxes().at(m_nSelected).nUnit
                          : 0;
    m_pChart = chart;
    m_faceOf = std::move(faceOf);
    m_nSelected = chart && unit != 0 ? chart->IndexOf(unit) : -1;
    if (chart && m_nSelected < 0 && !chart->Boxes().isEmpty())
        m_nSelected = 0;
    UpdateBars();
    viewport()->update();
}

QPointF COrgChartCanvas::ToChart(const QPointF &viewportPoint) const
{
    const QPointF scrolled(viewportPoint.x() + horizontalScrollBar()->value(),
                           viewportPoint.y() + verticalScrollBar()->value());
    return (scrolled - QPointF(kMargin, kMargin)) / m_zoom;
}

QRectF COrgChartCanvas::ShownRect(int box) const
{
    if (!m_pChart || box < 0 || box >= m_pChart->Boxes().size())
        return {};
    const QRectF rect = m_pChart->Boxes().at(box).rect;
    const QPointF origin(kMargin - horizontalScrollBar()->value(), kMargin - verticalScrollBar()->value());
    return {origin + rect.topLeft() * m_zoom, rect.size() * m_zoom};
}

void COrgChartCanvas::UpdateBars()
{
    const QSizeF size = m_pChart ? m_pChart->Bounds().size() * m_zoom : QSizeF();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(size.width() + 2 * kMargin)) - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(size.height() + 2 * kMargin)) - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void COrgChartCanvas::SetZoom(qreal zoom)
{
    ZoomAround(zoom, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void COrgChartCanvas::ZoomAround(qreal zoom, const QPointF &viewportPoint)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QPointF fixed = ToChart(viewportPoint);
    m_zoom = zoom;
    UpdateBars();
    // The point under the cursor (or the centre) stays where it was.
    horizontalScrollBar()->setValue(int(std::lround(fixed.x() * m_zoom + kMargin - viewportPoint.x())));
    verticalScrollBar()->setValue(int(std::lround(fixed.y() * m_zoom + kMargin - viewportPoint.y())));
    viewport()->update();
}

void COrgChartCanvas::ZoomIn()
{
    SetZoom(m_zoom * kStep);
}

void COrgChartCanvas::ZoomOut()
{
    SetZoom(m_zoom / kStep);
}

void COrgChartCanvas::FitToWindow()
{
    if (!m_pChart || m_pChart->Bounds().isEmpty())
        return;
    const QSizeF room = QSizeF(viewport()->size()) - QSizeF(2 * kMargin, 2 * kMargin);
    const QSizeF size = m_pChart->Bounds().size();
    m_zoom = std::clamp(std::min({room.width() / size.width(), room.height() / size.height(), 1.0}), kMinZoom, kMaxZoom);
    UpdateBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void COrgChartCanvas::paintEvent(QPaintEvent *)
{
    if (!m_pChart)
        return;
    QPainter painter(viewport());
    painter.translate(kMargin - horizontalScrollBar()->value(), kMargin - verticalScrollBar()->value());
    painter.scale(m_zoom, m_zoom);
    const QRectF exposed = QRectF(ToChart(QPointF(0, 0)), QSizeF(viewport()->size()) / m_zoom);
    COrgChartPainter::Paint(painter, *m_pChart, exposed, m_zoom >= kFacesFrom ? m_faceOf : COrgChartPainter::FaceOf(),
                            hasFocus() || m_nSelected >= 0 ? m_nSelected : -1);
}

void COrgChartCanvas::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateBars();
}

void COrgChartCanvas::wheelEvent(QWheelEvent *event)
{
    // The wheel zooms, as on a map; Shift with it scrolls sideways, the bars scroll too.
    if (event->modifiers() & Qt::ShiftModifier) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    ZoomAround(m_zoom * std::pow(kStep, delta / 120.0), event->position());
    event->accept();
}

void COrgChartCanvas::mousePressEvent(QMouseEvent *event)
{
    if (m_pChart) {
        const int box = m_pChart->BoxAt(ToChart(event->position()));
        if (box >= 0)
            Select(box);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void COrgChartCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_pChart)
        return;
    const int box = m_pChart->BoxAt(ToChart(event->position()));
    if (box >= 0)
        emit Activated(m_pChart->Boxes().at(box).nUnit);
}

void COrgChartCanvas::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_pChart)
        return;
    // From the keyboard (Shift+F10, the menu key) the menu is the chosen box's.
    int box = m_nSelected;
    QPoint at = ShownRect(box).center().toPoint();
    if (event->reason() == QContextMenuEvent::Mouse) {
        box = m_pChart->BoxAt(ToChart(event->pos()));
        at = event->pos();
    }
    if (box < 0 || box >= m_pChart->Boxes().size())
        return;
    Select(box);
    const COrgChart::SBox &chosen = m_pChart->Boxes().at(box);
    const qint32 unit = chosen.nUnit;
    QMenu menu(this);
    menu.addAction(QStringLiteral("会社構成に表示(&S)"), this, [this, unit] { emit Activated(unit); });
    QAction *toggle = menu.addAction(chosen.nHiddenUnits > 0 ? QStringLiteral("下の部課を広げる(&E)")
                                                             : QStringLiteral("下の部課をたたむ(&C)"),
                                     this, [this, unit] { emit ToggleRequested(unit); });
    toggle->setEnabled(chosen.bHasChildren);
    menu.exec(viewport()->mapToGlobal(at));
}

int COrgChartCanvas::Beside(int box, int step) const
{
    const int parent = m_pChart->Parent(box);
    QList<int> row;
    if (parent >= 0) {
        row = m_pChart->ChildBoxes(parent);
    } else {
        for (int i = 0; i < m_pChart->Boxes().size(); ++i) {
            if (m_pChart->Parent(i) < 0)
                row.append(i);
        }
    }
    const auto at = row.indexOf(box);
    const auto next = at + step;
    return next >= 0 && next < row.size() ? row.at(next) : box;
}

void COrgChartCanvas::keyPressEvent(QKeyEvent *event)
{
    if (!m_pChart || m_pChart->Boxes().isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int box = std::max(0, m_nSelected);
    switch (event->key()) {
    case Qt::Key_Left:
        Select(Beside(box, -1));
        return;
    case Qt::Key_Right:
        Select(Beside(box, 1));
        return;
    case Qt::Key_Up:
        Select(m_pChart->Parent(box) >= 0 ? m_pChart->Parent(box) : box);
        return;
    case Qt::Key_Down:
        if (!m_pChart->ChildBoxes(box).isEmpty())
            Select(m_pChart->ChildBoxes(box).constFirst());
        return;
    case Qt::Key_Home:
        Select(0);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit Activated(m_pChart->Boxes().at(box).nUnit);
        return;
    case Qt::Key_Space:
        emit ToggleRequested(m_pChart->Boxes().at(box).nUnit);
        return;
    case Qt::Key_Plus:
        ZoomIn();
        return;
    case Qt::Key_Minus:
        ZoomOut();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void COrgChartCanvas::Select(int box)
{
    if (!m_pChart || box < 0 || box >= m_pChart->Boxes().size())
        return;
    m_nSelected = box;
    EnsureVisible(box);
    viewport()->update();
    emit SelectionChanged(box);
}

void COrgChartCanvas::EnsureVisible(int box)
{
    const QRectF shown = ShownRect(box);
    const QRectF view(QPointF(0, 0), QSizeF(viewport()->size()));
    if (view.contains(shown))
        return;
    QScrollBar *across = horizontalScrollBar();
    QScrollBar *down = verticalScrollBar();
    if (shown.left() < 0 || shown.right() > view.width())
        across->setValue(across->value() + int(shown.center().x() - view.center().x()));
    if (shown.top() < 0 || shown.bottom() > view.height())
        down->setValue(down->value() + int(shown.center().y() - view.center().y()));
}
