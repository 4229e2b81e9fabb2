#include "csv/csvexporter.h"

#include "csv/csvcolumns.h"
#include "csv/csvdate.h"
#include "csv/csvformulaguard.h"
#include "csv/csvtable.h"
#include "store/daoexception.h"
#include "register/history.h"
#include "register/registerexchange.h"
#include "store/mast01.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <optional>
#include <utility>
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

void CCsvExporter::BuildHistory(QByteArray &history)
{
    history.clear();
    HistoryRows([&history](const QStringList &fields) { AppendSafe(history, fields); });
}

void CCsvExporter::HistoryRows(const RowSink &row)
{
    // Whom each line is about, as the register names them now.
    QHash<qint32, QString> employees;
    CRegisterExchange exchange(m_database);
    exchange.ForEachEmployee([&employees](const CMast01 &set) {
        employees.insert(set.m_ID, QString::number(set.m_Code) + QLatin1Char(' ') + set.m_Name);
    });
    QHash<qint32, QString> units;
    for (const SUnitRecord &unit : exchange.Units(CRegisterExchange::EUnitOrder::byId))
        units.insert(unit.id, unit.fields[0]);
    row(CCsvColumns::HistoryHeaders());
    CHistory::ForEach(m_database, [&](const SHistoryEntry &entry) {
        const bool ofUnit = entry.what >= SHistoryEntry::EWhat::unitAdded;
        row({
            entry.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            CCsvDate::Format(CDateValue(entry.effective)),
            entry.strWho,
            entry.WhatText(),
            QString::number(entry.nTarget),
            (ofUnit ? units : employees).value(entry.nTarget),
            entry.FieldText(),
            entry.strOld,
            entry.strNew,
        });
    });
}

namespace {
// Writes every file or, should one fail, puts back what the folder held before.
bool WriteAll(const QList<std::pair<QString, QByteArray>> &files, QString &error)
{
    QList<std::pair<QString, std::optional<QByteArray>>> previous;
    for (const auto &[path, bytes] : files) {
        QFile file(path);
        if (!file.exists()) {
            previous.append({path, std::nullopt});
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1 を読めません。").arg(QDir::toNativeSeparators(path));
            return false;
        }
        previous.append({path, file.readAll()});
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (WriteAtomically(files.at(i).first, files.at(i).second, error))
            continue;
        for (qsizetype j = 0; j < i; ++j) {
            QString ignored;
            if (previous.at(j).second)
                WriteAtomically(previous.at(j).first, *previous.at(j).second, ignored);
            else
                QFile::remove(previous.at(j).first);
        }
        return false;
    }
    return true;
}
} // namespace

bool CCsvExporter::Export(const QString &folder, ECsvEncoding encoding, SCsvExportResult &result, QString &error)
{
    QByteArray units, employees, history;
    try {
        result = Build(units, employees);
        BuildHistory(history);
    } catch (const CDaoException &e) {
        error = e.GetErrorMessage();
        return false;
    }
    const QDir dir(folder);
    QList<std::pair<QString, QByteArray>> files;
    for (const auto &[name, text] :
         {std::pair{CCsvColumns::UnitsFileName(), &units}, std::pair{CCsvColumns::EmployeesFileName(), &employees},
          std::pair{CCsvColumns::HistoryFileName(), &history}}) {
        QByteArray bytes;
        if (!CCsvCodec::Encode(*text, encoding, bytes, error)) {
            error = name + QStringLiteral(" の ") + error;
            return false;
        }
        files.append({dir.filePath(name), bytes});
    }
    if (!dir.exists()) {
        error = QStringLiteral("フォルダ %1 が見つかりません。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return WriteAll(files, error);
}
