#pragma once

#include "register/stafffact.h"
#include "register/unitrow.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

class CRegisterAsOf;

// The units and the employees in service at the end of one day, read once, for the
// organisation chart and the staff figures. Counting needs no further read.
class CStaffSnapshot final
{
public:
    CStaffSnapshot() = default;
    // Built from what was read; day: the end of which employees are counted.
    CStaffSnapshot(const QList<SUnitRow> &units, const QList<SStaffFact> &facts, const QDate &day);

    // asOf: the register as it stood then; nullptr: today's register.
    static CStaffSnapshot Read(const CRegisterAsOf *asOf);

    QDate Day() const { return m_day; }
    bool IsToday() const { return m_bToday; }
    void SetToday(bool today) { m_bToday = today; }
    // "基準日 令和6年4月1日 現在" for a past day, as titles and sheets say it; empty for today.
    QString AsOfText() const;

    const QList<SUnitRow> &Units() const { return m_units; }
    const SUnitRow *Unit(qint32 id) const;
    // Units right under parentId (0: the companies), by code, then by ID.
    QList<SUnitRow> Children(qint32 parentId) const;
    // unitId and every unit under it, parents before children; all units for 0.
    QList<qint32> Subtree(qint32 unitId) const;
    // The unit a path names, as the CSV files write it ("本社/営業部"); 0 when none.
    qint32 Find(const QString &slashPath) const;
    QString SlashPath(qint32 unitId) const;

    // Employees in service that day: all of them, or those in unitId and under it
    // (0: every employee, those in no unit too).
    const QList<SStaffFact> &Staff() const { return m_staff; }
    QList<SStaffFact> StaffUnder(qint32 unitId) const;
    // Every employee, in service that day or not (those who have left, those who join later).
    const QList<SStaffFact> &Everyone() const { return m_everyone; }
    QList<SStaffFact> EveryoneUnder(qint32 unitId) const;
    // In service in the unit itself; with the units under it.
    int Own(qint32 unitId) const { return m_own.value(unitId); }
    int Total(qint32 unitId) const;
    // Employees in service in no unit.
    int WithoutUnit() const { return m_own.value(0); }

private:
    QList<SUnitRow> m_units;
    QHash<qint32, qsizetype> m_index;        // unit -> its place in m_units
    QHash<qint32, QList<qint32>> m_children; // by code, then ID
    QList<SStaffFact> m_everyone;
    QList<SStaffFact> m_staff;          // in service only
    QHash<qint32, int> m_own;           // unit -> in service there
    mutable QHash<qint32, int> m_total; // filled on first ask
    QDate m_day;
    bool m_bToday = true;
};
