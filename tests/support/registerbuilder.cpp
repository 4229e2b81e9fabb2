#include "support/registerbuilder.h"

#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daorecordset.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/writetriggers.h"

namespace {
// Test data stands for what was there before: written as the program's own, it
// leaves no history of another program's writes.
template <typename Write>
auto AsOwn(CDaoDatabase &db, Write write)
{
    db.BeginTrans();
    try {
        CWriteTriggers::MarkOwn(db);
        auto result = write();
        CWriteTriggers::UnmarkOwn(db);
        db.CommitTrans();
        return result;
    } catch (...) {
        db.Rollback();
        throw;
    }
}
} // namespace

qint32 CRegisterBuilder::AddUnit(const SUnitRow &unit)
{
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
    return AsOwn(*db, [&] {
        CMast00 set;
        set.Open();
        return AddUnit(set, unit);
    });
}

qint32 CRegisterBuilder::AddEmployee(const SEmployeeRow &employee)
{
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
    return AsOwn(*db, [&] {
        CMast01 set;
        set.Open();
        return AddEmployee(set, employee);
    });
}

qint32 CRegisterBuilder::AddUnit(CMast00 &set, const SUnitRow &unit)
{
    set.AddNew();
    set.m_Parent = unit.parent;
    set.m_Code = unit.code;
    set.m_Name = unit.name;
    set.m_Yuu = unit.yuu;
    set.m_Juu1 = unit.juu1;
    set.m_Juu2 = unit.juu2;
    set.m_TEL = unit.tel;
    set.m_FAX = unit.fax;
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

qint32 CRegisterBuilder::AddEmployee(CMast01 &set, const SEmployeeRow &employee)
{
    set.AddNew();
    set.m_Code = employee.code;
    set.m_Busyo = employee.busyo;
    set.m_Name = employee.name;
    set.m_Sex = employee.female;
    set.m_Kana = employee.kana;
    set.m_Sdate = employee.birth;
    set.m_Indat = employee.joined;
    set.m_Outdat = employee.left;
    set.m_Yuu = employee.yuu;
    set.m_Juu1 = employee.juu1;
    set.m_Juu2 = employee.juu2;
    set.m_TEL = employee.tel;
    set.m_FAX = employee.fax;
    set.m_Rire = employee.rire;
    set.m_Sikaku = employee.sikaku;
    set.m_Mem = employee.mem;
    set.m_Email = employee.email;
    // Left alone, the photo column stays NULL as in a row saved without one.
    if (!employee.pic.isEmpty())
        set.m_Pic.SetData(employee.pic);
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

QList<qint32> CRegisterBuilder::AddEmployees(const QList<SEmployeeRow> &employees, const QString &path)
{
    CDaoDatabase db;
    db.Open(path.isEmpty() ? CDaoRecordset::ApplicationDatabasePath() : path);
    return AsOwn(db, [&] {
        QList<qint32> ids;
        CMast01 set(&db);
        set.Open();
        for (const SEmployeeRow &employee : employees)
            ids << AddEmployee(set, employee);
        return ids;
    });
}

CRegisterBuilder::SEmployeeRow CRegisterBuilder::Numbered(qint32 code, qint32 busyo)
{
    return {code, busyo, NumberedName(code)};
}

QString CRegisterBuilder::NumberedName(qint32 code)
{
    return QStringLiteral("社員%1").arg(code);
}
