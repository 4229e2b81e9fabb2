#include "views/draglistctrl.h"

#include <QMouseEvent>

CDragListCtrl::CDragListCtrl(CUnitContentsModel *model, QWidget *parent)
    : CEmployeeDragSource(model, parent)
{
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

void CDragListCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // An icon opens nothing.
    event->accept();
}

void CDragListCtrl::Dropped(const CEmployeeDrop &drop)
{
    // Over no unit nobody moved, so the icons stay. An employee who is gone
    // leaves this window too, though it joins no list.
    if (!drop.IsAccepted())
        return;
    const std::vector<int> rows = SelectedRows();
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        GetModel()->RemoveRow(*row);
}
