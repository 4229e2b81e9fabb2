#pragma once

#include <QList>
#include <QMetaType>

// What one write did to the register, told to every listener once it is kept.
struct SRegisterChange {
    enum class EKind {
        unitAdded,       // ids: the new unit; unit: its parent
        unitChanged,     // ids: the unit whose own fields changed
        unitDeleted,     // ids: the units removed (a company with its departments)
        employeeAdded,   // ids: the new employee
        employeeChanged, // ids: employees whose own fields changed
        employeeDeleted, // ids: the employees removed
        employeesMoved,  // ids: the employees; unit: where they went (0: released)
        everything,      // a whole register arrived at once (import, restore)
    };

    EKind kind = EKind::everything;
    QList<qint32> ids;
    qint32 unit = 0;
    // Made by another program or user, heard through the register's connection.
    bool elsewhere = false;
};
Q_DECLARE_METATYPE(SRegisterChange)
