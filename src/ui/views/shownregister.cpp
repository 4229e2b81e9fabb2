#include "views/shownregister.h"

#include "base/modalseam.h"
#include "forms/asofdate.h"
#include "register/employees.h"
#include "register/history.h"
#include "register/registerasof.h"
#include "register/units.h"

QDate CShownRegister::Day() const
{
    return m_pAsOf ? m_pAsOf->Day() : QDate();
}

bool CShownRegister::Exists(qint32 unitId) const
{
    return m_pAsOf ? m_pAsOf->Exists(unitId) : CUnits::Exists(unitId);
}

QList<SUnitRow> CShownRegister::Children(qint32 parentId, const std::function<void()> &pulse) const
{
    return m_pAsOf ? m_pAsOf->Children(parentId) : CUnits::Children(parentId, pulse);
}

QList<qint32> CShownRegister::Chain(qint32 unitId) const
{
    return m_pAsOf ? m_pAsOf->Chain(unitId) : CUnits::Chain(unitId);
}

QString CShownRegister::Path(qint32 unitId, bool skipCompany) const
{
    return m_pAsOf ? m_pAsOf->Path(unitId, skipCompany) : CUnits::Path(unitId, skipCompany);
}

QList<SEmployeeRow> CShownRegister::OfUnit(qint32 unitId, const std::function<void()> &pulse) const
{
    return m_pAsOf ? m_pAsOf->OfUnit(unitId, pulse) : CEmployees::OfUnit(unitId, pulse);
}

std::optional<qint32> CShownRegister::UnitOfEmployee(qint32 employeeId, qint32 busyo) const
{
    if (!m_pAsOf)
        return busyo;
    // Only the units they have been in can have held them; each is asked as the lists ask.
    QList<qint32> units{busyo};
    for (const SHistoryEntry &entry : CHistory::OfEmployee(employeeId)) {
        if (entry.what == SHistoryEntry::EWhat::employeeMoved)
            units << entry.nOldUnit << entry.nNewUnit;
    }
    units << 0;
    QList<qint32> asked;
    for (qint32 unit : std::as_const(units)) {
        if (asked.contains(unit) || (unit != 0 && !m_pAsOf->Exists(unit)))
            continue;
        asked << unit;
        for (const SEmployeeRow &row : m_pAsOf->OfUnit(unit)) {
            if (row.nID == employeeId)
                return unit;
        }
    }
    return std::nullopt;
}

bool CShownRegister::RefuseEdit(QWidget *parent) const
{
    if (!m_pAsOf)
        return false;
    MorvekMessageBox(CAsOfDate::ReadOnlyText(), QMessageBox::Ok, QMessageBox::Information, QStringLiteral("基準日"),
                     parent);
    return true;
}
