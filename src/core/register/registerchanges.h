#pragma once

#include "register/registerchange.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <utility>

// Changes told one after another, folded into what a window has to read again:
// a burst of them is shown once, and a row told of twice is read once.
class CRegisterChanges final
{
public:
    CRegisterChanges() = default;
    explicit CRegisterChanges(const SRegisterChange &change) { Add(change); }

    void Add(const SRegisterChange &change);
    bool IsEmpty() const;
    // Nobody can say what changed: whatever is shown is read again.
    bool IsEverything() const { return m_bEverything; }

    // Units added, renamed or moved: their rows are read again.
    const QSet<qint32> &UnitsTouched() const { return m_unitsTouched; }
    const QSet<qint32> &UnitsDeleted() const { return m_unitsDeleted; }
    // Employees added or changed, their unit unknown: their rows are read again.
    // In the order first told, as are the moves.
    QList<qint32> EmployeesTouched() const;
    // Employees moved and nothing else, with where they went (0: released).
    QList<std::pair<qint32, qint32>> EmployeesMoved() const;
    const QSet<qint32> &EmployeesDeleted() const { return m_employeesDeleted; }
    // Whether anything touched the employee (everything does).
    bool Touches(qint32 employeeId) const;

private:
    bool m_bEverything = false;
    QSet<qint32> m_unitsTouched;
    QSet<qint32> m_unitsDeleted;
    QSet<qint32> m_employeesTouched;
    QHash<qint32, qint32> m_employeesMoved;
    QList<qint32> m_employeeOrder; // touched or moved, each once
    QSet<qint32> m_employeesDeleted;
};
