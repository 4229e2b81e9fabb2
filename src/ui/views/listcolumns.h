#pragma once

#include "views/unitcontentsmodel.h"

#include <QByteArray>
#include <QObject>
#include <vector>

class QHeaderView;
class QMenu;
class QWidget;

// The columns of the details style: which are shown, in what order and width,
// chosen from the header's pop-up menu, and the sort a click on a header picks
// (again: the other way). The rows of a unit are sorted as they arrive.
class CListColumns final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListColumns)

public:
    CListColumns(QHeaderView *header, CUnitContentsModel *model, QObject *parent = nullptr);

    // Widths for the font when no remembered ones came first.
    void SetDefaultWidths();
    // -1 when the rows stay in the order they were read.
    int SortColumn() const { return m_nSortColumn; }
    Qt::SortOrder SortOrder() const { return m_nSortOrder; }
    void SortBy(int column, Qt::SortOrder order);
    // Employee rows as they arrive, in the chosen order.
    void SortRows(std::vector<CUnitContentsModel::SRow> &rows) const;

    void SetColumnShown(int column, bool shown);
    bool IsColumnShown(int column) const;
    // The header's pop-up: one checkable item a column; the name always stays.
    QMenu *CreateMenu(QWidget *parent);

    // Choice, order, widths and sort, as the settings keep them.
    QByteArray SaveState() const;
    bool RestoreState(const QByteArray &state);

private:
    void OnSortIndicatorChanged(int column, Qt::SortOrder order);
    void ShowMenu(const QPoint &pos);

    QHeaderView *m_pHeader;
    CUnitContentsModel *m_pModel;
    int m_nSortColumn = -1;
    Qt::SortOrder m_nSortOrder = Qt::AscendingOrder;
};
