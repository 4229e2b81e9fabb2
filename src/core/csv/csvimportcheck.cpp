#include "csv/csvimportcheck.h"

#include "csv/csvquote.h"
#include "csv/csvdate.h"
#include "csv/csvimporter.h"
#include "register/employeecode.h"
#include "register/registerexchange.h"

namespace {
bool ParseCode(const QString &text, qint32 &code)
{
    bool ok = false;
    code = text.normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
    return ok;
}

QString TooLong(const QString &text, int width)
{
    return QStringLiteral("%1 文字までです（%2 文字あります）。").arg(width).arg(text.toUcs4().size());
}

bool FitsWidth(const QString &text, int width)
{
    return width <= 0 || text.size() <= width || text.toUcs4().size() <= width;
}

QString WrongColumnCount(const SCsvRecord &record, const SCsvImportTable &table)
{
    return QStringLiteral("列の数（%1）が見出し（%2）と違います。").arg(record.fields.size()).arg(table.columns.size());
}
} // namespace

QString CCsvImportCheck::ChildKey(int parent, const QString &name)
{
    return QString::number(parent) + QLatin1Char('\n') + name;
}

void CCsvImportCheck::Refuse(const SCsvImportTable &table, qsizetype line, int column, const QString &reason)
{
    const QStringList &headers = table.file == CCsvColumns::UnitsFileName() ? CCsvColumns::UnitHeaders()
                                                                            : CCsvColumns::EmployeeHeaders();
    m_summary.refusals.append({table.file, line, column >= 0 ? headers.value(column) : QString(), reason});
}

void CCsvImportCheck::LoadRegister(CRegisterExchange &exchange)
{
    m_plan = {};
    m_children.clear();
    m_companyByCode.clear();
    QHash<qint32, int> indexOfId;
    std::vector<qint32> parentIds;
    for (const SUnitRecord &record : exchange.Units(CRegisterExchange::EUnitOrder::byId)) {
        SCsvImportUnit unit;
        unit.id = record.id;
        unit.code = record.code;
        std::copy(std::begin(record.fields), std::end(record.fields), std::begin(unit.fields));
        indexOfId.insert(unit.id, int(m_plan.units.size()));
        parentIds.push_back(record.parent);
        m_plan.units.push_back(unit);
    }
    for (size_t i = 0; i < m_plan.units.size(); ++i) {
        SCsvImportUnit &unit = m_plan.units[i];
        unit.parent = parentIds[i] == 0 ? -1 : indexOfId.value(parentIds[i], -2);
        if (unit.parent == -2)
            continue;
        m_children[ChildKey(unit.parent, unit.fields[0])].append(int(i));
        if (unit.parent == -1 && !m_companyByCode.contains(unit.code))
            m_companyByCode.insert(unit.code, int(i));
    }
    m_employeeIds = exchange.EmployeeIdsByCode();
}

int CCsvImportCheck::Walk(int parent, const QStringList &names, int from, int &matched, QString &reason) const
{
    int current = parent;
    matched = from;
    for (int i = from; i < names.size(); ++i) {
        const QList<int> found = m_children.value(ChildKey(current, names.at(i)));
        if (found.isEmpty())
            break;
        if (found.size() > 1) {
            reason = current == -1 ? QStringLiteral("「%1」という名前の会社が複数あり、一つに決まりません。")
                                         .arg(CCsvQuote::Cell(names.at(i)))
                                   : QStringLiteral("「%1」という名前の部課が同じ階層に複数あり、一つに決まりません。")
                                         .arg(CCsvQuote::Cell(names.at(i)));
            return -3;
        }
        current = found.constFirst();
        matched = i + 1;
    }
    return current;
}

int CCsvImportCheck::AddUnit(int parent, qint32 code, const QString &name)
{
    SCsvImportUnit unit;
    unit.parent = parent;
    unit.code = code;
    unit.fields[0] = name;
    unit.isNew = true;
    const int index = int(m_plan.units.size());
    m_plan.units.push_back(unit);
    m_children[ChildKey(parent, name)].append(index);
    if (parent == -1 && !m_companyByCode.contains(code))
        m_companyByCode.insert(code, index);
    ++m_summary.unitsAdded;
    return index;
}

int CCsvImportCheck::CreateUnits(int parent, qint32 code, const QStringList &names, int from)
{
    int current = parent;
    for (int i = from; i < names.size(); ++i)
        current = AddUnit(current, code, names.at(i));
    return current;
}

bool CCsvImportCheck::ReadUnitLine(const SCsvImportTable &table, const SCsvRecord &record, SUnitLine &line)
{
    const auto &columns = table.columns;
    if (record.fields.size() != columns.size()) {
        Refuse(table, record.line, -1, WrongColumnCount(record, table));
        return false;
    }
    for (int i = 0; i < columns.size(); ++i) {
        line.values[columns[i]] = record.fields[i];
        line.given[columns[i]] = true;
    }
    const QString *values = line.values;
    if (!ParseCode(values[CCsvColumns::UnitCode], line.code)) {
        Refuse(table, record.line, CCsvColumns::UnitCode,
               QStringLiteral("「%1」は整数ではありません。").arg(CCsvQuote::Cell(values[CCsvColumns::UnitCode])));
        return false;
    }
    QString reason;
    if (!CCsvColumns::SplitPath(values[CCsvColumns::UnitPath], line.names, reason)) {
        Refuse(table, record.line, CCsvColumns::UnitPath, reason);
        return false;
    }
    if (line.given[CCsvColumns::UnitName] && !values[CCsvColumns::UnitName].isEmpty()
        && values[CCsvColumns::UnitName] != line.names.constLast()) {
        Refuse(table, record.line, CCsvColumns::UnitName,
               QStringLiteral("「%1」が部課パスの最後の名前「%2」と違います。")
                   .arg(CCsvQuote::Cell(values[CCsvColumns::UnitName]), CCsvQuote::Cell(line.names.constLast())));
        return false;
    }
    const int widthOfName = CCsvColumns::UnitWidth(CCsvColumns::UnitName);
    for (const QString &name : std::as_const(line.names))
        if (!FitsWidth(name, widthOfName)) {
            Refuse(table, record.line, CCsvColumns::UnitPath,
                   QStringLiteral("「%1」: ").arg(CCsvQuote::Cell(name)) + TooLong(name, widthOfName));
            return false;
        }
    for (int column = CCsvColumns::UnitYuu; column < CCsvColumns::UnitColumnCount; ++column)
        if (!FitsWidth(values[column], CCsvColumns::UnitWidth(column))) {
            Refuse(table, record.line, column, TooLong(values[column], CCsvColumns::UnitWidth(column)));
            return false;
        }
    return true;
}

int CCsvImportCheck::PlaceUnit(const SCsvImportTable &table, qsizetype line, const SUnitLine &unit)
{
    const QStringList &names = unit.names;
    const int company = m_companyByCode.value(unit.code, -1);
    if (company < 0)
        return CreateUnits(CreateUnits(-1, unit.code, names.mid(0, 1), 0), unit.code, names, 1);
    const QString &companyName = m_plan.units[size_t(company)].fields[0];
    if (companyName != names.constFirst() && names.size() > 1) {
        Refuse(table, line, CCsvColumns::UnitPath,
               QStringLiteral("先頭の「%1」が会社コード %2 の会社名「%3」と違います。")
                   .arg(CCsvQuote::Cell(names.constFirst()))
                   .arg(unit.code)
                   .arg(CCsvQuote::Cell(companyName)));
        return -1;
    }
    int matched = 1;
    QString reason;
    const int found = Walk(company, names, 1, matched, reason);
    if (found == -3) {
        Refuse(table, line, CCsvColumns::UnitPath, reason);
        return -1;
    }
    return CreateUnits(found, unit.code, names, matched);
}

bool CCsvImportCheck::TakeUnitFields(int target, const SUnitLine &line)
{
    SCsvImportUnit &unit = m_plan.units[size_t(target)];
    bool differs = false;
    // A company row may rename its company; a department's name is its path.
    const QString fields[6] = {line.names.constLast(),
                               line.values[CCsvColumns::UnitYuu],
                               line.values[CCsvColumns::UnitJuu1],
                               line.values[CCsvColumns::UnitJuu2],
                               line.values[CCsvColumns::UnitTel],
                               line.values[CCsvColumns::UnitFax]};
    for (int f = 0; f < 6; ++f) {
        const int column = f == 0 ? CCsvColumns::UnitPath : CCsvColumns::UnitYuu + f - 1;
        if (line.given[column] && unit.fields[f] != fields[f]) {
            if (f == 0) {
                m_children[ChildKey(unit.parent, unit.fields[0])].removeOne(target);
                m_children[ChildKey(unit.parent, fields[0])].append(target);
            }
            unit.fields[f] = fields[f];
            differs = true;
        }
    }
    return differs;
}

void CCsvImportCheck::CheckUnits(const SCsvImportTable &table, ECsvExisting existing)
{
    QHash<QString, qsizetype> seen;
    for (const SCsvRecord &record : table.records) {
        SUnitLine line;
        if (!ReadUnitLine(table, record, line))
            continue;
        const QString key = QString::number(line.code) + QLatin1Char('\n') + CCsvColumns::JoinPath(line.names);
        if (const qsizetype earlier = seen.value(key, 0)) {
            Refuse(table, record.line, CCsvColumns::UnitPath,
                   QStringLiteral("同じ部課が %1 行目にもあります。").arg(earlier));
            continue;
        }
        const int target = PlaceUnit(table, record.line, line);
        if (target < 0)
            continue;
        seen.insert(key, record.line);
        const bool known = !m_plan.units[size_t(target)].isNew;
        if (known && existing == ECsvExisting::Skip) {
            ++m_summary.unitsSkipped;
            continue;
        }
        const bool differs = TakeUnitFields(target, line);
        if (known) {
            SCsvImportUnit &unit = m_plan.units[size_t(target)];
            unit.changed = unit.changed || differs;
            differs ? ++m_summary.unitsUpdated : ++m_summary.unitsUnchanged;
        }
    }
}

int CCsvImportCheck::CheckEmployeeRow(SCsvImportEmployee &row, QStringList &names, QString &reason) const
{
    for (int column = 0; column < CCsvColumns::EmployeeColumnCount; ++column) {
        const int width = CCsvColumns::EmployeeWidth(column);
        if (width > 0 && !FitsWidth(row.texts[column], width)) {
            reason = TooLong(row.texts[column], width);
            return column;
        }
    }
    const QString sex = row.texts[CCsvColumns::EmpSex].trimmed();
    if (!sex.isEmpty() && sex != CCsvColumns::MaleText() && sex != CCsvColumns::FemaleText()) {
        reason = QStringLiteral("「%1」ではなく「男」か「女」で書いてください。").arg(CCsvQuote::Cell(sex));
        return CCsvColumns::EmpSex;
    }
    row.sex = sex == CCsvColumns::FemaleText();
    for (int d = 0; d < 3; ++d)
        if (!CCsvDate::Parse(row.texts[CCsvColumns::EmpSdate + d], row.dates[d], reason))
            return CCsvColumns::EmpSdate + d;
    const QString &unitText = row.texts[CCsvColumns::EmpUnit];
    if (unitText.isEmpty())
        return -1;
    if (!CCsvColumns::SplitPath(unitText, names, reason))
        return CCsvColumns::EmpUnit;
    const int widthOfName = CCsvColumns::UnitWidth(CCsvColumns::UnitName);
    for (const QString &name : std::as_const(names))
        if (!FitsWidth(name, widthOfName)) {
            reason = QStringLiteral("「%1」: ").arg(CCsvQuote::Cell(name)) + TooLong(name, widthOfName);
            return CCsvColumns::EmpUnit;
        }
    return -1;
}

int CCsvImportCheck::PlaceEmployee(const SCsvImportTable &table, qsizetype line, const SCsvImportEmployee &row,
                                   const QStringList &names, ECsvMissingUnits missing)
{
    if (names.isEmpty())
        return -1;
    int matched = 0;
    QString reason;
    const int found = Walk(-1, names, 0, matched, reason);
    if (found == -3 || matched == 0) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               found == -3 ? reason : QStringLiteral("会社「%1」がありません。").arg(CCsvQuote::Cell(names.constFirst())));
        return -2;
    }
    // A typo in a path would otherwise become a department of its own.
    if (matched < names.size() && missing == ECsvMissingUnits::Refuse) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               QStringLiteral("部課パス「%1」の「%2」がありません。")
                   .arg(CCsvQuote::Cell(row.texts[CCsvColumns::EmpUnit]), CCsvQuote::Cell(names.at(matched))));
        ++m_summary.missingUnitRows;
        return -2;
    }
    return CreateUnits(found, m_plan.units[size_t(found)].code, names, matched);
}

void CCsvImportCheck::CheckEmployees(SCsvImportTable &table, ECsvExisting existing, ECsvMissingUnits missing)
{
    const auto &columns = table.columns;
    QHash<qint32, qsizetype> seen;
    m_plan.employees.reserve(size_t(table.records.size()));
    for (SCsvRecord &record : table.records) {
        const qsizetype line = record.line;
        if (record.fields.size() != columns.size()) {
            Refuse(table, line, -1, WrongColumnCount(record, table));
            continue;
        }
        SCsvImportEmployee row;
        for (int i = 0; i < columns.size(); ++i) {
            row.texts[columns[i]] = std::move(record.fields[i]);
            row.present[columns[i]] = true;
        }
        if (!ParseCode(row.texts[CCsvColumns::EmpCode], row.code)) {
            Refuse(table, line, CCsvColumns::EmpCode,
                   QStringLiteral("「%1」は整数ではありません。").arg(CCsvQuote::Cell(row.texts[CCsvColumns::EmpCode])));
            continue;
        }
        if (!CEmployeeCode::IsValid(row.code)) {
            Refuse(table, line, CCsvColumns::EmpCode, CEmployeeCode::RangeText());
            continue;
        }
        if (const qsizetype earlier = seen.value(row.code, 0)) {
            Refuse(table, line, CCsvColumns::EmpCode,
                   QStringLiteral("社員コード %1 は %2 行目にもあります。").arg(row.code).arg(earlier));
            continue;
        }
        QString reason;
        QStringList names;
        if (const int badColumn = CheckEmployeeRow(row, names, reason); badColumn >= 0) {
            Refuse(table, line, badColumn, reason);
            continue;
        }
        seen.insert(row.code, line);
        const auto known = m_employeeIds.constFind(row.code);
        if (known != m_employeeIds.cend() && existing == ECsvExisting::Skip) {
            ++m_summary.employeesSkipped;
            continue;
        }
        const int unit = PlaceEmployee(table, line, row, names, missing);
        if (unit == -2)
            continue;
        row.unit = unit;
        if (known != m_employeeIds.cend()) {
            row.targetId = known.value();
            ++m_summary.employeesUpdated;
        } else {
            ++m_summary.employeesAdded;
        }
        m_plan.employees.push_back(std::move(row));
    }
}
