#pragma once

#include "csv/csvimportplan.h"
#include "sheet/workbookreader.h"

#include <QList>
#include <QString>

class CCsvColumnMap;

// Reads the 部課 and 社員 sheets of an Excel workbook into the same tables the CSV
// files give, so that a workbook goes through the same checks, preview and
// all-or-nothing write. One of the sheets may be missing, not both; a workbook of
// one sheet by another name is taken as its employee list (as its unit list when its
// header has 部課パス).
class CXlsxImportReader final
{
public:
    CXlsxImportReader() = delete;

    static QString UnitsSheetName() { return QStringLiteral("部課"); }
    static QString EmployeesSheetName() { return QStringLiteral("社員"); }
    // As many rows as a spreadsheet program has.
    static constexpr qsizetype MaxRows = 1048576;

    static bool Read(const QString &path, const CCsvColumnMap &map, SCsvImportTable &units, SCsvImportTable &employees,
                     QString &error);
    // Sheet rows as records: the header row first, each row at its own width (a row
    // ends at its last cell with text; wider rows than the header are refused by the checks).
    static QList<SCsvRecord> Records(QList<SSheetRow> rows);

private:
    static bool FromSheet(QList<SSheetRow> rows, const QString &label, bool units, const CCsvColumnMap &map,
                          SCsvImportTable &table, QString &error);
    static bool ReadSheet(CWorkbookReader &workbook, int index, const QString &label, bool units, const CCsvColumnMap &map,
                          SCsvImportTable &table, QString &error);
};
