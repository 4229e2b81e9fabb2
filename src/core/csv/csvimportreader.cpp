#include "csv/csvimportreader.h"

#include "csv/csvquote.h"
#include "csv/csvcodec.h"

#include <QDir>
#include <QFile>

namespace {
bool ReadFile(const QString &path, std::optional<QByteArray> &bytes, QString &error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > CCsvImportReader::MaxFileSize) {
        error = QStringLiteral("%1 が大きすぎます。").arg(QDir::toNativeSeparators(path));
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
                                  SCsvImportTable &unitTable, SCsvImportTable &employeeTable, QString &error)
{
    unitTable = {};
    employeeTable = {};
    if (units
        && !ReadTable(*units, CCsvColumns::UnitsFileName(), CCsvColumns::UnitHeaders(),
                      {CCsvColumns::UnitCode, CCsvColumns::UnitPath}, unitTable, error))
        return false;
    if (employees
        && !ReadTable(*employees, CCsvColumns::EmployeesFileName(), CCsvColumns::EmployeeHeaders(), {CCsvColumns::EmpCode},
                      employeeTable, error))
        return false;
    return true;
}

bool CCsvImportReader::ReadTable(const QByteArray &bytes, const QString &file, const QStringList &headers,
                                 const QList<int> &required, SCsvImportTable &table, QString &error)
{
    QByteArray utf8;
    ECsvEncoding found = ECsvEncoding::Utf8Bom;
    QString reason;
    if (!CCsvCodec::DecodeToUtf8(bytes, utf8, found, reason) || !CCsvTable::Parse(utf8, table.records, reason)) {
        error = QStringLiteral("%1: %2").arg(file, reason);
        return false;
    }
    return ReadHeader(file, headers, required, table, error);
}

bool CCsvImportReader::ReadRecords(QList<SCsvRecord> records, const QString &file, bool units, SCsvImportTable &table,
                                   QString &error)
{
    table = {};
    table.records = std::move(records);
    return units
             ? ReadHeader(file, CCsvColumns::UnitHeaders(), {CCsvColumns::UnitCode, CCsvColumns::UnitPath}, table, error)
             : ReadHeader(file, CCsvColumns::EmployeeHeaders(), {CCsvColumns::EmpCode}, table, error);
}

bool CCsvImportReader::ReadHeader(const QString &file, const QStringList &headers, const QList<int> &required,
                                  SCsvImportTable &table, QString &error)
{
    if (table.records.isEmpty()) {
        error = QStringLiteral("%1: 見出し行がありません。").arg(file);
        return false;
    }
    const SCsvRecord header = table.records.takeFirst();
    for (const QString &name : header.fields) {
        const int column = int(headers.indexOf(name.trimmed()));
        if (column < 0) {
            error = QStringLiteral("%1: 見出し「%2」は知らない列です。使える見出し: %3")
                        .arg(file, CCsvQuote::Cell(name), headers.join(QStringLiteral("、")));
            return false;
        }
        if (table.columns.contains(column)) {
            error = QStringLiteral("%1: 見出し「%2」が二つあります。").arg(file, CCsvQuote::Cell(name));
            return false;
        }
        table.columns << column;
    }
    for (int column : required) {
        if (!table.columns.contains(column)) {
            error = QStringLiteral("%1: 見出し「%2」の列がありません。").arg(file, headers.at(column));
            return false;
        }
    }
    table.present = true;
    table.file = file;
    return true;
}
