#pragma once

#include "csv/csvimportplan.h"
#include "csv/csvimportreader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class CDaoDatabase;
class CRegisterExchange;

// A row left out of an import, and why; or a value read that the user should look at.
struct SCsvRefusal {
    QString file;
    qsizetype line = 0;
    QString column; // empty when the row as a whole is refused
    QString reason;
};

struct SCsvImportSummary {
    int unitsAdded = 0;
    int unitsUpdated = 0;
    int unitsUnchanged = 0;
    int unitsSkipped = 0;
    int employeesAdded = 0;
    int employeesUpdated = 0;
    int employeesUnchanged = 0;
    int employeesSkipped = 0;
    // Employee rows refused for a unit that is not there: creating them would take these.
    int missingUnitRows = 0;
    // Employee rows whose unit path starts with no company's name: naming the company would place them.
    int noCompanyRows = 0;
    QString companyAdded;  // the company named for new departments, when the import makes it
    int zerosRestored = 0; // values given back the leading 0 a spreadsheet dropped
    int addressesFilled = 0;
    int readingsFilled = 0;
    int refusedRows = 0;
    // Reasons and warnings past this many are counted, not kept: a file of refused
    // rows does not fill the memory with its reasons.
    static constexpr qsizetype MaxKept = 100000;
    QList<SCsvRefusal> refusals; // every reason of every refused row, in file order
    QList<SCsvRefusal> warnings; // values read as they are, not silently guessed at
    qsizetype unkeptRefusals = 0;
    qsizetype unkeptWarnings = 0;
    QStringList skippedColumns; // "社員.csv「年齢」"

    // Refused rows, each counted once however many reasons it has.
    int Refused() const { return refusedRows; }
    // Adds a reason; a reason for the same row as the last one does not count the row again.
    void Refuse(const SCsvRefusal &refusal);
    void Warn(const SCsvRefusal &warning);
    // Counts, the columns not read, then the first maxRefusals reasons and warnings.
    QString Text(int maxRefusals) const;
    // What a finished import wrote, in a few lines.
    QString DoneText() const;

private:
    QString m_lastFile; // of the last reason, kept or not
    qsizetype m_lastLine = 0;
};

// Brings "部課.csv" and "社員.csv" into the register: reads and checks every row
// first, then writes all accepted rows in one transaction.
class CCsvImporter final
{
public:
    using EExisting = ECsvExisting;
    using EMissingUnits = ECsvMissingUnits;

    explicit CCsvImporter(CDaoDatabase &database)
        : m_database(database)
    {
    }

    // Reads the files of folder; one of them may be missing. False with a message
    // when a file cannot be read as a whole.
    bool ReadFolder(const QString &folder, QString &error);
    // The 部課 and 社員 sheets of an Excel workbook (.xlsx) instead of the files.
    bool ReadWorkbook(const QString &path, QString &error);
    // File bytes as they are on disk; a missing file is nullopt.
    bool ReadData(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees, QString &error);
    // Rows another reader found, the header first (see CCsvImportReader::FromRecords).
    bool ReadRecords(std::optional<QList<SCsvRecord>> units, std::optional<QList<SCsvRecord>> employees, QString &error);
    // Which field each column goes to where the header alone does not say; used by the next read.
    void SetColumnMap(const CCsvColumnMap &map) { m_map = map; }
    // The tables of the last read: their headers and the field each column went to.
    const SCsvImportTable &UnitTable() const { return m_unitTable; }
    const SCsvImportTable &EmployeeTable() const { return m_employeeTable; }

    // Checks the rows against the register, once per read; writes nothing. A row
    // whose unit is not there is refused unless missing is Create. Rows that would
    // change nothing are counted as unchanged and not written. Database errors are thrown.
    const SCsvImportSummary &Plan(const SCsvPlanChoices &choices);
    const SCsvImportSummary &Plan(EExisting existing, EMissingUnits missing = EMissingUnits::Refuse)
    {
        return Plan(SCsvPlanChoices{existing, missing, {}, false});
    }
    const SCsvImportSummary &Summary() const { return m_summary; }
    // The register's companies as the last plan found them.
    const QStringList &CompanyNames() const { return m_companies; }
    // Rows and units Apply will write.
    int WorkSize() const { return m_plan.WorkSize(); }

    // Writes the planned changes, all or nothing. progress(done, total) may answer
    // false to cancel: then nothing is written and the answer is false.
    bool Apply(const std::function<bool(int, int)> &progress = {});

    static constexpr qint64 MaxFileSize = CCsvImportReader::MaxFileSize;

private:
    void DropUnchanged(CRegisterExchange &exchange);

    CDaoDatabase &m_database;
    CCsvColumnMap m_map;
    SCsvImportTable m_unitTable;
    SCsvImportTable m_employeeTable;
    SCsvImportPlan m_plan;
    SCsvImportSummary m_summary;
    QStringList m_companies;
};
