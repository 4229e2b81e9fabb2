#pragma once

#include "csv/csvimportplan.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Reads "部課.csv" and "社員.csv" into tables: the encoding, the records and the
// headers, each known by name. Nothing here looks at the register.
class CCsvImportReader final
{
public:
    CCsvImportReader() = delete;

    static constexpr qint64 MaxFileSize = qint64(1) << 30;

    // The files of folder; one of them may be missing, not both.
    static bool ReadFolder(const QString &folder, std::optional<QByteArray> &units, std::optional<QByteArray> &employees,
                           QString &error);
    // File bytes as they are on disk; a missing file is nullopt and gives no table.
    static bool ReadTables(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                           SCsvImportTable &unitTable, SCsvImportTable &employeeTable, QString &error);

    // Rows read elsewhere (a workbook's sheet), header row first, each numbered by its
    // line: the same table the file's records give. file names them in messages.
    static bool ReadRecords(QList<SCsvRecord> records, const QString &file, bool units, SCsvImportTable &table,
                            QString &error);

private:
    static bool ReadHeader(const QString &file, const QStringList &headers, const QList<int> &required,
                           SCsvImportTable &table, QString &error);
    static bool ReadTable(const QByteArray &bytes, const QString &file, const QStringList &headers,
                          const QList<int> &required, SCsvImportTable &table, QString &error);
};
