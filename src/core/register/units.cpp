#include "register/units.h"

#include "register/historywriter.h"
#include "register/idchunks.h"
#include "register/register.h"
#include "register/registertransaction.h"
#include "store/daocolumnsubset.h"
#include "store/daodatabase.h"
#include "store/daofind.h"
#include "store/daostatement.h"
#include "store/mast00.h"
#include "store/setopener.h"

namespace {
const QStringList kTreeColumns = {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Name")};
const QStringList kRowColumns = {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Code"),
                                 QStringLiteral("Name")};

SUnitRow RowOf(const CMast00 &units)
{
    return {units.m_ID, units.m_Parent, units.m_Code, units.m_Name};
}

void TakeAddress(CMast00 &units, const SUnitFields &fields)
{
    units.m_Name = fields.strName;
    units.m_Yuu = fields.strYuu;
    units.m_Juu1 = fields.strJuu1;
    units.m_Juu2 = fields.strJuu2;
    units.m_TEL = fields.strTel;
    units.m_FAX = fields.strFax;
}
} // namespace

bool CUnits::Exists(qint32 id)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, {QStringLiteral("ID")});
    const CSetOpener open(units);
    return units.FindById(id);
}

QString CUnits::Path(qint32 id, bool skipCompany)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, kTreeColumns);
    const CSetOpener open(units);
    return units.GetUnitPath(id, skipCompany);
}

QString CUnits::SlashPath(qint32 id)
{
    QString path = Path(id, false);
    path.chop(1); // the last line feed
    return path.replace(QLatin1Char('\n'), QLatin1Char('/'));
}

QList<qint32> CUnits::Chain(qint32 id)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, kTreeColumns);
    const CSetOpener open(units);
    QList<qint32> chain;
    units.GetUnitChain(id, &chain);
    return chain;
}

QList<SUnitRow> CUnits::Children(qint32 parentId, const std::function<void()> &pulse)
{
    CMast00 units;
    // One walk over the whole table in this order, as the index on (Parent, Code) gives it.
    units.m_strSort = QStringLiteral("Parent , Code , ID");
    const CDaoFind under(QStringLiteral("Parent"), CDaoFind::EOp::equal, parentId);
    const CDaoColumnSubset columns(units, kRowColumns);
    const CSetOpener open(units);
    QList<SUnitRow> rows;
    for (bool found = units.FindFirst(under); found; found = units.FindNext(under)) {
        rows.append(RowOf(units));
        if (pulse)
            pulse();
    }
    return rows;
}

QList<SUnitRow> CUnits::All()
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    CDaoStatement q(*db, QStringLiteral("SELECT ID, Parent, Code, Name FROM Mast00 ORDER BY ID"));
    q.Exec();
    QList<SUnitRow> rows;
    while (q.Next())
        rows.append({qint32(q.Int64(0)), qint32(q.Int64(1)), qint32(q.Int64(2)), q.Text(3)});
    q.Finish();
    return rows;
}

std::optional<SUnitRow> CUnits::Row(qint32 id)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, kRowColumns);
    const CSetOpener open(units);
    if (!units.FindById(id))
        return std::nullopt;
    return RowOf(units);
}

std::optional<SUnitFields> CUnits::Fields(qint32 id)
{
    CMast00 units;
    const CSetOpener open(units);
    if (!units.FindById(id))
        return std::nullopt;
    return SUnitFields{units.m_ID,   units.m_Parent, units.m_Code, units.m_Name, units.m_Yuu,
                       units.m_Juu1, units.m_Juu2,   units.m_TEL,  units.m_FAX};
}

qint32 CUnits::AddDepartment(qint32 parentId, const SUnitFields &fields)
{
    CRegisterTransaction transaction;
    if (!Hold(transaction, parentId))
        return 0;
    CMast00 units;
    units.Open();
    if (!units.FindById(parentId))
        return 0;
    const qint32 code = units.m_Code;
    units.AddNew();
    units.m_Parent = parentId;
    units.m_Code = code;
    TakeAddress(units, fields);
    units.Update();
    const auto id = qint32(units.GetLastModifiedBookmark());
    units.Close();
    CHistoryWriter(transaction.Database()).UnitsAdded({id});
    transaction.Note({SRegisterChange::EKind::unitAdded, {id}, parentId});
    transaction.Commit();
    return id;
}

qint32 CUnits::SaveCompany(qint32 code, const SUnitFields &fields)
{
    CRegisterTransaction transaction;
    CMast00 units;
    units.Open();
    const bool existing = units.FindFirst(CDaoFind(QStringLiteral("Code"), CDaoFind::EOp::equal, code));
    CHistoryWriter history(transaction.Database());
    CHistoryWriter::SSnapshot before;
    if (existing) {
        before = CHistoryWriter::ReadUnits(transaction.Database(), {units.m_ID});
        units.Edit();
    } else {
        units.AddNew();
        units.m_Code = code;
    }
    units.m_Parent = 0;
    TakeAddress(units, fields);
    units.Update();
    const auto id = qint32(existing ? units.m_ID : units.GetLastModifiedBookmark());
    units.Close();
    if (existing)
        history.UnitsEdited(before, CHistoryWriter::ReadUnits(transaction.Database(), {id}));
    else
        history.UnitsAdded({id});
    transaction.Note({existing ? SRegisterChange::EKind::unitChanged : SRegisterChange::EKind::unitAdded, {id}, 0});
    transaction.Commit();
    return id;
}

namespace {
// The units a delete of id takes away: a company with every unit of its code, a
// department alone; none when it is gone. parent gets the unit's parent.
QList<qint32> UnitsDeletedWith(CDaoDatabase &db, qint32 id, qint32 &parent)
{
    qint32 code = 0;
    {
        CDaoStatement q(db, QStringLiteral("SELECT Parent, Code FROM Mast00 WHERE ID = ?"));
        q.Bind(0, id);
        q.Exec();
        if (!q.Next())
            return {};
        parent = qint32(q.Int64(0));
        code = qint32(q.Int64(1));
        q.Finish();
    }
    if (parent != 0)
        return {id};
    QList<qint32> units;
    CDaoStatement q(db, QStringLiteral("SELECT ID FROM Mast00 WHERE Code = ? ORDER BY ID"));
    q.Bind(0, code);
    q.Exec();
    while (q.Next())
        units.append(qint32(q.Int64(0)));
    q.Finish();
    return units;
}
} // namespace

int CUnits::ReleasedByDelete(qint32 id)
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    qint32 parent = 0;
    const QList<qint32> units = UnitsDeletedWith(*db, id, parent);
    if (units.isEmpty())
        return -1;
    int count = 0;
    for (qint32 chunk : CIdChunks::Select(*db, QStringLiteral("SELECT count(*) FROM Mast01 WHERE Busyo IN (%1)"), units))
        count += chunk;
    return count;
}

bool CUnits::Delete(qint32 id)
{
    CRegisterTransaction transaction;
    CDaoDatabase &db = transaction.Database();
    qint32 parent = 0;
    const QList<qint32> units = UnitsDeletedWith(db, id, parent);
    if (units.isEmpty())
        return false;
    const QList<qint32> released = CIdChunks::Select(db, QStringLiteral("SELECT ID FROM Mast01 WHERE Busyo IN (%1)"),
                                                     units);
    // The units go first: a move into one of them that holds it is waited for, and
    // its employees are then released with the others.
    // The employees' entries come first: their units' paths then still read as they were.
    CHistoryWriter history(db);
    history.BeforeRelease(units);
    history.BeforeUnitsDeleted(units);
    QList<CDaoDatabase::SBoundStatement> statements = CIdChunks::Statements(
        QStringLiteral("DELETE FROM Mast00 WHERE ID IN (%1)"), {}, units);
    statements += CIdChunks::Statements(QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE Busyo IN (%1)"), {}, units);
    db.ExecuteAll(statements);
    if (!released.isEmpty())
        transaction.Note({SRegisterChange::EKind::employeesMoved, released, 0});
    transaction.Note({SRegisterChange::EKind::unitDeleted, units, parent});
    transaction.Commit();
    return true;
}

bool CUnits::Hold(CRegisterTransaction &transaction, qint32 id)
{
    // A write of the row that changes nothing: it finds the unit or not, and locks
    // it for the rest of the transaction on either engine.
    const QList<CDaoDatabase::SBoundStatement> touch = {
        {QStringLiteral("UPDATE Mast00 SET Code = Code WHERE ID = ?"), {id}}};
    return transaction.Database().ExecuteAll(touch) > 0;
}
