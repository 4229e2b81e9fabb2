#include "views/employeedrop.h"

CEmployeeDrop::CEmployeeDrop(QList<SRow> rows, const QPoint &screenPoint)
    : m_rows(std::move(rows))
    , m_screenPoint(screenPoint)
{
}

QList<qint32> CEmployeeDrop::Ids() const
{
    QList<qint32> ids;
    ids.reserve(m_rows.size());
    for (const SRow &row : m_rows)
        ids.append(row.nId);
    return ids;
}
