#pragma once

#include "csv/csvcolumnmap.h"
#include "csv/csvimportplan.h"
#include "sheet/readbudget.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Reads "部課.csv" and "社員.csv" into tables: the encoding, the records and the
// headers, each known by its name, an alias or the column map; a header known by
// none is skipped. Nothing here looks at the register. Other readers (a workbook's
// sheets) give their rows to FromRecords and go through the same checks.
class CCsvImportReader final
{
public:
    CCsvImportReader() = delete;

    // Each file; both together, and what they hold once read, within CReadBudget.
    static constexpr qint64 MaxFileSize = qint64(100) << 20;

    // The files of folder; one of them may be missing, not both.
    static bool ReadFolder(const QString &folder, std::optional<QByteArray> &units, std::optional<QByteArray> &employees,
                           QString &error);
    // File bytes as they are on disk; a missing file is nullopt and gives no table.
    static bool ReadTables(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                           const CCsvColumnMap &map, SCsvImportTable &unitTable, SCsvImportTable &employeeTable,
                           QString &error);
    // records: the header first, then the rows (a file's, or a workbook sheet's, each
    // numbered by its line); file names them in messages and in the map.
    static bool FromRecords(QList<SCsvRecord> records, const QString &file, bool units, const CCsvColumnMap &map,
                            SCsvImportTable &table, QString &error);
    // Refuses a map naming headers that no table has.
    static bool CheckMapUsed(const CCsvColumnMap &map, const SCsvImportTable &unitTable,
                             const SCsvImportTable &employeeTable, QString &error);

private:
    static bool ReadTable(const QByteArray &bytes, const QString &file, const CCsvColumnMap &map, CReadBudget &budget,
                          SCsvImportTable &table, QString &error);
};
