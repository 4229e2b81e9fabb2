#pragma once

#include <QPoint>
#include <QSet>

class QAbstractItemView;

// Which rows of a list of units and employees were selected and current, and
// where it was scrolled: taken before its rows are read again, put back after,
// for the rows that are still there.
class CRowsState final
{
public:
    explicit CRowsState(const QAbstractItemView *view);
    void Restore(QAbstractItemView *view) const;

private:
    static qint64 KeyOf(const QAbstractItemView *view, int row);

    QSet<qint64> m_selected;
    qint64 m_current = -1;
    QPoint m_scroll;
};
