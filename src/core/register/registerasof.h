#pragma once

#include "register/employeerow.h"
#include "register/printsource.h"
#include "register/stafffact.h"
#include "register/unitfields.h"
#include "register/unitrow.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CDaoDatabase;
struct SAsOfPast;

// The register as it stood at the end of one day, read from the history: the
// units with their fields and place, and the employees of each. Read-only. The
// units are read once, when made; what changed since the day at the first list
// asked for; the employees of a unit on each ask.
class CRegisterAsOf final
{
public:
    // day: a past day or today (today gives what the register holds now).
    explicit CRegisterAsOf(const QDate &day);

    QDate Day() const { return m_day; }

    // As CUnits answers them for today.
    bool Exists(qint32 unitId) const { return m_units.contains(unitId); }
    QList<SUnitRow> Children(qint32 parentId) const;
    std::optional<SUnitFields> Fields(qint32 unitId) const;
    QString Path(qint32 unitId, bool skipCompany) const;
    QString SlashPath(qint32 unitId) const;
    QList<qint32> Chain(qint32 unitId) const;
    // Every unit then, by ID.
    QList<SUnitFields> Units() const;

    // As CEmployees answers them for today: rows by code, paths as they were then.
    QList<SEmployeeRow> OfUnit(qint32 unitId, const std::function<void()> &pulse = {}) const;
    // Every employee then, as CEmployees::Facts answers for today.
    QList<SStaffFact> Facts() const;
    QList<SEmployeeRow> WithoutUnit(const std::function<void()> &pulse = {}) const { return OfUnit(0, pulse); }

    // One employee as they stood then, in the unit then, its path below the company;
    // none when not yet added that day. A deleted one as the delete kept them.
    std::optional<CPrintRecord> Employee(qint32 employeeId) const;
    // As CPrintSource answers them for today.
    std::optional<CPrintRecord> Card(qint32 employeeId) const;
    std::optional<CPrintSource::SCompanyList> CompanyList(qint32 unitId) const;
    std::optional<CPrintSource::SUnitList> UnitList(qint32 unitId) const;

private:
    // Read at the first list asked for, and kept for the next.
    const SAsOfPast &Past(CDaoDatabase &db) const;

    QDate m_day;
    QHash<qint32, SUnitFields> m_units;
    bool m_bKept = false; // the register keeps a history (an older file opened read-only may not)
    mutable std::shared_ptr<SAsOfPast> m_pPast;
};
