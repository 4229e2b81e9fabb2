#include "register/registerchanges.h"

void CRegisterChanges::Add(const SRegisterChange &change)
{
    using EKind = SRegisterChange::EKind;
    if (m_bEverything)
        return;
    switch (change.kind) {
    case EKind::everything:
        *this = {};
        m_bEverything = true;
        break;
    case EKind::unitAdded:
    case EKind::unitChanged:
        for (qint32 id : change.ids) {
            if (!m_unitsDeleted.contains(id))
                m_unitsTouched.insert(id);
        }
        break;
    case EKind::unitDeleted:
        for (qint32 id : change.ids) {
            m_unitsTouched.remove(id);
            m_unitsDeleted.insert(id);
        }
        break;
    case EKind::employeeAdded:
    case EKind::employeeChanged:
        for (qint32 id : change.ids) {
            if (m_employeesDeleted.contains(id))
                continue;
            if (!m_employeesMoved.contains(id) && !m_employeesTouched.contains(id))
                m_employeeOrder.append(id);
            m_employeesTouched.insert(id);
        }
        break;
    case EKind::employeesMoved:
        for (qint32 id : change.ids) {
            if (m_employeesDeleted.contains(id))
                continue;
            if (!m_employeesMoved.contains(id) && !m_employeesTouched.contains(id))
                m_employeeOrder.append(id);
            m_employeesMoved.insert(id, change.unit);
        }
        break;
    case EKind::employeeDeleted:
        for (qint32 id : change.ids) {
            m_employeesTouched.remove(id);
            m_employeesMoved.remove(id);
            m_employeesDeleted.insert(id);
        }
        break;
    }
}

bool CRegisterChanges::IsEmpty() const
{
    return !m_bEverything && m_unitsTouched.isEmpty() && m_unitsDeleted.isEmpty() && m_employeesTouched.isEmpty()
        && m_employeesMoved.isEmpty() && m_employeesDeleted.isEmpty();
}

bool CRegisterChanges::Touches(qint32 employeeId) const
{
    return m_bEverything || m_employeesTouched.contains(employeeId) || m_employeesMoved.contains(employeeId)
        || m_employeesDeleted.contains(employeeId);
}

QList<qint32> CRegisterChanges::EmployeesTouched() const
{
    QList<qint32> ids;
    for (qint32 id : m_employeeOrder) {
        if (m_employeesTouched.contains(id))
            ids.append(id);
    }
    return ids;
}

QList<std::pair<qint32, qint32>> CRegisterChanges::EmployeesMoved() const
{
    QList<std::pair<qint32, qint32>> moves;
    for (qint32 id : m_employeeOrder) {
        const auto found = m_employeesMoved.constFind(id);
        if (found != m_employeesMoved.cend() && !m_employeesTouched.contains(id))
            moves.append({id, found.value()});
    }
    return moves;
}
