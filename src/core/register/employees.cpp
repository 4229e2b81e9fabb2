#include "register/employees.h"

#include "register/historywriter.h"
#include "register/idchunks.h"
#include "register/register.h"
#include "register/registertransaction.h"
#include "register/units.h"
#include "store/daocolumnsubset.h"
#include "store/daofind.h"
#include "store/daostatement.h"
#include "store/mast01.h"
#include "store/setopener.h"

#include <QHash>
#include <QSet>

namespace {
// What a row of a list shows: nothing else is read while a list fills.
const QStringList kRowColumns = {QStringLiteral("ID"),    QStringLiteral("Sex"),   QStringLiteral("Name"),
                                 QStringLiteral("Code"),  QStringLiteral("Busyo"), QStringLiteral("Kana"),
                                 QStringLiteral("Indat"), QStringLiteral("TEL")};

SEmployeeRow RowOf(const CMast01 &employee)
{
    return {employee.m_ID,    employee.m_Sex,   employee.m_Name,
            employee.m_Code,  employee.m_Busyo, employee.m_Kana,
            employee.m_Indat, employee.m_TEL,   {}};
}

// The paths of the units the rows name, each unit read once.
void FillUnitPaths(QList<SEmployeeRow> &rows)
{
    QHash<qint32, QString> paths;
    for (SEmployeeRow &row : rows) {
        if (row.nBusyo == 0)
            continue;
        auto found = paths.find(row.nBusyo);
        if (found == paths.end())
            found = paths.insert(row.nBusyo, CUnits::SlashPath(row.nBusyo));
        row.strUnitPath = found.value();
    }
}

CDaoFind EmployeesOf(qint32 unitId)
{
    return unitId == 0 ? CDaoFind::Fixed(CMast01::WithoutUnitCondition())
                       : CDaoFind(QStringLiteral("Busyo"), CDaoFind::EOp::equal, unitId);
}

// Of ids, those still in the register, in the same order.
QList<qint32> StillThere(CDaoDatabase &db, const QList<qint32> &ids)
{
    const QList<qint32> found = CIdChunks::Select(db, QStringLiteral("SELECT ID FROM Mast01 WHERE ID IN (%1)"), ids);
    const QSet<qint32> there(found.cbegin(), found.cend());
    QList<qint32> kept;
    for (qint32 id : ids) {
        if (there.contains(id))
            kept.append(id);
    }
    return kept;
}
} // namespace

QList<SStaffFact> CEmployees::Facts()
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    CDaoStatement q(*db, QStringLiteral("SELECT ID, Busyo, Sex, Sdate, Indat, Outdat FROM Mast01"));
    q.Exec();
    QList<SStaffFact> facts;
    while (q.Next())
        facts.append({qint32(q.Int64(0)), qint32(q.Int64(1)), q.Value(2).toBool(), CDateValue::FromVariant(q.Value(3)),
                      CDateValue::FromVariant(q.Value(4)), CDateValue::FromVariant(q.Value(5))});
    q.Finish();
    return facts;
}

QList<SEmployeeRow> CEmployees::OfUnit(qint32 unitId, const std::function<void()> &pulse)
{
    CMast01 employees;
    // The (Busyo, Code) index gives a unit's employees in this order.
    employees.m_strSort = unitId == 0 ? QStringLiteral("Code") : QStringLiteral("Busyo,Code");
    const CDaoFind find = EmployeesOf(unitId);
    const CDaoColumnSubset columns(employees, kRowColumns);
    const CSetOpener open(employees);
    QList<SEmployeeRow> rows;
    for (bool found = employees.FindFirst(find); found; found = employees.FindNext(find)) {
        rows.append(RowOf(employees));
        if (pulse)
            pulse();
    }
    FillUnitPaths(rows);
    return rows;
}

QString CEmployees::RowColumns()
{
    return kRowColumns.join(u", ");
}

SEmployeeRow CEmployees::RowFrom(const CDaoStatement &q)
{
    return {qint32(q.Int64(0)),
            q.Value(1).toBool(),
            q.Text(2),
            q.Value(3).toInt(),
            q.Value(4).toInt(),
            q.Text(5),
            CDateValue::FromVariant(q.Value(6)),
            q.Text(7),
            {}};
}

bool CEmployees::IsWithoutUnit(qint32 id)
{
    CMast01 employees;
    const CDaoColumnSubset columns(employees, {QStringLiteral("ID")});
    const CSetOpener open(employees);
    return employees.FindFirst(CDaoFind::ById(id).And(EmployeesOf(0)));
}

QList<SEmployeeRow> CEmployees::Rows(const QList<qint32> &ids)
{
    // A statement per chunk of IDs: thousands released at once are read back in a blink.
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    QHash<qint32, SEmployeeRow> found;
    found.reserve(ids.size());
    CIdChunks::ForEachRow(*db, QStringLiteral("SELECT %1 FROM Mast01 WHERE ID IN (%2)").arg(RowColumns()), ids,
                          [&found](const CDaoStatement &q) {
                              const SEmployeeRow row = RowFrom(q);
                              found.insert(row.nID, row);
                          });
    QList<SEmployeeRow> rows;
    rows.reserve(found.size());
    for (qint32 id : ids) {
        if (const auto row = found.constFind(id); row != found.cend())
            rows.append(*row);
    }
    FillUnitPaths(rows);
    return rows;
}

QString CEmployees::EffectiveDateProblem(const QDate &day)
{
    if (!day.isValid())
        return QStringLiteral("異動の日付が正しくありません。");
    if (day > QDate::currentDate())
        return QStringLiteral("異動の日付に明日以降の日付は指定できません。");
    return {};
}

CEmployees::EMove CEmployees::Move(const QList<qint32> &ids, qint32 unitId, QList<qint32> *moved, const QDate &effective)
{
    if (moved)
        moved->clear();
    if (!effective.isNull() && !EffectiveDateProblem(effective).isEmpty())
        return EMove::badDate;
    const QList<qint32> unique = CIdChunks::Unique(ids);
    CRegisterTransaction transaction;
    if (unitId != 0 && !CUnits::Hold(transaction, unitId))
        return EMove::unitGone;
    CDaoDatabase &db = transaction.Database();
    CHistoryWriter(db, effective).BeforeMove(unique, unitId);
    const int changed = unique.isEmpty()
                          ? 0
                          : db.ExecuteAll(CIdChunks::Statements(
                              QStringLiteral("UPDATE Mast01 SET Busyo = ? WHERE ID IN (%1)"), {unitId}, unique));
    // Mostly everybody is still there, which the count tells without another look.
    const QList<qint32> there = changed == unique.size() ? unique : StillThere(db, unique);
    if (!there.isEmpty())
        transaction.Note({SRegisterChange::EKind::employeesMoved, there, unitId});
    transaction.Commit();
    if (moved)
        *moved = there;
    return EMove::moved;
}

QList<qint32> CEmployees::Release(const QList<qint32> &ids, const QDate &effective)
{
    QList<qint32> released;
    Move(ids, 0, &released, effective);
    return released;
}
