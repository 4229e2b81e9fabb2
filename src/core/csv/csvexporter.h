#pragma once

#include "text/csvcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class CDaoDatabase;

struct SCsvExportResult {
    int units = 0;
    int employees = 0;
    // Employees whose unit no company reaches: written without a unit.
    int unplaced = 0;
};

// Writes the register as "部課.csv" and "社員.csv", and its history as "変更履歴.csv".
class CCsvExporter final
{
public:
    explicit CCsvExporter(CDaoDatabase &database)
        : m_database(database)
    {
    }

    using RowSink = std::function<void(const QStringList &)>;

    // The two files as UTF-8 text; database errors are thrown.
    SCsvExportResult Build(QByteArray &units, QByteArray &employees);
    // The rows of both files, each headed by its header row, dates as ISO dates; the
    // files and the workbook are made from these. Database errors are thrown.
    SCsvExportResult Rows(const RowSink &unitRow, const RowSink &employeeRow);
    // The history, one line per change, oldest first; database errors are thrown.
    void BuildHistory(QByteArray &history);
    // The same lines, headed by the header row, dates as ISO dates.
    void HistoryRows(const RowSink &row);
    // The three files are written into folder, or, on any failure, none is touched.
    bool Export(const QString &folder, ECsvEncoding encoding, SCsvExportResult &result, QString &error);

private:
    CDaoDatabase &m_database;
};
