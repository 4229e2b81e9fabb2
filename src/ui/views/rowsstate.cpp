#include "views/rowsstate.h"

#include "views/rowimages.h"
#include "views/unitcontentsmodel.h"

#include <QAbstractItemView>
#include <QItemSelection>
#include <QScrollBar>

// A unit and an employee may share an ID.
qint64 CRowsState::KeyOf(const QAbstractItemView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    const bool employee = CRowImages::IsEmployee(index.data(CUnitContentsModel::ImageRole).toInt());
    return index.data(CUnitContentsModel::IdRole).toLongLong() * 2 + (employee ? 1 : 0);
}

CRowsState::CRowsState(const QAbstractItemView *view)
    : m_scroll(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value())
{
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        m_selected.insert(KeyOf(view, index.row()));
    if (const QModelIndex current = view->currentIndex(); current.isValid())
        m_current = KeyOf(view, current.row());
}

void CRowsState::Restore(QAbstractItemView *view) const
{
    QItemSelection selection;
    QModelIndex current;
    const QAbstractItemModel *model = view->model();
    int runStart = -1;
    const int rows = model->rowCount();
    for (int row = 0; row <= rows; ++row) {
        const qint64 key = row < rows ? KeyOf(view, row) : -1;
        const bool selected = row < rows && m_selected.contains(key);
        // Neighbours as one range: thousands of rows selected are put back at once.
        if (selected && runStart < 0)
            runStart = row;
        if (!selected && runStart >= 0) {
            selection.select(model->index(runStart, 0), model->index(row - 1, 0));
            runStart = -1;
        }
        if (row < rows && key == m_current)
            current = model->index(row, 0);
    }
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current.isValid())
        view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    view->horizontalScrollBar()->setValue(m_scroll.x());
    view->verticalScrollBar()->setValue(m_scroll.y());
}
