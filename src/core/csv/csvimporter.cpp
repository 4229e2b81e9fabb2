#include "csv/csvimporter.h"

#include "csv/csvimportcheck.h"
#include "csv/csvimportmerge.h"
#include "csv/xlsximportreader.h"
#include "register/registerexchange.h"
#include "store/mast01.h"

#include <QHash>
#include <algorithm>
#include <vector>

void SCsvImportSummary::Refuse(const SCsvRefusal &refusal)
{
    if (refusedRows == 0 || m_lastFile != refusal.file || m_lastLine != refusal.line)
        ++refusedRows;
    m_lastFile = refusal.file;
    m_lastLine = refusal.line;
    if (refusals.size() < MaxKept)
        refusals.append(refusal);
    else
        ++unkeptRefusals;
}

void SCsvImportSummary::Warn(const SCsvRefusal &warning)
{
    if (warnings.size() < MaxKept)
        warnings.append(warning);
    else
        ++unkeptWarnings;
}

namespace {
QString RowText(const SCsvRefusal &r)
{
    return r.column.isEmpty() ? QStringLiteral("%1 %2 行目: %3\n").arg(r.file).arg(r.line).arg(r.reason)
                              : QStringLiteral("%1 %2 行目「%3」: %4\n").arg(r.file).arg(r.line).arg(r.column, r.reason);
}

QString ListText(const QList<SCsvRefusal> &rows, qsizetype unkept, int max)
{
    QString text;
    for (int i = 0; i < rows.size() && i < max; ++i)
        text += RowText(rows.at(i));
    if (rows.size() > max || unkept > 0)
        text += QStringLiteral("ほか %1 件\n").arg(std::max<qsizetype>(rows.size() - max, 0) + unkept);
    return text;
}
} // namespace

QString SCsvImportSummary::Text(int maxRefusals) const
{
    QString text = QStringLiteral("部課: 追加 %1 件、更新 %2 件、変更なし %3 件、読み飛ばし %4 件\n")
                       .arg(unitsAdded)
                       .arg(unitsUpdated)
                       .arg(unitsUnchanged)
                       .arg(unitsSkipped);
    text += QStringLiteral("社員: 追加 %1 人、更新 %2 人、変更なし %3 人、読み飛ばし %4 人\n")
                .arg(employeesAdded)
                .arg(employeesUpdated)
                .arg(employeesUnchanged)
                .arg(employeesSkipped);
    if (!companyAdded.isEmpty())
        text += QStringLiteral("会社「%1」を新しく作ります（部課の追加に含みます）。\n").arg(companyAdded);
    if (!skippedColumns.isEmpty())
        text += QStringLiteral("取り込まない列: %1\n").arg(skippedColumns.join(QStringLiteral("、")));
    text += QStringLiteral("取り込めない行: %1 行\n").arg(Refused());
    text += ListText(refusals, unkeptRefusals, maxRefusals);
    if (!warnings.isEmpty()) {
        text += QStringLiteral("確かめてほしい値: %1 件（このまま読み込めます）\n").arg(warnings.size() + unkeptWarnings);
        text += ListText(warnings, unkeptWarnings, maxRefusals);
    }
    return text;
}

QString SCsvImportSummary::DoneText() const
{
    QString text = QStringLiteral("社員 %1 人を追加し、%2 人を更新しました。").arg(employeesAdded).arg(employeesUpdated);
    if (unitsAdded > 0 || unitsUpdated > 0)
        text += QStringLiteral("\n部課 %1 件を追加し、%2 件を更新しました。").arg(unitsAdded).arg(unitsUpdated);
    if (!companyAdded.isEmpty())
        text += QStringLiteral("\n会社「%1」を新しく作りました。").arg(companyAdded);
    if (zerosRestored > 0)
        text += QStringLiteral("\n先頭の 0 を補った値: %1 件").arg(zerosRestored);
    if (addressesFilled > 0)
        text += QStringLiteral("\n〒から補った住所1: %1 件").arg(addressesFilled);
    if (readingsFilled > 0)
        text += QStringLiteral("\n氏名から補ったふりがな: %1 件").arg(readingsFilled);
    if (employeesUnchanged > 0 || unitsUnchanged > 0)
        text += QStringLiteral("\n変更のない社員 %1 人、部課 %2 件は書き込んでいません。")
                    .arg(employeesUnchanged)
                    .arg(unitsUnchanged);
    if (employeesSkipped > 0 || unitsSkipped > 0)
        text +=
            QStringLiteral("\n既にある社員 %1 人、部課 %2 件は読み飛ばしました。").arg(employeesSkipped).arg(unitsSkipped);
    return text;
}

bool CCsvImporter::ReadFolder(const QString &folder, QString &error)
{
    std::optional<QByteArray> units, employees;
    return CCsvImportReader::ReadFolder(folder, units, employees, error) && ReadData(units, employees, error);
}

bool CCsvImporter::ReadWorkbook(const QString &path, QString &error)
{
    return CXlsxImportReader::Read(path, m_map, m_unitTable, m_employeeTable, error)
        && CCsvImportReader::CheckMapUsed(m_map, m_unitTable, m_employeeTable, error);
}

bool CCsvImporter::ReadData(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                            QString &error)
{
    return CCsvImportReader::ReadTables(units, employees, m_map, m_unitTable, m_employeeTable, error);
}

bool CCsvImporter::ReadRecords(std::optional<QList<SCsvRecord>> units, std::optional<QList<SCsvRecord>> employees,
                               QString &error)
{
    m_unitTable = {};
    m_employeeTable = {};
    if (units
        && !CCsvImportReader::FromRecords(std::move(*units), CCsvColumns::UnitsFileName(), true, m_map, m_unitTable, error))
        return false;
    if (employees
        && !CCsvImportReader::FromRecords(std::move(*employees), CCsvColumns::EmployeesFileName(), false, m_map,
                                          m_employeeTable, error))
        return false;
    return CCsvImportReader::CheckMapUsed(m_map, m_unitTable, m_employeeTable, error);
}

const SCsvImportSummary &CCsvImporter::Plan(const SCsvPlanChoices &choices)
{
    m_summary = {};
    CCsvImportCheck check(m_plan, m_summary, choices);
    CRegisterExchange exchange(m_database);
    check.LoadRegister(exchange);
    m_companies = check.CompanyNames();
    for (const SCsvImportTable *table : {&m_unitTable, &m_employeeTable})
        for (const QString &header : table->skipped)
            m_summary.skippedColumns << QStringLiteral("%1「%2」").arg(table->file, header);
    if (m_unitTable.present)
        check.CheckUnits(m_unitTable);
    if (m_employeeTable.present)
        check.CheckEmployees(m_employeeTable);
    DropUnchanged(exchange);
    m_unitTable.records.clear();
    m_employeeTable.records.clear();
    return m_summary;
}

void CCsvImporter::DropUnchanged(CRegisterExchange &exchange)
{
    QHash<qint32, size_t> updated;
    for (size_t i = 0; i < m_plan.employees.size(); ++i) {
        if (m_plan.employees[i].targetId != 0)
            updated.insert(m_plan.employees[i].targetId, i);
    }
    if (updated.isEmpty())
        return;
    std::vector<bool> same(m_plan.employees.size(), false);
    exchange.ForEachEmployee([&](const CMast01 &set) {
        if (const auto row = updated.constFind(set.m_ID); row != updated.cend())
            same[*row] = !CCsvImportMerge::Changes(set, m_plan.employees[*row], m_plan);
    });
    // In place: a second list of a large import's rows would double what it holds.
    size_t kept = 0;
    for (size_t i = 0; i < m_plan.employees.size(); ++i) {
        if (same[i]) {
            --m_summary.employeesUpdated;
            ++m_summary.employeesUnchanged;
        } else if (kept++ != i) {
            m_plan.employees[kept - 1] = std::move(m_plan.employees[i]);
        }
    }
    m_plan.employees.resize(kept);
}

bool CCsvImporter::Apply(const std::function<bool(int, int)> &progress)
{
    return CCsvImportMerge::Apply(m_database, m_plan, progress);
}
