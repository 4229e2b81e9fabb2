#pragma once

#include "csv/csvimportplan.h"
#include "register/registerexchange.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <utility>
#include <QString>
#include <QStringList>

struct SCsvImportSummary;

// Checks the rows of an import against the register and against each other,
// and plans what to write: the units a path names (made where missing), the
// fields that change, the employees to add or update. Writes nothing.
class CCsvImportCheck final
{
public:
    CCsvImportCheck(SCsvImportPlan &plan, SCsvImportSummary &summary, const SCsvPlanChoices &choices)
        : m_plan(plan)
        , m_summary(summary)
        , m_choices(choices)
    {
    }

    void LoadRegister(CRegisterExchange &exchange);
    void CheckUnits(const SCsvImportTable &table);
    // The cells move into the plan: a large file is held once, not twice.
    void CheckEmployees(SCsvImportTable &table);
    // The names of the register's companies, as loaded.
    QStringList CompanyNames() const;

private:
    struct SUnitLine {
        qint32 code = 0;
        QStringList names;
        QString values[CCsvColumns::UnitColumnCount];
        bool given[CCsvColumns::UnitColumnCount] = {};
    };

    using SErrors = QList<std::pair<int, QString>>; // column (-1: the row) and reason

    bool ReadUnitLine(const SCsvImportTable &table, const SCsvRecord &record, SUnitLine &line);
    // The code of a row: refused out of range, told when written with leading zeros.
    bool ReadCode(const SCsvImportTable &table, qsizetype line, const QString &text, qint32 &code, SErrors &errors);
    // The register's employee a row writes over, 0 for a new one.
    qint32 TargetOf(const SCsvImportEmployee &row, qint32 id);
    // A new employee without a name, or an existing one whose name the row empties (an
    // empty cell, an entity left unresolved, a formula without its value): refused, as
    // the employee form refuses an empty name.
    bool LeavesNoName(const SCsvImportEmployee &row, qint32 target, ECsvExisting existing) const;
    // What a spreadsheet does to a number-like text: the leading 0 of a postal code
    // or a telephone number gone. Put back when chosen and sure, else read as it is; shown either way.
    // Returns how many were put back.
    int WarnOfDamage(const SCsvImportTable &table, qsizetype line, QString *texts, int yuu, int tel, int fax);
    // Empty cells filled as chosen, each filled value warned of. A column the file lacks
    // keeps what the register holds: only a new employee's is sure to be empty.
    void FillEmployee(const SCsvImportTable &table, qsizetype line, SCsvImportEmployee &row, qint32 target);
    void FillUnit(const SCsvImportTable &table, qsizetype line, SUnitLine &unit, int target);
    // The unit the line names, made where missing; -1 when the line is refused.
    int PlaceUnit(const SCsvImportTable &table, qsizetype line, const SUnitLine &unit);
    // True when the line changes the unit's fields.
    bool TakeUnitFields(int target, const SUnitLine &line);
    // Every reason the row is refused for; its sex, dates and unit path when sound.
    void CheckEmployeeRow(const SCsvImportTable &table, qsizetype line, SCsvImportEmployee &row, QStringList &names,
                          SErrors &errors);
    // Refused as a duplicate: a second row with the code where one of them has no ID, or the ID twice.
    void CheckDuplicate(const SCsvImportEmployee &row, qint32 id, qsizetype line, SErrors &errors);
    // The unit of an employee row's path, made where missing when allowed; -1 for no
    // unit, -2 when the row is refused. A row refused already (place false) is only
    // told what its path lacks: nothing is made for it.
    int PlaceEmployee(const SCsvImportTable &table, qsizetype line, const SCsvImportEmployee &row, const QStringList &names,
                      bool place);
    // A path that starts with no company's name, in the company the user named.
    int PlaceInCompany(const SCsvImportTable &table, qsizetype line, const QStringList &path, bool place);
    bool Within(int unit, int ancestor) const;
    qint32 NewCompanyCode() const;
    void Refuse(const SCsvImportTable &table, qsizetype line, int column, const QString &reason);
    void Warn(const SCsvImportTable &table, qsizetype line, int column, const QString &reason);
    // A unit given by its name alone: the one unit of that name, or -2 with the candidates refused.
    int PlaceByName(const SCsvImportTable &table, qsizetype line, const QString &name);
    QString PathOf(int unit) const;
    // Follows names below parent (-1: from the companies by name). Returns the index
    // of the deepest unit found and how many names matched; -3 with the reason when
    // a name is ambiguous.
    int Walk(int parent, const QStringList &names, int from, int &matched, QString &reason) const;
    int CreateUnits(int parent, qint32 code, const QStringList &names, int from);
    int AddUnit(int parent, qint32 code, const QString &name);
    static QString ChildKey(int parent, const QString &name);

    SCsvImportPlan &m_plan;
    SCsvImportSummary &m_summary;
    const SCsvPlanChoices m_choices;
    QHash<QString, QList<int>> m_children; // parent index and name -> units
    QHash<qint32, int> m_companyByCode;
    QHash<QString, QList<int>> m_byName; // name -> units, at any depth
    // Whether a row's ID names the register's employee it came from: same code, and same name when given.
    bool NamesEmployee(qint32 id, qint32 code, const QString *name) const;
    // IDs the rows name that way, kept for those rows.
    void ReserveNamedIds(const SCsvImportTable &table);

    QHash<qint32, QList<qint32>> m_idsByCode; // code -> IDs, smallest first
    QHash<qint32, SEmployeeKey> m_keyById;
    QSet<qint32> m_reserved;
    QSet<qint32> m_claimed;              // IDs a row already writes over
    QHash<qint32, qsizetype> m_seenCode; // code -> first line
    QHash<qint32, qsizetype> m_seenNoId; // code -> first line without an ID
    QHash<qint32, qsizetype> m_seenId;   // ID -> line
};
