#pragma once

#include "views/unitcontentsmodel.h"

#include <QList>
#include <QPoint>

// Employee rows let go over the screen. The drag source hands it to every target
// its owner connected; the target under the point takes the employees and says so.
class CEmployeeDrop final
{
public:
    using SRow = CUnitContentsModel::SRow;

    CEmployeeDrop(QList<SRow> rows, const QPoint &screenPoint);

    const QList<SRow> &Rows() const { return m_rows; }
    QList<qint32> Ids() const;
    const QPoint &ScreenPoint() const { return m_screenPoint; }

    void Accept() { m_bAccepted = true; }
    bool IsAccepted() const { return m_bAccepted; }

private:
    QList<SRow> m_rows;
    QPoint m_screenPoint;
    bool m_bAccepted = false;
};
