#pragma once

#include "register/printrecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// What printing reads of the register: the employees of a company in print
// order, those of a unit and the units under it grouped by unit, one employee with the unit items of a business card, and
// the photos of the employees on a page.
class CPrintSource final
{
public:
    CPrintSource() = delete;

    struct SCompanyList {
        QString strCompany;                // the company's name
        std::vector<CPrintRecord> records; // their own address; the path below the company
    };
    // Every employee whose unit carries the code of the company above unitId, in
    // ID order; none without a unit or with a unit that is gone. Nothing when
    // unitId itself is gone.
    static std::optional<SCompanyList> CompanyList(qint32 unitId);

    // One unit's employees under the unit's path, from the company down, " / " between names.
    struct SUnitGroup {
        qint32 nUnit = 0;
        QString strHeading;
        int nTopUnit = 0;                  // 0: the chosen unit itself; n: its n-th unit below and what lies under that
        std::vector<CPrintRecord> records; // ID order, paths below the company
    };
    struct SUnitList {
        QString strUnit; // the chosen unit's path
        std::vector<SUnitGroup> groups;
    };
    // The chosen unit and every unit under it, each by code right after the unit
    // above it, with its employees; units without employees are left out.
    // Nothing when unitId is gone.
    static std::optional<SUnitList> UnitList(qint32 unitId);
    // An employee with the address, telephone and fax of its unit, the path below
    // the company and the company's name, all empty when the unit is gone;
    // nothing when the employee is gone.
    static std::optional<CPrintRecord> Card(qint32 employeeId);
    // The name of the first unit in code order, which a card job keeps as its subtitle.
    static QString FirstUnitName();
    // The photos of these employees, read now; employees without one are left out.
    static QHash<qint32, QByteArray> Photos(const std::vector<qint32> &ids);
};
