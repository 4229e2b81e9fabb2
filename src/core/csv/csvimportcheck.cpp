#include "csv/csvfillin.h"
#include "csv/csvimportcheck.h"

#include "csv/csvcolumnaliases.h"
#include "csv/csvquote.h"
#include "csv/csvdate.h"
#include "csv/csvimporter.h"
#include "register/employeecode.h"
#include "register/registerexchange.h"
#include "kana/readingsuggester.h"
#include "postal/postaldirectory.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
bool ParseCode(const QString &text, qint32 &code)
{
    bool ok = false;
    code = text.normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
    return ok;
}

QString Plain(const QString &text)
{
    return text.normalized(QString::NormalizationForm_KC).trimmed();
}

int Digits(const QString &text)
{
    return int(std::count_if(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }));
}

QString TooLong(const QString &text, int width)
{
    return QStringLiteral("%1 文字までです（%2 文字あります）。").arg(width).arg(text.toUcs4().size());
}

bool FitsWidth(const QString &text, int width)
{
    return width <= 0 || text.size() <= width || text.toUcs4().size() <= width;
}

bool HasColumns(const SCsvRecord &record, const SCsvImportTable &table)
{
    const qsizetype size = record.fields.size();
    return size == table.columns.size() || (table.rowsMayEndEarly && size < table.columns.size());
}

QString NoName()
{
    return QStringLiteral("氏名が空です（氏名のない社員は登録できません）。");
}

QString WrongColumnCount(const SCsvRecord &record, const SCsvImportTable &table)
{
    return QStringLiteral("列の数（%1）が見出し（%2）と違います。").arg(record.fields.size()).arg(table.columns.size());
}

QString NameTheCompany()
{
    return QStringLiteral("新しい部課を置く会社を指定すると、その会社の部課として読み込めます"
                          "（画面では「新しい部課を置く会社」、コマンドラインでは --company 会社名）。");
}

// The value with the 0 a spreadsheet dropped put back; empty when it cannot be that.
// A number never starts with 0, so a value that does was typed so.
QString WithLostZero(const QString &plain, bool postal)
{
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]*$"));
    if (!digits.match(plain).hasMatch())
        return {};
    const bool lost = postal ? plain.size() == 6 : plain.size() == 9 || plain.size() == 10;
    return lost ? QLatin1Char('0') + plain : QString();
}
} // namespace

QString CCsvImportCheck::ChildKey(int parent, const QString &name)
{
    return QString::number(parent) + QLatin1Char('\n') + name;
}

void CCsvImportCheck::Refuse(const SCsvImportTable &table, qsizetype line, int column, const QString &reason)
{
    const QStringList &headers = table.units ? CCsvColumns::UnitHeaders() : CCsvColumns::EmployeeHeaders();
    m_summary.Refuse({table.file, line, column >= 0 ? headers.value(column) : QString(), reason});
}

void CCsvImportCheck::Warn(const SCsvImportTable &table, qsizetype line, int column, const QString &reason)
{
    const QStringList &headers = table.units ? CCsvColumns::UnitHeaders() : CCsvColumns::EmployeeHeaders();
    m_summary.Warn({table.file, line, headers.value(column), reason});
}

QString CCsvImportCheck::PathOf(int unit) const
{
    QStringList names;
    for (int at = unit; at >= 0 && names.size() <= CCsvColumns::MaxDepth; at = m_plan.units[size_t(at)].parent)
        names.prepend(m_plan.units[size_t(at)].fields[0]);
    return CCsvColumns::JoinPath(names);
}

QStringList CCsvImportCheck::CompanyNames() const
{
    QStringList names;
    for (const SCsvImportUnit &unit : m_plan.units)
        if (unit.parent == -1 && !unit.isNew && !names.contains(unit.fields[0]))
            names << unit.fields[0];
    return names;
}

void CCsvImportCheck::LoadRegister(CRegisterExchange &exchange)
{
    m_plan = {};
    m_children.clear();
    m_byName.clear();
    m_companyByCode.clear();
    m_claimed.clear();
    m_seenCode.clear();
    m_seenNoId.clear();
    m_seenId.clear();
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
        m_byName[unit.fields[0]].append(int(i));
        if (unit.parent == -1 && !m_companyByCode.contains(unit.code))
            m_companyByCode.insert(unit.code, int(i));
    }
    m_keyById = exchange.EmployeeKeysById();
    m_idsByCode.clear();
    m_reserved.clear();
    for (auto it = m_keyById.cbegin(); it != m_keyById.cend(); ++it)
        m_idsByCode[it->code].append(it.key());
    for (QList<qint32> &ids : m_idsByCode)
        std::sort(ids.begin(), ids.end());
}

bool CCsvImportCheck::NamesEmployee(qint32 id, qint32 code, const QString *name) const
{
    // An ID from another register may be anyone's there.
    const auto key = m_keyById.constFind(id);
    return key != m_keyById.cend() && key->code == code && (!name || key->name == *name);
}

void CCsvImportCheck::ReserveNamedIds(const SCsvImportTable &table)
{
    const qsizetype codeAt = table.columns.indexOf(CCsvColumns::EmpCode);
    const qsizetype idAt = table.columns.indexOf(CCsvColumns::EmpId);
    const qsizetype nameAt = table.columns.indexOf(CCsvColumns::EmpName);
    if (codeAt < 0 || idAt < 0)
        return;
    for (const SCsvRecord &record : table.records) {
        qint32 code = 0, id = 0;
        const QString name = nameAt < 0 ? QString() : record.fields.value(nameAt);
        if (HasColumns(record, table) && ParseCode(record.fields.value(idAt), id)
            && ParseCode(record.fields.value(codeAt), code) && id > 0
            && NamesEmployee(id, code, nameAt < 0 ? nullptr : &name))
            m_reserved.insert(id);
    }
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
    m_byName[name].append(index);
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
    if (!HasColumns(record, table)) {
        Refuse(table, record.line, -1, WrongColumnCount(record, table));
        return false;
    }
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i] < 0)
            continue;
        line.values[columns[i]] = record.fields.value(i);
        line.given[columns[i]] = true;
    }
    const QString *values = line.values;
    SErrors errors;
    if (!ParseCode(values[CCsvColumns::UnitCode], line.code))
        errors.append({CCsvColumns::UnitCode,
                       QStringLiteral("「%1」は整数ではありません。").arg(CCsvQuote::Cell(values[CCsvColumns::UnitCode]))});
    QString reason;
    if (!CCsvColumns::SplitPath(values[CCsvColumns::UnitPath], line.names, reason)) {
        errors.append({CCsvColumns::UnitPath, reason});
    } else if (line.given[CCsvColumns::UnitName] && !values[CCsvColumns::UnitName].isEmpty()
               && values[CCsvColumns::UnitName] != line.names.constLast()) {
        errors.append({CCsvColumns::UnitName,
                       QStringLiteral("「%1」が部課パスの最後の名前「%2」と違います。")
                           .arg(CCsvQuote::Cell(values[CCsvColumns::UnitName]), CCsvQuote::Cell(line.names.constLast()))});
    }
    const int widthOfName = CCsvColumns::UnitWidth(CCsvColumns::UnitName);
    for (const QString &name : std::as_const(line.names))
        if (!FitsWidth(name, widthOfName))
            errors.append({CCsvColumns::UnitPath,
                           QStringLiteral("「%1」: ").arg(CCsvQuote::Cell(name)) + TooLong(name, widthOfName)});
    for (int column = CCsvColumns::UnitYuu; column < CCsvColumns::UnitColumnCount; ++column)
        if (!FitsWidth(values[column], CCsvColumns::UnitWidth(column)))
            errors.append({column, TooLong(values[column], CCsvColumns::UnitWidth(column))});
    for (const auto &[column, why] : std::as_const(errors))
        Refuse(table, record.line, column, why);
    return errors.isEmpty();
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
                m_byName[unit.fields[0]].removeOne(target);
                m_byName[fields[0]].append(target);
            }
            unit.fields[f] = fields[f];
            differs = true;
        }
    }
    return differs;
}

void CCsvImportCheck::CheckUnits(const SCsvImportTable &table)
{
    const ECsvExisting existing = m_choices.existing;
    QHash<QString, qsizetype> seen;
    for (const SCsvRecord &record : table.records) {
        SUnitLine line;
        if (!ReadUnitLine(table, record, line))
            continue;
        const int restored = WarnOfDamage(table, record.line, line.values, CCsvColumns::UnitYuu, CCsvColumns::UnitTel,
                                          CCsvColumns::UnitFax);
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
        FillUnit(table, record.line, line, target);
        const bool differs = TakeUnitFields(target, line);
        m_summary.zerosRestored += restored;
        if (known) {
            SCsvImportUnit &unit = m_plan.units[size_t(target)];
            unit.changed = unit.changed || differs;
            differs ? ++m_summary.unitsUpdated : ++m_summary.unitsUnchanged;
        }
    }
}

bool CCsvImportCheck::ReadCode(const SCsvImportTable &table, qsizetype line, const QString &text, qint32 &code,
                               SErrors &errors)
{
    const QString plain = Plain(text);
    static const QRegularExpression integer(QStringLiteral("^[+-]?\\d+$"));
    if (!integer.match(plain).hasMatch()) {
        errors.append({CCsvColumns::EmpCode, QStringLiteral("「%1」は整数ではありません。").arg(CCsvQuote::Cell(text))});
        return false;
    }
    bool fits = false;
    const qlonglong value = plain.toLongLong(&fits);
    if (!fits || value > CEmployeeCode::kMax) {
        errors.append({CCsvColumns::EmpCode, QStringLiteral("範囲外の社員コードです（1〜%1）").arg(CEmployeeCode::kMax)});
        return false;
    }
    if (!CEmployeeCode::IsValid(value)) {
        errors.append({CCsvColumns::EmpCode, CEmployeeCode::RangeText()});
        return false;
    }
    code = qint32(value);
    if (plain.startsWith(QLatin1Char('0')))
        Warn(table, line, CCsvColumns::EmpCode,
             QStringLiteral("「%1」は先頭の 0 を除いた社員コード %2 として読み込みます。")
                 .arg(CCsvQuote::Cell(text))
                 .arg(code));
    return true;
}

void CCsvImportCheck::CheckDuplicate(const SCsvImportEmployee &row, qint32 id, qsizetype line, SErrors &errors)
{
    if (id != 0) {
        if (const qsizetype earlier = m_seenId.value(id, 0)) {
            errors.append({CCsvColumns::EmpId, QStringLiteral("ID %1 は %2 行目にもあります。").arg(id).arg(earlier)});
            return;
        }
        m_seenId.insert(id, line);
    }
    // Rows that share a code are told apart by their IDs, as an export writes them.
    const qsizetype earlier = id != 0 ? m_seenNoId.value(row.code, 0) : m_seenCode.value(row.code, 0);
    if (earlier)
        errors.append(
            {CCsvColumns::EmpCode, QStringLiteral("社員コード %1 は %2 行目にもあります。").arg(row.code).arg(earlier)});
    if (!m_seenCode.contains(row.code))
        m_seenCode.insert(row.code, line);
    if (id == 0 && !m_seenNoId.contains(row.code))
        m_seenNoId.insert(row.code, line);
}

void CCsvImportCheck::CheckEmployeeRow(const SCsvImportTable &table, qsizetype line, SCsvImportEmployee &row,
                                       QStringList &names, SErrors &errors)
{
    for (int column = 0; column < CCsvColumns::EmployeeColumnCount; ++column) {
        const int width = CCsvColumns::EmployeeWidth(column);
        if (width > 0 && !FitsWidth(row.texts[column], width))
            errors.append({column, TooLong(row.texts[column], width)});
    }
    const QString &sexText = row.texts[CCsvColumns::EmpSex];
    const int sex = CCsvColumnAliases::Sex(sexText);
    if (sex >= 0) {
        row.sex = sex == 1;
    } else if (!sexText.trimmed().isEmpty()) {
        errors.append({CCsvColumns::EmpSex,
                       QStringLiteral("「%1」ではなく「男」か「女」（男性・女性、M・F、1・2 も可）で書いてください。")
                           .arg(CCsvQuote::Cell(sexText))});
    } else if (row.present[CCsvColumns::EmpSex] || !m_idsByCode.contains(row.code)) {
        Warn(table, line, CCsvColumns::EmpSex, QStringLiteral("性別が空のため「男」として読み込みます。"));
    }
    for (int d = 0; d < 3; ++d) {
        QString reason;
        if (!CCsvDate::Parse(row.texts[CCsvColumns::EmpSdate + d], row.dates[d], reason))
            errors.append({CCsvColumns::EmpSdate + d, reason});
    }
    const QString &unitText = row.texts[CCsvColumns::EmpUnit];
    if (unitText.isEmpty())
        return;
    QString reason;
    if (!CCsvColumns::SplitPath(unitText, names, reason)) {
        errors.append({CCsvColumns::EmpUnit, reason});
        return;
    }
    const int widthOfName = CCsvColumns::UnitWidth(CCsvColumns::UnitName);
    for (const QString &name : std::as_const(names))
        if (!FitsWidth(name, widthOfName))
            errors.append(
                {CCsvColumns::EmpUnit, QStringLiteral("「%1」: ").arg(CCsvQuote::Cell(name)) + TooLong(name, widthOfName)});
}

int CCsvImportCheck::WarnOfDamage(const SCsvImportTable &table, qsizetype line, QString *texts, int yuu, int tel, int fax)
{
    int restoredCount = 0;
    const auto restored = [&](int column, bool postal) {
        const QString whole = m_choices.restoreZeros ? WithLostZero(Plain(texts[column]), postal) : QString();
        if (whole.isEmpty())
            return false;
        Warn(table, line, column,
             QStringLiteral("先頭の 0 を補いました（「%1」→「%2」）。").arg(CCsvQuote::Cell(texts[column]), whole));
        texts[column] = whole;
        ++restoredCount;
        return true;
    };
    const QString postal = Plain(texts[yuu]);
    if (!postal.isEmpty() && Digits(postal) < 7 && !restored(yuu, true))
        Warn(table, line, yuu,
             QStringLiteral("「%1」は 7 桁に足りません（先頭の 0 が消えていませんか）。").arg(CCsvQuote::Cell(postal)));
    for (const int column : {tel, fax}) {
        const QString number = Plain(texts[column]);
        if (!number.isEmpty() && !number.startsWith(QLatin1Char('0')) && !number.startsWith(QLatin1Char('+'))
            && !restored(column, false))
            Warn(table, line, column,
                 QStringLiteral("「%1」が 0 で始まっていません（先頭の 0 が消えていませんか）。")
                     .arg(CCsvQuote::Cell(number)));
    }
    return restoredCount;
}

void CCsvImportCheck::FillEmployee(const SCsvImportTable &table, qsizetype line, SCsvImportEmployee &row, qint32 target)
{
    const auto fill = [&](int column, const CCsvFillIn::SFill &fill) {
        if (!fill.warning.isEmpty())
            Warn(table, line, column, fill.warning);
        if (fill.value.isEmpty())
            return false;
        row.texts[column] = fill.value;
        row.present[column] = true;
        return true;
    };
    const auto empty = [&](int column) {
        return row.texts[column].trimmed().isEmpty() && (row.present[column] || target == 0);
    };
    if (m_choices.fillAddresses && empty(CCsvColumns::EmpJuu1)
        && fill(CCsvColumns::EmpJuu1, CCsvFillIn::Address(CPostalDirectory::Shared(), row.texts[CCsvColumns::EmpYuu])))
        ++m_summary.addressesFilled;
    if (m_choices.fillReadings && empty(CCsvColumns::EmpKana)
        && fill(CCsvColumns::EmpKana, CCsvFillIn::Reading(CReadingSuggester::Instance(), row.texts[CCsvColumns::EmpName])))
        ++m_summary.readingsFilled;
}

void CCsvImportCheck::FillUnit(const SCsvImportTable &table, qsizetype line, SUnitLine &unit, int target)
{
    if (!m_choices.fillAddresses)
        return;
    const SCsvImportUnit &kept = m_plan.units[size_t(target)];
    const bool given = unit.given[CCsvColumns::UnitJuu1];
    if (!(given ? unit.values[CCsvColumns::UnitJuu1] : kept.fields[2]).trimmed().isEmpty())
        return;
    const QString &postal = unit.given[CCsvColumns::UnitYuu] ? unit.values[CCsvColumns::UnitYuu] : kept.fields[1];
    const CCsvFillIn::SFill fill = CCsvFillIn::Address(CPostalDirectory::Shared(), postal);
    if (!fill.warning.isEmpty())
        Warn(table, line, CCsvColumns::UnitJuu1, fill.warning);
    if (fill.value.isEmpty())
        return;
    unit.values[CCsvColumns::UnitJuu1] = fill.value;
    unit.given[CCsvColumns::UnitJuu1] = true;
    ++m_summary.addressesFilled;
}

int CCsvImportCheck::PlaceByName(const SCsvImportTable &table, qsizetype line, const QString &name)
{
    const QList<int> found = m_byName.value(name);
    if (found.size() == 1)
        return found.constFirst();
    QStringList paths;
    for (int unit : found)
        paths << PathOf(unit);
    if (found.isEmpty())
        ++m_summary.noCompanyRows;
    Refuse(table, line, CCsvColumns::EmpUnit,
           found.isEmpty()
               ? QStringLiteral("「%1」という会社も部課もありません。").arg(CCsvQuote::Cell(name)) + NameTheCompany()
               : QStringLiteral("「%1」という部課が %2 つあり、一つに決まりません（%3）。部課パスで書いてください。")
                     .arg(CCsvQuote::Cell(name))
                     .arg(found.size())
                     .arg(paths.join(QStringLiteral("、"))));
    return -2;
}

int CCsvImportCheck::PlaceEmployee(const SCsvImportTable &table, qsizetype line, const SCsvImportEmployee &row,
                                   const QStringList &names, bool place)
{
    if (names.isEmpty())
        return -1;
    const bool noCompany = m_children.value(ChildKey(-1, names.constFirst())).isEmpty();
    if (noCompany && !m_choices.company.isEmpty())
        return PlaceInCompany(table, line, names, place);
    // A department named alone, as other programs write it, when no company has that name.
    if (noCompany && names.size() == 1)
        return PlaceByName(table, line, names.constFirst());
    int matched = 0;
    QString reason;
    const int found = Walk(-1, names, 0, matched, reason);
    if (found == -3 || matched == 0) {
        if (found != -3)
            ++m_summary.noCompanyRows;
        Refuse(table, line, CCsvColumns::EmpUnit,
               found == -3 ? reason
                           : QStringLiteral("会社「%1」がありません。").arg(CCsvQuote::Cell(names.constFirst()))
                                 + NameTheCompany());
        return -2;
    }
    // A typo in a path would otherwise become a department of its own.
    if (matched < names.size() && m_choices.missing == ECsvMissingUnits::Refuse) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               QStringLiteral("部課パス「%1」の「%2」がありません。")
                   .arg(CCsvQuote::Cell(row.texts[CCsvColumns::EmpUnit]), CCsvQuote::Cell(names.at(matched))));
        ++m_summary.missingUnitRows;
        return -2;
    }
    return place ? CreateUnits(found, m_plan.units[size_t(found)].code, names, matched) : -1;
}

bool CCsvImportCheck::Within(int unit, int ancestor) const
{
    for (int at = unit, depth = 0; at >= 0 && depth <= CCsvColumns::MaxDepth; at = m_plan.units[size_t(at)].parent, ++depth)
        if (at == ancestor)
            return true;
    return false;
}

qint32 CCsvImportCheck::NewCompanyCode() const
{
    qint32 code = 0;
    for (const SCsvImportUnit &unit : m_plan.units)
        code = std::max(code, unit.code);
    return code + 1;
}

int CCsvImportCheck::PlaceInCompany(const SCsvImportTable &table, qsizetype line, const QStringList &path, bool place)
{
    const QString &name = m_choices.company;
    // The named company's own name at the front is the path from it, the company not made yet.
    const QStringList names = path.constFirst() == name ? path.mid(1) : path;
    const QList<int> companies = m_children.value(ChildKey(-1, name));
    if (companies.size() > 1) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               QStringLiteral("「%1」という名前の会社が複数あり、一つに決まりません。").arg(CCsvQuote::Cell(name)));
        return -2;
    }
    const int company = companies.isEmpty() ? -1 : companies.constFirst();
    if (const int width = CCsvColumns::UnitWidth(CCsvColumns::UnitName); company < 0 && !FitsWidth(name, width)) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               QStringLiteral("会社名「%1」: ").arg(CCsvQuote::Cell(name)) + TooLong(name, width));
        return -2;
    }
    int parent = company;
    int matched = 0;
    if (company >= 0 && names.isEmpty())
        return company;
    if (company >= 0 && names.size() == 1) {
        // As a name alone is found anywhere without a company: anywhere in this one.
        QList<int> found;
        for (const int unit : m_byName.value(names.constFirst()))
            if (Within(unit, company))
                found << unit;
        if (found.size() == 1)
            return found.constFirst();
        if (found.size() > 1) {
            QStringList paths;
            for (const int unit : std::as_const(found))
                paths << PathOf(unit);
            Refuse(table, line, CCsvColumns::EmpUnit,
                   QStringLiteral("「%1」という部課が %2 つあり、一つに決まりません（%3）。部課パスで書いてください。")
                       .arg(CCsvQuote::Cell(names.constFirst()))
                       .arg(found.size())
                       .arg(paths.join(QStringLiteral("、"))));
            return -2;
        }
    } else if (company >= 0) {
        QString reason;
        parent = Walk(company, names, 0, matched, reason);
        if (parent == -3) {
            Refuse(table, line, CCsvColumns::EmpUnit, reason);
            return -2;
        }
        if (matched == names.size())
            return parent;
    }
    if (m_choices.missing == ECsvMissingUnits::Refuse) {
        Refuse(table, line, CCsvColumns::EmpUnit,
               company < 0
                   ? QStringLiteral("会社「%1」がありません（ない部課を作ると会社も作ります）。").arg(CCsvQuote::Cell(name))
                   : QStringLiteral("会社「%1」に部課「%2」がありません。")
                         .arg(CCsvQuote::Cell(name), CCsvQuote::Cell(CCsvColumns::JoinPath(names.mid(matched)))));
        ++m_summary.missingUnitRows;
        return -2;
    }
    if (!place)
        return -1;
    if (parent < 0) {
        parent = AddUnit(-1, NewCompanyCode(), name);
        m_summary.companyAdded = name;
    }
    return CreateUnits(parent, m_plan.units[size_t(parent)].code, names, matched);
}

bool CCsvImportCheck::LeavesNoName(const SCsvImportEmployee &row, qint32 target, ECsvExisting existing) const
{
    if (!row.texts[CCsvColumns::EmpName].trimmed().isEmpty())
        return false;
    if (target == 0)
        return true;
    // An employee the register already keeps without a name stays as they are.
    return row.present[CCsvColumns::EmpName] && existing == ECsvExisting::Update
        && !m_keyById.value(target).name.trimmed().isEmpty();
}

qint32 CCsvImportCheck::TargetOf(const SCsvImportEmployee &row, qint32 id)
{
    const QString *name = row.present[CCsvColumns::EmpName] ? &row.texts[CCsvColumns::EmpName] : nullptr;
    if (id != 0 && NamesEmployee(id, row.code, name) && !m_claimed.contains(id))
        return id;
    // Otherwise the code's first employee that no other row names or writes over.
    for (const qint32 candidate : m_idsByCode.value(row.code))
        if (!m_claimed.contains(candidate) && !m_reserved.contains(candidate))
            return candidate;
    return 0;
}

void CCsvImportCheck::CheckEmployees(SCsvImportTable &table)
{
    const ECsvExisting existing = m_choices.existing;
    const auto &columns = table.columns;
    ReserveNamedIds(table);
    m_plan.employees.reserve(size_t(table.records.size()));
    for (SCsvRecord &record : table.records) {
        const qsizetype line = record.line;
        if (!HasColumns(record, table)) {
            Refuse(table, line, -1, WrongColumnCount(record, table));
            continue;
        }
        SCsvImportEmployee row;
        for (int i = 0; i < columns.size(); ++i) {
            if (columns[i] < 0)
                continue;
            if (i < record.fields.size())
                row.texts[columns[i]] = std::move(record.fields[i]);
            row.present[columns[i]] = true;
        }
        SErrors errors;
        qint32 id = 0;
        const QString idText = Plain(row.texts[CCsvColumns::EmpId]);
        if (!idText.isEmpty() && (!ParseCode(idText, id) || id <= 0)) {
            errors.append(
                {CCsvColumns::EmpId, QStringLiteral("「%1」は ID として読めません。").arg(CCsvQuote::Cell(idText))});
            id = 0;
        }
        const bool coded = ReadCode(table, line, row.texts[CCsvColumns::EmpCode], row.code, errors);
        if (coded)
            CheckDuplicate(row, id, line, errors);
        QStringList names;
        CheckEmployeeRow(table, line, row, names, errors);
        const int restored = WarnOfDamage(table, line, row.texts, CCsvColumns::EmpYuu, CCsvColumns::EmpTel,
                                          CCsvColumns::EmpFax);
        const qint32 target = coded ? TargetOf(row, id) : 0;
        if (LeavesNoName(row, target, existing))
            errors.append({CCsvColumns::EmpName, NoName()});
        if (!errors.isEmpty()) {
            bool unitRead = true;
            for (const auto &[column, reason] : std::as_const(errors)) {
                Refuse(table, line, column, reason);
                unitRead = unitRead && column != CCsvColumns::EmpUnit;
            }
            // Every reason at once: the unit's too, so that one round of corrections is enough.
            if (unitRead)
                PlaceEmployee(table, line, row, names, false);
            continue;
        }
        if (target != 0 && existing == ECsvExisting::Skip) {
            ++m_summary.employeesSkipped;
            continue;
        }
        const int unit = PlaceEmployee(table, line, row, names, true);
        if (unit == -2)
            continue;
        FillEmployee(table, line, row, target);
        row.unit = unit;
        row.targetId = target;
        if (target != 0) {
            m_claimed.insert(target);
            ++m_summary.employeesUpdated;
        } else {
            ++m_summary.employeesAdded;
        }
        m_summary.zerosRestored += restored;
        m_plan.employees.push_back(std::move(row));
    }
}
