#pragma once

#include "register/employeerow.h"
#include "register/stafffact.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

class CDaoStatement;
class CMast01;

// The employees as the organisation views ask for them and move them. Each
// write is one register transaction and tells the register what it changed.
class CEmployees final
{
public:
    enum class EMove { moved, unitGone, badDate };

    CEmployees() = delete;

    // The employees of a unit by code, as the lists show them. Unit 0 stands for
    // no unit: Busyo 0, or naming a unit that is gone (they would appear nowhere else).
    // pulse is called for each employee read, for a busy indicator.
    static QList<SEmployeeRow> OfUnit(qint32 unitId, const std::function<void()> &pulse = {});
    static QList<SEmployeeRow> WithoutUnit(const std::function<void()> &pulse = {}) { return OfUnit(0, pulse); }
    // Whether the employee is there and listed among those without a unit.
    static bool IsWithoutUnit(qint32 id);
    // The rows of these employees in the order given; those that are gone are left out.
    static QList<SEmployeeRow> Rows(const QList<qint32> &ids);
    // The columns a list row is read from ("ID, Sex, ..."), and the row from a
    // statement that reads them in that order.
    static QString RowColumns();
    static SEmployeeRow RowFrom(const CDaoStatement &q);
    // Every employee, for the organisation chart and the staff figures, in one read;
    // the unit as stored, whether it is there or not.
    static QList<SStaffFact> Facts();

    // Puts the employees into unitId (0: out of any unit), all of them or none: a
    // failing write throws and changes nobody. The unit is looked for inside the
    // same write, and held until it ends; when it is gone nobody moves. moved gets
    // the employees that were still there. effective is the day the move takes
    // effect (null: today); a day after today is refused (badDate, nobody moves).
    static EMove Move(const QList<qint32> &ids, qint32 unitId, QList<qint32> *moved = nullptr, const QDate &effective = {});
    // Takes the employees out of their units, all or none; returns those that were there.
    static QList<qint32> Release(const QList<qint32> &ids, const QDate &effective = {});
    // Why a move cannot take effect on day, in Japanese; empty when it can.
    static QString EffectiveDateProblem(const QDate &day);
};
