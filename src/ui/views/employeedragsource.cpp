#include "views/employeedragsource.h"

#include "views/employeedrag.h"
#include "views/employeedrop.h"
#include "views/rowimages.h"

#include <QMouseEvent>
#include <algorithm>

CEmployeeDragSource::CEmployeeDragSource(CUnitContentsModel *model, QWidget *parent)
    : QListView(parent)
    , m_pModel(model)
    , m_pDrag(std::make_unique<CEmployeeDrag>(this))
{
    if (!m_pModel->parent())
        m_pModel->setParent(this);
    setModel(m_pModel);
}

CEmployeeDragSource::~CEmployeeDragSource() = default;

std::vector<int> CEmployeeDragSource::SelectedRows() const
{
    // Selected indexes, not rows: a list selects the name column only.
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QList<qint32> CEmployeeDragSource::SelectedEmployeeIds() const
{
    QList<qint32> ids;
    for (int row : SelectedRows()) {
        if (CRowImages::IsEmployee(RowImage(row)))
            ids.append(m_pModel->Row(row).nId);
    }
    return ids;
}

int CEmployeeDragSource::RowImage(int row) const
{
    return row >= 0 && row < m_pModel->rowCount() ? m_pModel->Row(row).nImage : CRowImages::company;
}

void CEmployeeDragSource::mousePressEvent(QMouseEvent *event)
{
    m_pressPoint = event->position().toPoint();
    QListView::mousePressEvent(event);
}

void CEmployeeDragSource::startDrag(Qt::DropActions)
{
    OnBeginDrag(indexAt(m_pressPoint), viewport()->mapToGlobal(m_pressPoint));
}

void CEmployeeDragSource::OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint)
{
    if (!index.isValid() || !CRowImages::IsEmployee(RowImage(index.row())))
        return; // units never move
    const QPixmap picture = CEmployeeDrag::Picture(index, iconSize(), font(), palette().color(QPalette::Base));
    m_pDrag->Begin(index.row(), picture, screenPoint);
}

void CEmployeeDragSource::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pDrag->IsDragging()) {
        QListView::mouseMoveEvent(event);
        return;
    }
    const QPoint screenPoint = event->globalPosition().toPoint();
    m_pDrag->Move(screenPoint);
    emit DragMoved(screenPoint);
}

void CEmployeeDragSource::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pDrag->IsDragging() && event->button() == Qt::LeftButton)
        OnDrop(event->globalPosition().toPoint());
    else
        QListView::mouseReleaseEvent(event);
}

void CEmployeeDragSource::OnDrop(const QPoint &screenPoint)
{
    m_pDrag->End();
    // The highlights go now, whether the writes of the target succeed or not.
    emit DragEnded();
    QList<CUnitContentsModel::SRow> rows;
    for (int row : SelectedRows()) {
        if (CRowImages::IsEmployee(RowImage(row)))
            rows.append(m_pModel->Row(row));
    }
    CEmployeeDrop drop(std::move(rows), screenPoint);
    emit EmployeesDropped(&drop);
    Dropped(drop);
}

void CEmployeeDragSource::Dropped(const CEmployeeDrop &)
{
}

void CEmployeeDragSource::ResetDrag()
{
    m_pDrag->Reset();
    emit DragEnded();
}
