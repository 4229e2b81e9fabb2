#include "csv/csvexporter.h"

#include "csv/csvcolumns.h"
#include "csv/csvdate.h"
#include "csv/csvformulaguard.h"
#include "csv/csvtable.h"
#include "store/daoexception.h"
#include "register/registerexchange.h"
#include "store/mast01.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace {
struct SUnitRow {
    qint32 id, parent, code;
    QStringList fields; // name and address, in file order after the path
};

// No cell a spreadsheet opens as a formula.
void AppendSafe(QByteArray &out, QStringList fields)
{
    for (QString &field : fields)
        field = CCsvFormulaGuard::Protect(field);
    CCsvTable::AppendRecord(out, fields);
}

bool WriteAtomically(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("%1 に書き込めません。\n%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}
} // namespace

SCsvExportResult CCsvExporter::Build(QByteArray &unitsOut, QByteArray &employeesOut)
{
    unitsOut.clear();
    employeesOut.clear();
    return Rows([&unitsOut](const QStringList &fields) { AppendSafe(unitsOut, fields); },
                [&employeesOut](const QStringList &fields) { AppendSafe(employeesOut, fields); });
}

SCsvExportResult CCsvExporter::Rows(const RowSink &unitRow, const RowSink &employeeRow)
{
    SCsvExportResult result;
    CRegisterExchange exchange(m_database);
    std::vector<SUnitRow> rows;
    for (const SUnitRecord &unit : exchange.Units(CRegisterExchange::EUnitOrder::byCode))
        rows.push_back({unit.id, unit.parent, unit.code, QStringList(std::begin(unit.fields), std::end(unit.fields))});
    // Companies in code order, each followed by its departments depth first, siblings
    // in the order they were made: the order the tree shows and an import recreates.
    QHash<qint32, std::vector<size_t>> children;
    std::vector<size_t> companies;
    for (size_t i = 0; i < rows.size(); ++i)
        (rows[i].parent == 0 ? companies : children[rows[i].parent]).push_back(i);
    for (auto &list : children)
        std::sort(list.begin(), list.end(), [&rows](size_t a, size_t b) { return rows[a].id < rows[b].id; });

    QHash<qint32, QString> pathOf;
    unitRow(CCsvColumns::UnitHeaders());
    std::vector<std::pair<size_t, QStringList>> stack;
    for (auto it = companies.rbegin(); it != companies.rend(); ++it)
        stack.push_back({*it, {}});
    while (!stack.empty()) {
        auto [index, above] = std::move(stack.back());
        stack.pop_back();
        const SUnitRow &row = rows[index];
        // A damaged file may loop; every unit is written once.
        if (pathOf.contains(row.id) || above.size() >= CCsvColumns::MaxDepth)
            continue;
        above << row.fields.at(0);
        const QString path = CCsvColumns::JoinPath(above);
        pathOf.insert(row.id, path);
        QStringList fields{QString::number(row.code), path};
        fields += row.fields;
        unitRow(fields);
        ++result.units;
        const auto &below = children.value(row.id);
        for (auto child = below.rbegin(); child != below.rend(); ++child)
            stack.push_back({*child, above});
    }

    employeeRow(CCsvColumns::EmployeeHeaders());
    exchange.ForEachEmployee([&](const CMast01 &set) {
        QString unit;
        if (set.m_Busyo != 0) {
            unit = pathOf.value(set.m_Busyo);
            if (unit.isEmpty())
                ++result.unplaced;
        }
        employeeRow({
            QString::number(set.m_Code),
            set.m_Name,
            set.m_Kana,
            set.m_Sex ? CCsvColumns::FemaleText() : CCsvColumns::MaleText(),
            CCsvDate::Format(set.m_Sdate),
            CCsvDate::Format(set.m_Indat),
            CCsvDate::Format(set.m_Outdat),
            set.m_Yuu,
            set.m_Juu1,
            set.m_Juu2,
            set.m_TEL,
            set.m_FAX,
            unit,
            set.m_Rire,
            set.m_Sikaku,
            set.m_Mem,
            set.m_Email,
            QString::number(set.m_ID),
        });
        ++result.employees;
    });
    return result;
}

bool CCsvExporter::Export(const QString &folder, ECsvEncoding encoding, SCsvExportResult &result, QString &error)
{
    QByteArray units, employees;
    try {
        result = Build(units, employees);
    } catch (const CDaoException &e) {
        error = e.GetErrorMessage();
        return false;
    }
    QByteArray unitBytes, employeeBytes;
    if (!CCsvCodec::Encode(units, encoding, unitBytes, error)) {
        error = CCsvColumns::UnitsFileName() + QStringLiteral(" の ") + error;
        return false;
    }
    if (!CCsvCodec::Encode(employees, encoding, employeeBytes, error)) {
        error = CCsvColumns::EmployeesFileName() + QStringLiteral(" の ") + error;
        return false;
    }
    const QDir dir(folder);
    if (!dir.exists()) {
        error = QStringLiteral("フォルダ %1 が見つかりません。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QString unitPath = dir.filePath(CCsvColumns::UnitsFileName());
    const QString employeePath = dir.filePath(CCsvColumns::EmployeesFileName());
    // Kept so that a failure with the second file can put the first one back.
    QFile previous(unitPath);
    const bool hadPrevious = previous.exists();
    QByteArray previousBytes;
    if (hadPrevious) {
        if (!previous.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1 を読めません。").arg(QDir::toNativeSeparators(unitPath));
            return false;
        }
        previousBytes = previous.readAll();
        previous.close();
    }
    if (!WriteAtomically(unitPath, unitBytes, error))
        return false;
    if (!WriteAtomically(employeePath, employeeBytes, error)) {
        QString ignored;
        if (hadPrevious)
            WriteAtomically(unitPath, previousBytes, ignored);
        else
            QFile::remove(unitPath);
        return false;
    }
    return true;
}
