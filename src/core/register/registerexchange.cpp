#include "register/registerexchange.h"

#include "register/changepayload.h"
#include "register/nameindex.h"
#include "register/register.h"
#include "store/daocolumnsubset.h"
#include "store/daodatabase.h"
#include "store/foldednames.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/writetriggers.h"

namespace {
void TakeFields(CMast00 &set, const QString (&fields)[6])
{
    set.m_Name = fields[0];
    set.m_Yuu = fields[1];
    set.m_Juu1 = fields[2];
    set.m_Juu2 = fields[3];
    set.m_TEL = fields[4];
    set.m_FAX = fields[5];
}
} // namespace

CRegisterExchange::CRegisterExchange(CDaoDatabase &database)
    : m_database(database)
{
}

CRegisterExchange::~CRegisterExchange()
{
    // The sets end their statements before a rollback, which a live read would block.
    m_pUnits.reset();
    m_pEmployees.reset();
    if (m_bInTransaction)
        m_database.Rollback();
}

QList<SUnitRecord> CRegisterExchange::Units(EUnitOrder order)
{
    QList<SUnitRecord> units;
    CMast00 set(&m_database);
    set.m_strSort = order == EUnitOrder::byId ? QStringLiteral("ID") : QStringLiteral("Code , ID");
    set.Open();
    const CDaoFind all;
    for (bool found = set.FindFirst(all); found; found = set.FindNext(all)) {
        units.append(
            {set.m_ID, set.m_Parent, set.m_Code, {set.m_Name, set.m_Yuu, set.m_Juu1, set.m_Juu2, set.m_TEL, set.m_FAX}});
    }
    return units;
}

QHash<qint32, qint32> CRegisterExchange::EmployeeIdsByCode()
{
    QHash<qint32, qint32> ids;
    CMast01 set(&m_database);
    set.m_strSort = QStringLiteral("Code , ID");
    // Only the two keys are needed; reading every column of 100,000 rows would not be.
    const CDaoColumnSubset columns(set, {QStringLiteral("ID"), QStringLiteral("Code")});
    set.Open();
    const CDaoFind all;
    for (bool found = set.FindFirst(all); found; found = set.FindNext(all)) {
        if (!ids.contains(set.m_Code))
            ids.insert(set.m_Code, set.m_ID);
    }
    return ids;
}

QHash<qint32, SEmployeeKey> CRegisterExchange::EmployeeKeysById()
{
    QHash<qint32, SEmployeeKey> keys;
    CMast01 set(&m_database);
    set.m_strSort = QStringLiteral("Code , ID");
    const CDaoColumnSubset columns(set, {QStringLiteral("ID"), QStringLiteral("Code"), QStringLiteral("Name")});
    set.Open();
    const CDaoFind all;
    for (bool found = set.FindFirst(all); found; found = set.FindNext(all))
        keys.insert(set.m_ID, {set.m_Code, set.m_Name});
    return keys;
}

void CRegisterExchange::ForEachEmployee(const std::function<void(const CMast01 &)> &visit)
{
    CMast01 set(&m_database);
    set.m_strSort = QStringLiteral("Code , ID");
    set.Open();
    const CDaoFind all;
    for (bool found = set.FindFirst(all); found; found = set.FindNext(all))
        visit(set);
}

void CRegisterExchange::Begin()
{
    // Refused as every other write is, not with the driver's words.
    CRegister::RefuseWhenLost();
    m_database.BeginTrans();
    m_bInTransaction = true;
    CWriteTriggers::MarkOwn(m_database);
    m_bWrote = false;
    m_addedUnits.clear();
    m_addedEmployees.clear();
    m_editedEmployees.clear();
    m_unitsBefore.clear();
    m_employeesBefore.reset();
}

CMast00 &CRegisterExchange::UnitWriter()
{
    if (!m_pUnits) {
        m_pUnits = std::make_unique<CMast00>(&m_database);
        m_pUnits->Open();
    }
    return *m_pUnits;
}

CMast01 &CRegisterExchange::EmployeeWriter()
{
    if (!m_pEmployees) {
        m_pEmployees = std::make_unique<CMast01>(&m_database);
        m_pEmployees->Open();
    }
    return *m_pEmployees;
}

qint32 CRegisterExchange::AddUnit(qint32 parentId, qint32 code, const QString (&fields)[6])
{
    CMast00 &set = UnitWriter();
    set.AddNew();
    set.m_Parent = parentId;
    set.m_Code = code;
    TakeFields(set, fields);
    set.Update();
    m_bWrote = true;
    const auto id = qint32(set.GetLastModifiedBookmark());
    m_addedUnits << id;
    return id;
}

void CRegisterExchange::UpdateUnit(qint32 id, const QString (&fields)[6])
{
    if (!m_unitsBefore.contains(id) && !m_addedUnits.contains(id))
        m_unitsBefore.insert(CHistoryWriter::ReadUnits(m_database, {id}));
    CMast00 &set = UnitWriter();
    set.SetBookmark(id);
    set.Edit();
    TakeFields(set, fields);
    set.Update();
    m_bWrote = true;
}

void CRegisterExchange::WriteEmployee(qint32 id, qint32 code, const std::function<void(CMast01 &)> &fill)
{
    CMast01 &set = EmployeeWriter();
    if (id == 0) {
        set.AddNew();
        set.m_Code = code;
        set.m_Sdate = set.m_Indat = set.m_Outdat = CDateValue::MakeNull();
    } else {
        if (!m_employeesBefore)
            m_employeesBefore = CHistoryWriter::ReadAllEmployees(m_database);
        set.SetBookmark(id);
        set.Edit();
    }
    fill(set);
    set.Update();
    m_bWrote = true;
    if (id == 0)
        m_addedEmployees << qint32(set.GetLastModifiedBookmark());
    else
        m_editedEmployees << id;
}

void CRegisterExchange::Commit()
{
    m_pUnits.reset();
    m_pEmployees.reset();
    WriteHistory();
    // Refilled whole: an import may touch every employee. Kept with the import or
    // not at all, since a search would otherwise find what the file no longer holds.
    if (m_bWrote) {
        CFoldedNames::Rebuild(m_database);
        CChangePayload::Announce(m_database, {{SRegisterChange::EKind::everything, {}, 0}});
    }
    CWriteTriggers::UnmarkOwn(m_database);
    m_bInTransaction = false;
    m_database.CommitTrans();
    CNameIndex::Instance().Forget();
    if (m_bWrote)
        CRegister::Instance().Notify({SRegisterChange::EKind::everything, {}, 0});
}

void CRegisterExchange::WriteHistory()
{
    CHistoryWriter history(m_database);
    history.UnitsAdded(m_addedUnits);
    if (!m_unitsBefore.isEmpty())
        history.UnitsEdited(m_unitsBefore, CHistoryWriter::ReadUnits(m_database, m_unitsBefore.keys()));
    history.EmployeesAdded(m_addedEmployees);
    if (m_employeesBefore && !m_editedEmployees.isEmpty())
        history.EmployeesEdited(*m_employeesBefore, CHistoryWriter::ReadEmployees(m_database, m_editedEmployees));
}

void CRegisterExchange::Rollback()
{
    m_pUnits.reset();
    m_pEmployees.reset();
    if (std::exchange(m_bInTransaction, false))
        m_database.Rollback();
}
