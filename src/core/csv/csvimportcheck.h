#pragma once

#include "csv/csvimportplan.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class CRegisterExchange;
struct SCsvImportSummary;

// Checks the rows of an import against the register and against each other,
// and plans what to write: the units a path names (made where missing), the
// fields that change, the employees to add or update. Writes nothing.
class CCsvImportCheck final
{
public:
    CCsvImportCheck(SCsvImportPlan &plan, SCsvImportSummary &summary)
        : m_plan(plan)
        , m_summary(summary)
    {
    }

    void LoadRegister(CRegisterExchange &exchange);
    void CheckUnits(const SCsvImportTable &table, ECsvExisting existing);
    // The cells move into the plan: a large file is held once, not twice.
    void CheckEmployees(SCsvImportTable &table, ECsvExisting existing, ECsvMissingUnits missing);

private:
    struct SUnitLine {
        qint32 code = 0;
        QStringList names;
        QString values[CCsvColumns::UnitColumnCount];
        bool given[CCsvColumns::UnitColumnCount] = {};
    };

    bool ReadUnitLine(const SCsvImportTable &table, const SCsvRecord &record, SUnitLine &line);
    // The unit the line names, made where missing; -1 when the line is refused.
    int PlaceUnit(const SCsvImportTable &table, qsizetype line, const SUnitLine &unit);
    // True when the line changes the unit's fields.
    bool TakeUnitFields(int target, const SUnitLine &line);
    // The column a row is refused for, with the reason; -1 when it is sound.
    int CheckEmployeeRow(SCsvImportEmployee &row, QStringList &names, QString &reason) const;
    // The unit of an employee row's path, made where missing when allowed; -1 for no
    // unit, -2 when the row is refused.
    int PlaceEmployee(const SCsvImportTable &table, qsizetype line, const SCsvImportEmployee &row, const QStringList &names,
                      ECsvMissingUnits missing);
    void Refuse(const SCsvImportTable &table, qsizetype line, int column, const QString &reason);
    // Follows names below parent (-1: from the companies by name). Returns the index
    // of the deepest unit found and how many names matched; -3 with the reason when
    // a name is ambiguous.
    int Walk(int parent, const QStringList &names, int from, int &matched, QString &reason) const;
    int CreateUnits(int parent, qint32 code, const QStringList &names, int from);
    int AddUnit(int parent, qint32 code, const QString &name);
    static QString ChildKey(int parent, const QString &name);

    SCsvImportPlan &m_plan;
    SCsvImportSummary &m_summary;
    QHash<QString, QList<int>> m_children; // parent index and name -> units
    QHash<qint32, int> m_companyByCode;
    QHash<qint32, qint32> m_employeeIds; // code -> first ID in code order
};
