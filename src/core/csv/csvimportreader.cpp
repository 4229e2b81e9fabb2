#include "csv/csvimportreader.h"

#include "csv/csvquote.h"
#include "text/csvcodec.h"
#include "csv/csvcolumnaliases.h"
#include "csv/csvformulaguard.h"

#include <QDir>
#include <QFile>

namespace {
bool ReadFile(const QString &path, std::optional<QByteArray> &bytes, QString &error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > CCsvImportReader::MaxFileSize) {
        error = QStringLiteral("%1 が大きすぎます（%2 MB まで）。")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(CCsvImportReader::MaxFileSize >> 20);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 を開けません。\n%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}
} // namespace

bool CCsvImportReader::ReadFolder(const QString &folder, std::optional<QByteArray> &units,
                                  std::optional<QByteArray> &employees, QString &error)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        error = QStringLiteral("フォルダ %1 が見つかりません。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!ReadFile(dir.filePath(CCsvColumns::UnitsFileName()), units, error)
        || !ReadFile(dir.filePath(CCsvColumns::EmployeesFileName()), employees, error))
        return false;
    if (!units && !employees) {
        error = QStringLiteral("フォルダ %1 に %2 も %3 もありません。")
                    .arg(QDir::toNativeSeparators(folder), CCsvColumns::UnitsFileName(), CCsvColumns::EmployeesFileName());
        return false;
    }
    return true;
}

bool CCsvImportReader::ReadTables(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                                  const CCsvColumnMap &map, SCsvImportTable &unitTable, SCsvImportTable &employeeTable,
                                  QString &error)
{
    unitTable = {};
    employeeTable = {};
    // Both files as they are on disk count, and what they become.
    CReadBudget budget;
    if (!budget.Charge((units ? units->size() : 0) + (employees ? employees->size() : 0))) {
        error = budget.Refusal(QStringLiteral("CSV ファイル"));
        return false;
    }
    if (units && !ReadTable(*units, CCsvColumns::UnitsFileName(), map, budget, unitTable, error))
        return false;
    if (employees && !ReadTable(*employees, CCsvColumns::EmployeesFileName(), map, budget, employeeTable, error))
        return false;
    return CheckMapUsed(map, unitTable, employeeTable, error);
}

bool CCsvImportReader::CheckMapUsed(const CCsvColumnMap &map, const SCsvImportTable &unitTable,
                                    const SCsvImportTable &employeeTable, QString &error)
{
    const QStringList unused = map.Unused(unitTable.headers + employeeTable.headers);
    if (unused.isEmpty())
        return true;
    error = QStringLiteral("列の対応に書かれた見出し「%1」がファイルにありません。")
                .arg(unused.join(QStringLiteral("」「")));
    return false;
}

bool CCsvImportReader::ReadTable(const QByteArray &bytes, const QString &file, const CCsvColumnMap &map,
                                 CReadBudget &budget, SCsvImportTable &table, QString &error)
{
    QByteArray converted;
    QByteArrayView utf8;
    ECsvEncoding found = ECsvEncoding::Utf8Bom;
    QString reason;
    QList<SCsvRecord> records;
    bool read = CCsvCodec::Decode(bytes, converted, utf8, found, reason);
    if (read && !budget.Charge(converted.size())) {
        reason = budget.Refusal();
        read = false;
    }
    if (!read || !CCsvTable::Parse(utf8, records, reason, &budget)) {
        error = QStringLiteral("%1: %2").arg(file, reason);
        return false;
    }
    // The apostrophe the export put before a formula-like text; the header has none.
    for (qsizetype r = 1; r < records.size(); ++r)
        for (QString &field : records[r].fields)
            field = CCsvFormulaGuard::Unprotect(field);
    return FromRecords(std::move(records), file, file == CCsvColumns::UnitsFileName(), map, table, error);
}

bool CCsvImportReader::FromRecords(QList<SCsvRecord> records, const QString &file, bool units, const CCsvColumnMap &map,
                                   SCsvImportTable &table, QString &error)
{
    table = {};
    if (records.isEmpty()) {
        error = QStringLiteral("%1: 見出し行がありません。").arg(file);
        return false;
    }
    const QStringList &names = units ? CCsvColumns::UnitHeaders() : CCsvColumns::EmployeeHeaders();
    table.headers = records.takeFirst().fields;
    for (const QString &header : std::as_const(table.headers)) {
        int column = map.Column(file, units, header, error);
        if (column == -3)
            return false;
        if (column == -2)
            column = units ? CCsvColumnAliases::UnitColumn(header) : CCsvColumnAliases::EmployeeColumn(header);
        if (column < 0) {
            table.skipped << header;
        } else if (const qsizetype other = table.columns.indexOf(column); other >= 0) {
            const QString &first = table.headers.at(other);
            error = first.trimmed() == header.trimmed()
                      ? QStringLiteral("%1: 見出し「%2」が二つあります。").arg(file, CCsvQuote::Cell(header))
                      : QStringLiteral("%1: 見出し「%2」と「%3」がどちらも「%4」の列です。")
                            .arg(file, CCsvQuote::Cell(first), CCsvQuote::Cell(header), names.at(column));
            return false;
        }
        table.columns << column;
    }
    const int required[] = {units ? int(CCsvColumns::UnitCode) : int(CCsvColumns::EmpCode),
                            units ? int(CCsvColumns::UnitPath) : -1};
    for (int column : required) {
        if (column >= 0 && !table.columns.contains(column)) {
            error = QStringLiteral("%1: 見出し「%2」の列がありません。").arg(file, names.at(column));
            return false;
        }
    }
    table.records = std::move(records);
    table.present = true;
    table.units = units;
    table.file = file;
    return true;
}
