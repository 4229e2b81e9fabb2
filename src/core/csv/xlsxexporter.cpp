#include "csv/xlsxexporter.h"

#include "csv/csvcolumns.h"
#include "csv/xlsximportreader.h"
#include "store/daoexception.h"

#include <QSettings>

namespace {
using EKind = CWorkbookWriter::EKind;

const QString kDateFormKey = QStringLiteral("Excel/DateForm");

// Each sink starts its sheet with the header row the exporter gives first.
CCsvExporter::RowSink SheetSink(CWorkbookWriter &writer, const QString &sheet, QList<EKind> (*kinds)(qsizetype columns))
{
    return [&writer, sheet, kinds, started = false](const QStringList &fields) mutable {
        if (started) {
            writer.AddRow(fields);
        } else {
            writer.AddSheet(sheet, fields, kinds(fields.size()));
            started = true;
        }
    };
}
} // namespace

bool CXlsxExporter::Export(const QString &path, EDateForm dateForm, SCsvExportResult &result, QString &error)
{
    CWorkbookWriter writer(path, dateForm);
    try {
        CCsvExporter exporter(m_database);
        result = exporter.Rows(SheetSink(writer, CXlsxImportReader::UnitsSheetName(), &UnitKinds),
                               SheetSink(writer, CXlsxImportReader::EmployeesSheetName(), &EmployeeKinds));
        // Read by people, not by the import, which looks at 部課 and 社員 only.
        exporter.HistoryRows(SheetSink(writer, HistorySheetName(), &HistoryKinds));
    } catch (const CDaoException &e) {
        error = e.GetErrorMessage();
        return false;
    }
    return writer.Close(error);
}

QList<EKind> CXlsxExporter::UnitKinds(qsizetype columns)
{
    QList<EKind> kinds(columns, EKind::Text);
    if (CCsvColumns::UnitCode < columns)
        kinds[CCsvColumns::UnitCode] = EKind::Number;
    return kinds;
}

QList<EKind> CXlsxExporter::EmployeeKinds(qsizetype columns)
{
    QList<EKind> kinds(columns, EKind::Text);
    for (int column : {int(CCsvColumns::EmpSdate), int(CCsvColumns::EmpIndat), int(CCsvColumns::EmpOutdat)})
        if (column < columns)
            kinds[column] = EKind::Date;
    if (CCsvColumns::EmpCode < columns)
        kinds[CCsvColumns::EmpCode] = EKind::Number;
    return kinds;
}

QList<EKind> CXlsxExporter::HistoryKinds(qsizetype columns)
{
    QList<EKind> kinds(columns, EKind::Text);
    if (CCsvColumns::HistEffective < columns)
        kinds[CCsvColumns::HistEffective] = EKind::Date;
    return kinds;
}

QString CXlsxExporter::DateFormName(EDateForm form)
{
    return form == EDateForm::Iso ? QStringLiteral("iso") : QStringLiteral("era");
}

bool CXlsxExporter::DateFormFromName(const QString &name, EDateForm &form)
{
    const QString lowered = name.trimmed().toLower();
    if (lowered != QStringLiteral("era") && lowered != QStringLiteral("iso"))
        return false;
    form = lowered == QStringLiteral("iso") ? EDateForm::Iso : EDateForm::Era;
    return true;
}

CXlsxExporter::EDateForm CXlsxExporter::RememberedDateForm()
{
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    EDateForm form = EDateForm::Era;
    DateFormFromName(settings.value(kDateFormKey).toString(), form);
    return form;
}

void CXlsxExporter::RememberDateForm(EDateForm form)
{
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    settings.setValue(kDateFormKey, DateFormName(form));
}
