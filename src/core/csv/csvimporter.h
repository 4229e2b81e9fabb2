#pragma once

#include "csv/csvcolumns.h"
#include "csv/csvtable.h"
#include "dates/datevalue.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class CDaoDatabase;

// A row left out of an import, and why.
struct SCsvRefusal
{
    QString file;
    qsizetype line = 0;
    QString column;     // empty when the row as a whole is refused
    QString reason;
};

struct SCsvImportSummary
{
    int unitsAdded = 0;
    int unitsUpdated = 0;
    int unitsUnchanged = 0;
    int unitsSkipped = 0;
    int employeesAdded = 0;
    int employeesUpdated = 0;
    int employeesSkipped = 0;
    QList<SCsvRefusal> refusals;

    int Refused() const { return int(refusals.size()); }
    // Counts, then the first maxRefusals refused rows with their reasons.
    QString Text(int maxRefusals) const;
};

// Brings "部課.csv" and "社員.csv" into the register: reads and checks every row
// first, then writes all accepted rows in one transaction.
class CCsvImporter final
{
public:
    enum class EExisting { Update, Skip };

    explicit CCsvImporter(CDaoDatabase &database) : m_database(database) {}

    // Reads the files of folder; one of them may be missing. False with a message
    // when a file cannot be read as a whole.
    bool ReadFolder(const QString &folder, QString &error);
    // File bytes as they are on disk; a missing file is nullopt.
    bool ReadData(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                  QString &error);

    // Checks the rows against the register, once per read; writes nothing. Database
    // errors are thrown.
    const SCsvImportSummary &Plan(EExisting existing);
    const SCsvImportSummary &Summary() const { return m_summary; }
    // Rows and units Apply will write.
    int WorkSize() const;

    // Writes the planned changes, all or nothing. progress(done, total) may answer
    // false to cancel: then nothing is written and the answer is false.
    bool Apply(const std::function<bool(int, int)> &progress = {});

    static constexpr qint64 MaxFileSize = qint64(1) << 30;

private:
    struct SUnit
    {
        qint32 id = 0;          // 0 until a new unit is written
        int parent = -1;        // index in m_units; -1 for a company, -2 for a lost parent
        qint32 code = 0;
        QString fields[6];      // name, postal code, address 1 and 2, telephone, fax
        bool isNew = false;
        bool changed = false;
    };
    struct SEmployee
    {
        qint32 targetId = 0;    // 0 for a new employee
        qint32 code = 0;
        bool sex = false;
        int unit = -1;          // index in m_units; -1 for no unit
        CDateValue dates[3];
        QString texts[CCsvColumns::EmployeeColumnCount];
        bool present[CCsvColumns::EmployeeColumnCount] = {};
    };
    struct STable
    {
        bool present = false;
        QString file;
        QList<int> columns;     // column of each field, by header
        QList<SCsvRecord> records;
    };

    bool ReadTable(const QByteArray &bytes, const QString &file, const QStringList &headers,
                   const QList<int> &required, STable &table, QString &error);
    void LoadRegister();
    void PlanUnits(EExisting existing);
    void PlanEmployees(EExisting existing);
    void Refuse(const STable &table, qsizetype line, int column, const QString &reason);
    // Follows names below parent (-1: from the companies by name). Returns the index
    // of the deepest unit found and how many names matched; -1 with the reason when
    // a name is ambiguous.
    int Walk(int parent, const QStringList &names, int from, int &matched, QString &reason) const;
    int CreateUnits(int parent, qint32 code, const QStringList &names, int from);
    int AddUnit(int parent, qint32 code, const QString &name);
    static QString ChildKey(int parent, const QString &name);
    void WriteAll(const std::function<bool(int, int)> &progress, bool &cancelled);

    CDaoDatabase &m_database;
    STable m_unitTable;
    STable m_employeeTable;
    std::vector<SUnit> m_units;
    QHash<QString, QList<int>> m_children;      // parent index and name -> units
    QHash<qint32, int> m_companyByCode;
    QHash<qint32, qint32> m_employeeIds;        // code -> first ID in code order
    std::vector<SEmployee> m_employees;
    SCsvImportSummary m_summary;
};
