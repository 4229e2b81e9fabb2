#pragma once

#include "csv/csvexporter.h"
#include "sheet/workbookwriter.h"

#include <QList>
#include <QString>

class CDaoDatabase;

// Writes the register as one Excel workbook: a 部課 and a 社員 sheet with the columns
// of the CSV files, codes as numbers, dates as date cells in the era or ISO form,
// everything else as text; then the 変更履歴 sheet with the lines of 変更履歴.csv.
class CXlsxExporter final
{
public:
    using EDateForm = CWorkbookWriter::EDateForm;

    explicit CXlsxExporter(CDaoDatabase &database)
        : m_database(database)
    {
    }

    // The workbook is written whole, or a file of that name is left as it was.
    bool Export(const QString &path, EDateForm dateForm, SCsvExportResult &result, QString &error);

    static QList<CWorkbookWriter::EKind> UnitKinds(qsizetype columns);
    static QList<CWorkbookWriter::EKind> EmployeeKinds(qsizetype columns);
    static QList<CWorkbookWriter::EKind> HistoryKinds(qsizetype columns);
    static QString HistorySheetName() { return QStringLiteral("変更履歴"); }

    // "era" or "iso", as the command line and the settings (Excel/DateForm) have it.
    static QString DateFormName(EDateForm form);
    static bool DateFormFromName(const QString &name, EDateForm &form);
    static EDateForm RememberedDateForm();
    static void RememberDateForm(EDateForm form);

private:
    CDaoDatabase &m_database;
};
