#include "csv/xlsximportreader.h"

#include "csv/csvcolumns.h"
#include "csv/csvimportreader.h"
#include "csv/csvtable.h"

#include <QFileInfo>

namespace {
int SheetNamed(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).trimmed() == name)
            return i;
    return -1;
}
} // namespace

bool CXlsxImportReader::Read(const QString &path, const CCsvColumnMap &map, SCsvImportTable &units,
                             SCsvImportTable &employees, QString &error)
{
    units = {};
    employees = {};
    CWorkbookReader workbook;
    if (!workbook.Open(path, error))
        return false;
    const QStringList &names = workbook.SheetNames();
    const QString file = QFileInfo(path).fileName();
    const auto label = [&file, &names](int index) { return QStringLiteral("%1 の %2").arg(file, names.at(index)); };
    const int unitSheet = SheetNamed(names, UnitsSheetName());
    const int employeeSheet = SheetNamed(names, EmployeesSheetName());
    if (unitSheet < 0 && employeeSheet < 0) {
        if (names.size() != 1) {
            error = QStringLiteral("%1 にシート「%2」も「%3」もありません（あるシート: %4）。")
                        .arg(workbook.Shown(), UnitsSheetName(), EmployeesSheetName(), names.join(QStringLiteral("、")));
            return false;
        }
        QList<SSheetRow> rows;
        if (!workbook.ReadSheet(0, CCsvTable::MaxFields, MaxRows, rows, error))
            return false;
        const bool isUnits = !rows.isEmpty()
                          && rows.constFirst().cells.contains(CCsvColumns::UnitHeaders().at(CCsvColumns::UnitPath));
        return FromSheet(std::move(rows), label(0), isUnits, map, isUnits ? units : employees, error);
    }
    return (unitSheet < 0 || ReadSheet(workbook, unitSheet, label(unitSheet), true, map, units, error))
        && (employeeSheet < 0 || ReadSheet(workbook, employeeSheet, label(employeeSheet), false, map, employees, error));
}

bool CXlsxImportReader::ReadSheet(CWorkbookReader &workbook, int index, const QString &label, bool units,
                                  const CCsvColumnMap &map, SCsvImportTable &table, QString &error)
{
    QList<SSheetRow> rows;
    return workbook.ReadSheet(index, CCsvTable::MaxFields, MaxRows, rows, error)
        && FromSheet(std::move(rows), label, units, map, table, error);
}

bool CXlsxImportReader::FromSheet(QList<SSheetRow> rows, const QString &label, bool units, const CCsvColumnMap &map,
                                  SCsvImportTable &table, QString &error)
{
    if (!CCsvImportReader::FromRecords(Records(std::move(rows)), label, units, map, table, error))
        return false;
    table.rowsMayEndEarly = true;
    return true;
}

QList<SCsvRecord> CXlsxImportReader::Records(QList<SSheetRow> rows)
{
    QList<SCsvRecord> records;
    records.reserve(rows.size());
    for (SSheetRow &row : rows)
        records << SCsvRecord{row.line, std::move(row.cells)};
    return records;
}
