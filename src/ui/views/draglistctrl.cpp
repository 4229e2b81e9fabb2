#include "views/draglistctrl.h"

#include "views/employeedrag.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unitcontentsmodel.h"

#include <QMouseEvent>
#include <algorithm>
#include <vector>

CDragListCtrl::CDragListCtrl(CUnitContentsModel *model, QWidget *parent)
    : QListView(parent)
    , m_pModel(model)
    , m_pDrag(std::make_unique<CEmployeeDrag>(this, CEmployeeDrag::ETargets::treeAndList))
{
    setModel(m_pModel);
    // Icons in rows, put back in order whenever the window changes size.
    setViewMode(IconMode);
    setMovement(Static);
    setResizeMode(Adjust);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    // Both settings above switch dragging off; rows leave by our own drag only.
    setDragEnabled(true);
    viewport()->setAcceptDrops(false);
}

CDragListCtrl::~CDragListCtrl() = default;

QList<qint32> CDragListCtrl::SelectedIds() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<qint32> ids;
    for (int row : rows)
        ids.append(m_pModel->Row(row).nId);
    return ids;
}

int CDragListCtrl::FirstSelectedRow() const
{
    // Selected indexes, not rows: a list selects the name column only.
    int first = -1;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void CDragListCtrl::mousePressEvent(QMouseEvent *event)
{
    m_pressPoint = event->position().toPoint();
    QListView::mousePressEvent(event);
}

void CDragListCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // An icon opens nothing.
    event->accept();
}

void CDragListCtrl::startDrag(Qt::DropActions)
{
    OnBeginDrag(indexAt(m_pressPoint), viewport()->mapToGlobal(m_pressPoint));
}

void CDragListCtrl::OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint)
{
    if (!index.isValid())
        return;
    const QPixmap picture = CEmployeeDrag::Picture(index, iconSize(), font(), palette().color(QPalette::Base));
    m_pDrag->Begin(index.row(), picture, screenPoint);
}

void CDragListCtrl::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pDrag->IsDragging())
        m_pDrag->Move(event->globalPosition().toPoint());
    else
        QListView::mouseMoveEvent(event);
}

void CDragListCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pDrag->IsDragging() && event->button() == Qt::LeftButton)
        OnDrop(event->globalPosition().toPoint());
    else
        QListView::mouseReleaseEvent(event);
}

void CDragListCtrl::OnDrop(const QPoint &screenPoint)
{
    QWidget *w = m_pDrag->End(screenPoint);
    QTreeWidgetItem *item = m_pDrag->DropItem();
    const int row = m_pDrag->DropRow();
    // The highlights go now, whether the writes below succeed or not.
    m_pDrag->Reset();
    // Anywhere but the tree and the employee list (this window too) nothing changes.
    if (CMorvekView *list = CEmployeeDrag::ListOf(w))
        DropOnList(list, row);
    else if (CLeftView *tree = CEmployeeDrag::TreeOf(w))
        DropOnTree(tree, item);
}

void CDragListCtrl::DropOnTree(CLeftView *tree, QTreeWidgetItem *item)
{
    // Over no unit nobody moves, so the icons stay.
    if (!item)
        return;
    const QList<qint32> ids = SelectedIds();
    // All of them move or none does; the icons leave only once the moves are written.
    try {
        if (!tree->AssignEmployeesToUnit(ids, item))
            return;
    } catch (...) {
        if (tree->m_pListView)
            tree->m_pListView->ReadAgainAfterFailure(ids);
        throw;
    }
    for (int row = FirstSelectedRow(); row >= 0; row = FirstSelectedRow())
        m_pModel->RemoveRow(row);
    // The list then shows the unit with them in it.
    tree->SelectUnit(item);
}

void CDragListCtrl::DropOnList(CMorvekView *list, int beforeRow)
{
    // The list stands for no unit yet: 0 is no unit to put anyone in.
    if (list->GetCurrentUnit() == 0)
        return;
    const QList<qint32> ids = SelectedIds();
    QList<qint32> placed;
    try {
        if (!list->AssignEmployeesToCurrentUnit(ids, &placed))
            return;
    } catch (...) {
        list->ReadAgainAfterFailure(ids);
        throw;
    }
    CUnitContentsModel *target = list->GetModel();
    int at = beforeRow >= 0 ? beforeRow : target->rowCount();
    for (int row = FirstSelectedRow(); row >= 0; row = FirstSelectedRow()) {
        CUnitContentsModel::SRow copied = m_pModel->Row(row);
        // An employee who is gone leaves this window but joins no list.
        if (placed.contains(copied.nId)) {
            // The kind column is filled when the list is next read.
            copied.strKind.clear();
            target->Insert(at++, std::move(copied));
        }
        m_pModel->RemoveRow(row);
    }
}
