#pragma once

#include <QString>
#include <QStringList>

class CDaoDatabase;

// The side table ChangeLog: one row for each change of the register, kept beside
// Mast00 and Mast01 so that those keep their columns. Rows are only ever added.
class CChangeLog final
{
public:
    CChangeLog() = delete;

    // The kinds of change the Kind column holds. Those of an employee's place
    // (added, deleted, moved) carry the units in OldUnit and NewUnit, kNowhere
    // standing for not being in the register.
    enum EKind {
        kEmployeeAdded = 1,
        kEmployeeDeleted = 2,
        kEmployeeMoved = 3,
        kEmployeeEdited = 4,
        kUnitAdded = 11,
        kUnitDeleted = 12,
        kUnitMoved = 13,
        kUnitEdited = 14,
    };
    static constexpr qint32 kNowhere = -1;

    // The columns kept of an employee (all but ID and the photo) and of a unit
    // (all but ID), in the order a whole row is packed into Shot.
    static const QStringList &EmployeeColumns();
    static const QStringList &UnitColumns();
    // Who, for a write another program made (on a server followed by its database user).
    static QString OtherProgram();

    // The table and the indexes behind the reads as of a day, for a new register.
    static QStringList CreateStatements();
    // On a register made before the table: makes it, in one transaction. Does
    // nothing on a read-only connection or without both tables of ours.
    static void Ensure(CDaoDatabase &db);
    // Whether the register holds the table (a read-only older file may not).
    static bool Exists(CDaoDatabase &db);
};
