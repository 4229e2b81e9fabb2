#pragma once

#include "register/employeerow.h"
#include "register/unitrow.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CRegisterAsOf;
class QWidget;

// The register as the organisation views read it: as it is, or, once a past day
// is set, as it stood at the end of that day (then nothing may be changed). The
// tree, the list and the window of employees without a unit share one day.
class CShownRegister final
{
public:
    using AsOf = std::shared_ptr<const CRegisterAsOf>;

    void SetAsOf(AsOf asOf) { m_pAsOf = std::move(asOf); }
    const AsOf &GetAsOf() const { return m_pAsOf; }
    bool IsAsOf() const { return m_pAsOf != nullptr; }
    // The day shown; invalid for today.
    QDate Day() const;

    bool Exists(qint32 unitId) const;
    QList<SUnitRow> Children(qint32 parentId, const std::function<void()> &pulse = {}) const;
    QList<qint32> Chain(qint32 unitId) const;
    QString Path(qint32 unitId, bool skipCompany) const;
    QList<SEmployeeRow> OfUnit(qint32 unitId, const std::function<void()> &pulse = {}) const;
    // The unit the employee stood in (0: none), the employee's Busyo being busyo
    // now; nothing when they were not in the register on the day shown.
    std::optional<qint32> UnitOfEmployee(qint32 employeeId, qint32 busyo) const;

    // True, after telling the user why, when a past day is shown: nothing may change then.
    bool RefuseEdit(QWidget *parent) const;

private:
    AsOf m_pAsOf;
};
