#pragma once

#include "register/historywriter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CDaoDatabase;
class CMast00;
class CMast01;

// A unit as the exchange with other programs sees it.
struct SUnitRecord {
    qint32 id = 0;
    qint32 parent = 0;
    qint32 code = 0;
    QString fields[6]; // name, postal code, address 1 and 2, telephone, fax
};

// What tells an employee apart when two share a code.
struct SEmployeeKey {
    qint32 code = 0;
    QString name;
};

// The whole register read and written at once, for files exchanged with other
// programs: every write between Begin and Commit is kept together or not at all,
// and listeners hear of it once, when it is kept.
class CRegisterExchange final
{
public:
    explicit CRegisterExchange(CDaoDatabase &database);
    ~CRegisterExchange();
    CRegisterExchange(const CRegisterExchange &) = delete;
    CRegisterExchange &operator=(const CRegisterExchange &) = delete;

    enum class EUnitOrder { byId, byCode };
    QList<SUnitRecord> Units(EUnitOrder order);
    // Each code's employee, the first added where a code is taken twice.
    QHash<qint32, qint32> EmployeeIdsByCode();
    // Every employee's code and name by ID, those that share a code among them.
    QHash<qint32, SEmployeeKey> EmployeeKeysById();
    // Every employee in code order, all columns but the photo.
    void ForEachEmployee(const std::function<void(const CMast01 &)> &visit);

    void Begin();
    qint32 AddUnit(qint32 parentId, qint32 code, const QString (&fields)[6]);
    void UpdateUnit(qint32 id, const QString (&fields)[6]);
    // id 0 adds an employee; fill sets the members to write.
    void WriteEmployee(qint32 id, qint32 code, const std::function<void(CMast01 &)> &fill);
    void Commit();
    void Rollback();

private:
    CMast00 &UnitWriter();
    CMast01 &EmployeeWriter();
    // What the import changed, added to the history in a few statements before it is kept.
    void WriteHistory();

    CDaoDatabase &m_database;
    std::unique_ptr<CMast00> m_pUnits;
    std::unique_ptr<CMast01> m_pEmployees;
    bool m_bInTransaction = false;
    bool m_bWrote = false;
    QList<qint32> m_addedUnits;
    QList<qint32> m_addedEmployees;
    QList<qint32> m_editedEmployees;
    CHistoryWriter::SSnapshot m_unitsBefore;
    // Every employee as it was, read once at the first correction.
    std::optional<CHistoryWriter::SSnapshot> m_employeesBefore;
};
