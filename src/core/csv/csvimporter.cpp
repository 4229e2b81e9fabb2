#include "csv/csvimporter.h"

#include "csv/csvcodec.h"
#include "csv/csvdate.h"
#include "csv/csvtable.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/mast00.h"
#include "store/mast01.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {
const QString kFind = QStringLiteral("ID IS NOT NULL");

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

bool ReadFile(const QString &path, std::optional<QByteArray> &bytes, QString &error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > CCsvImporter::MaxFileSize) {
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

QString SCsvImportSummary::Text(int maxRefusals) const
{
    QString text = QStringLiteral("部課: 追加 %1 件、更新 %2 件、変更なし %3 件、読み飛ばし %4 件\n")
                       .arg(unitsAdded).arg(unitsUpdated).arg(unitsUnchanged).arg(unitsSkipped);
    text += QStringLiteral("社員: 追加 %1 人、更新 %2 人、読み飛ばし %3 人\n")
                .arg(employeesAdded).arg(employeesUpdated).arg(employeesSkipped);
    text += QStringLiteral("取り込めない行: %1 行\n").arg(Refused());
    for (int i = 0; i < refusals.size() && i < maxRefusals; ++i) {
        const SCsvRefusal &r = refusals.at(i);
        text += r.column.isEmpty() ? QStringLiteral("%1 %2 行目: %3\n").arg(r.file).arg(r.line).arg(r.reason)
                                   : QStringLiteral("%1 %2 行目「%3」: %4\n").arg(r.file).arg(r.line).arg(r.column, r.reason);
    }
    if (refusals.size() > maxRefusals)
        text += QStringLiteral("ほか %1 行\n").arg(refusals.size() - maxRefusals);
    return text;
}

bool CCsvImporter::ReadFolder(const QString &folder, QString &error)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        error = QStringLiteral("フォルダ %1 が見つかりません。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    std::optional<QByteArray> units, employees;
    if (!ReadFile(dir.filePath(CCsvColumns::UnitsFileName()), units, error)
        || !ReadFile(dir.filePath(CCsvColumns::EmployeesFileName()), employees, error))
        return false;
    if (!units && !employees) {
        error = QStringLiteral("フォルダ %1 に %2 も %3 もありません。")
                    .arg(QDir::toNativeSeparators(folder), CCsvColumns::UnitsFileName(), CCsvColumns::EmployeesFileName());
        return false;
    }
    return ReadData(units, employees, error);
}

bool CCsvImporter::ReadData(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                            QString &error)
{
    m_unitTable = {};
    m_employeeTable = {};
    if (units && !ReadTable(*units, CCsvColumns::UnitsFileName(), CCsvColumns::UnitHeaders(),
                            {CCsvColumns::UnitCode, CCsvColumns::UnitPath}, m_unitTable, error))
        return false;
    if (employees && !ReadTable(*employees, CCsvColumns::EmployeesFileName(), CCsvColumns::EmployeeHeaders(),
                                {CCsvColumns::EmpCode}, m_employeeTable, error))
        return false;
    return true;
}

bool CCsvImporter::ReadTable(const QByteArray &bytes, const QString &file, const QStringList &headers,
                             const QList<int> &required, STable &table, QString &error)
{
    QByteArray utf8;
    ECsvEncoding found = ECsvEncoding::Utf8Bom;
    QString reason;
    if (!CCsvCodec::DecodeToUtf8(bytes, utf8, found, reason) || !CCsvTable::Parse(utf8, table.records, reason)) {
        error = QStringLiteral("%1: %2").arg(file, reason);
        return false;
    }
    if (table.records.isEmpty()) {
        error = QStringLiteral("%1: 見出し行がありません。").arg(file);
        return false;
    }
    const SCsvRecord header = table.records.takeFirst();
    for (const QString &name : header.fields) {
        const int column = int(headers.indexOf(name.trimmed()));
        if (column < 0) {
            error = QStringLiteral("%1: 見出し「%2」は知らない列です。使える見出し: %3")
                        .arg(file, name, headers.join(QStringLiteral("、")));
            return false;
        }
        if (table.columns.contains(column)) {
            error = QStringLiteral("%1: 見出し「%2」が二つあります。").arg(file, name);
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

void CCsvImporter::Refuse(const STable &table, qsizetype line, int column, const QString &reason)
{
    const QStringList &headers =
        &table == &m_unitTable ? CCsvColumns::UnitHeaders() : CCsvColumns::EmployeeHeaders();
    m_summary.refusals.append({table.file, line, column >= 0 ? headers.value(column) : QString(), reason});
}

QString CCsvImporter::ChildKey(int parent, const QString &name)
{
    return QString::number(parent) + QLatin1Char('\n') + name;
}

void CCsvImporter::LoadRegister()
{
    m_units.clear();
    m_children.clear();
    m_companyByCode.clear();
    m_employeeIds.clear();
    QHash<qint32, int> indexOfId;
    std::vector<qint32> parentIds;
    {
        CMast00 set(&m_database);
        set.m_strSort = QStringLiteral("ID");
        set.Open();
        for (bool found = set.FindFirst(kFind); found; found = set.FindNext(kFind)) {
            SUnit unit;
            unit.id = set.m_ID;
            unit.code = set.m_Code;
            unit.fields[0] = set.m_Name;
            unit.fields[1] = set.m_Yuu;
            unit.fields[2] = set.m_Juu1;
            unit.fields[3] = set.m_Juu2;
            unit.fields[4] = set.m_TEL;
            unit.fields[5] = set.m_FAX;
            indexOfId.insert(unit.id, int(m_units.size()));
            parentIds.push_back(set.m_Parent);
            m_units.push_back(unit);
        }
    }
    for (size_t i = 0; i < m_units.size(); ++i) {
        SUnit &unit = m_units[i];
        unit.parent = parentIds[i] == 0 ? -1 : indexOfId.value(parentIds[i], -2);
        if (unit.parent == -2)
            continue;
        m_children[ChildKey(unit.parent, unit.fields[0])].append(int(i));
        if (unit.parent == -1 && !m_companyByCode.contains(unit.code))
            m_companyByCode.insert(unit.code, int(i));
    }
    CMast01 set(&m_database);
    set.m_strSort = QStringLiteral("Code , ID");
    set.Open();
    // Only the two keys are needed; reading every column of 100,000 rows would not be.
    for (bool found = set.FindFirst(kFind); found; found = set.FindNext(kFind))
        if (!m_employeeIds.contains(set.m_Code))
            m_employeeIds.insert(set.m_Code, set.m_ID);
}

int CCsvImporter::Walk(int parent, const QStringList &names, int from, int &matched, QString &reason) const
{
    int current = parent;
    matched = from;
    for (int i = from; i < names.size(); ++i) {
        const QList<int> found = m_children.value(ChildKey(current, names.at(i)));
        if (found.isEmpty())
            break;
        if (found.size() > 1) {
            reason = current == -1
                ? QStringLiteral("「%1」という名前の会社が複数あり、一つに決まりません。").arg(names.at(i))
                : QStringLiteral("「%1」という名前の部課が同じ階層に複数あり、一つに決まりません。").arg(names.at(i));
            return -3;
        }
        current = found.constFirst();
        matched = i + 1;
    }
    return current;
}

int CCsvImporter::AddUnit(int parent, qint32 code, const QString &name)
{
    SUnit unit;
    unit.parent = parent;
    unit.code = code;
    unit.fields[0] = name;
    unit.isNew = true;
    const int index = int(m_units.size());
    m_units.push_back(unit);
    m_children[ChildKey(parent, name)].append(index);
    if (parent == -1 && !m_companyByCode.contains(code))
        m_companyByCode.insert(code, index);
    ++m_summary.unitsAdded;
    return index;
}

int CCsvImporter::CreateUnits(int parent, qint32 code, const QStringList &names, int from)
{
    int current = parent;
    for (int i = from; i < names.size(); ++i)
        current = AddUnit(current, code, names.at(i));
    return current;
}

const SCsvImportSummary &CCsvImporter::Plan(EExisting existing)
{
    m_summary = {};
    m_employees.clear();
    LoadRegister();
    if (m_unitTable.present)
        PlanUnits(existing);
    if (m_employeeTable.present)
        PlanEmployees(existing);
    m_unitTable.records.clear();
    m_employeeTable.records.clear();
    return m_summary;
}

void CCsvImporter::PlanUnits(EExisting existing)
{
    const int widthOfName = CCsvColumns::UnitWidth(CCsvColumns::UnitName);
    QHash<QString, qsizetype> seen;
    for (const SCsvRecord &record : std::as_const(m_unitTable.records)) {
        const auto &columns = m_unitTable.columns;
        if (record.fields.size() != columns.size()) {
            Refuse(m_unitTable, record.line, -1,
                   QStringLiteral("列の数（%1）が見出し（%2）と違います。").arg(record.fields.size()).arg(columns.size()));
            continue;
        }
        QString values[CCsvColumns::UnitColumnCount];
        bool given[CCsvColumns::UnitColumnCount] = {};
        for (int i = 0; i < columns.size(); ++i) {
            values[columns[i]] = record.fields[i];
            given[columns[i]] = true;
        }
        qint32 code = 0;
        if (!ParseCode(values[CCsvColumns::UnitCode], code)) {
            Refuse(m_unitTable, record.line, CCsvColumns::UnitCode,
                   QStringLiteral("「%1」は整数ではありません。").arg(values[CCsvColumns::UnitCode]));
            continue;
        }
        QStringList names;
        QString reason;
        if (!CCsvColumns::SplitPath(values[CCsvColumns::UnitPath], names, reason)) {
            Refuse(m_unitTable, record.line, CCsvColumns::UnitPath, reason);
            continue;
        }
        if (given[CCsvColumns::UnitName] && !values[CCsvColumns::UnitName].isEmpty()
            && values[CCsvColumns::UnitName] != names.constLast()) {
            Refuse(m_unitTable, record.line, CCsvColumns::UnitName,
                   QStringLiteral("「%1」が部課パスの最後の名前「%2」と違います。")
                       .arg(values[CCsvColumns::UnitName], names.constLast()));
            continue;
        }
        bool fits = true;
        for (const QString &name : std::as_const(names))
            if (fits && !FitsWidth(name, widthOfName)) {
                Refuse(m_unitTable, record.line, CCsvColumns::UnitPath, QStringLiteral("「%1」: ").arg(name) + TooLong(name, widthOfName));
                fits = false;
            }
        for (int column = CCsvColumns::UnitYuu; fits && column < CCsvColumns::UnitColumnCount; ++column)
            if (!FitsWidth(values[column], CCsvColumns::UnitWidth(column))) {
                Refuse(m_unitTable, record.line, column, TooLong(values[column], CCsvColumns::UnitWidth(column)));
                fits = false;
            }
        if (!fits)
            continue;
        const QString key = QString::number(code) + QLatin1Char('\n') + CCsvColumns::JoinPath(names);
        if (const qsizetype earlier = seen.value(key, 0)) {
            Refuse(m_unitTable, record.line, CCsvColumns::UnitPath,
                   QStringLiteral("同じ部課が %1 行目にもあります。").arg(earlier));
            continue;
        }

        const int company = m_companyByCode.value(code, -1);
        int target = -1;
        if (company >= 0 && m_units[size_t(company)].fields[0] != names.constFirst() && names.size() > 1) {
            Refuse(m_unitTable, record.line, CCsvColumns::UnitPath,
                   QStringLiteral("先頭の「%1」が会社コード %2 の会社名「%3」と違います。")
                       .arg(names.constFirst()).arg(code).arg(m_units[size_t(company)].fields[0]));
            continue;
        }
        if (company < 0) {
            target = CreateUnits(CreateUnits(-1, code, names.mid(0, 1), 0), code, names, 1);
        } else {
            int matched = 1;
            const int found = Walk(company, names, 1, matched, reason);
            if (found == -3) {
                Refuse(m_unitTable, record.line, CCsvColumns::UnitPath, reason);
                continue;
            }
            target = CreateUnits(found, code, names, matched);
        }
        seen.insert(key, record.line);

        SUnit &unit = m_units[size_t(target)];
        const bool known = !unit.isNew;
        if (known && existing == EExisting::Skip) {
            ++m_summary.unitsSkipped;
            continue;
        }
        bool differs = false;
        // A company row may rename its company; a department's name is its path.
        const QString fields[6] = {names.constLast(), values[CCsvColumns::UnitYuu], values[CCsvColumns::UnitJuu1],
                                   values[CCsvColumns::UnitJuu2], values[CCsvColumns::UnitTel], values[CCsvColumns::UnitFax]};
        for (int f = 0; f < 6; ++f) {
            const int column = f == 0 ? CCsvColumns::UnitPath : CCsvColumns::UnitYuu + f - 1;
            if (given[column] && unit.fields[f] != fields[f]) {
                if (f == 0) {
                    m_children[ChildKey(unit.parent, unit.fields[0])].removeOne(target);
                    m_children[ChildKey(unit.parent, fields[0])].append(target);
                }
                unit.fields[f] = fields[f];
                differs = true;
            }
        }
        if (known) {
            unit.changed = unit.changed || differs;
            differs ? ++m_summary.unitsUpdated : ++m_summary.unitsUnchanged;
        }
    }
}

void CCsvImporter::PlanEmployees(EExisting existing)
{
    const auto &columns = m_employeeTable.columns;
    QHash<qint32, qsizetype> seen;
    m_employees.reserve(size_t(m_employeeTable.records.size()));
    // The cells move into the planned rows: a large file is held once, not twice.
    for (SCsvRecord &record : m_employeeTable.records) {
        const qsizetype line = record.line;
        if (record.fields.size() != columns.size()) {
            Refuse(m_employeeTable, line, -1,
                   QStringLiteral("列の数（%1）が見出し（%2）と違います。").arg(record.fields.size()).arg(columns.size()));
            continue;
        }
        SEmployee row;
        for (int i = 0; i < columns.size(); ++i) {
            row.texts[columns[i]] = std::move(record.fields[i]);
            row.present[columns[i]] = true;
        }
        if (!ParseCode(row.texts[CCsvColumns::EmpCode], row.code)) {
            Refuse(m_employeeTable, line, CCsvColumns::EmpCode,
                   QStringLiteral("「%1」は整数ではありません。").arg(row.texts[CCsvColumns::EmpCode]));
            continue;
        }
        if (const qsizetype earlier = seen.value(row.code, 0)) {
            Refuse(m_employeeTable, line, CCsvColumns::EmpCode,
                   QStringLiteral("社員コード %1 は %2 行目にもあります。").arg(row.code).arg(earlier));
            continue;
        }
        QString reason;
        int badColumn = -1;
        for (int column = 0; column < CCsvColumns::EmployeeColumnCount && badColumn < 0; ++column) {
            const int width = CCsvColumns::EmployeeWidth(column);
            if (width > 0 && !FitsWidth(row.texts[column], width)) {
                badColumn = column;
                reason = TooLong(row.texts[column], width);
            }
        }
        const QString sex = row.texts[CCsvColumns::EmpSex].trimmed();
        if (badColumn < 0 && !sex.isEmpty() && sex != CCsvColumns::MaleText() && sex != CCsvColumns::FemaleText()) {
            badColumn = CCsvColumns::EmpSex;
            reason = QStringLiteral("「%1」ではなく「男」か「女」で書いてください。").arg(sex);
        }
        row.sex = sex == CCsvColumns::FemaleText();
        for (int d = 0; d < 3 && badColumn < 0; ++d)
            if (!CCsvDate::Parse(row.texts[CCsvColumns::EmpSdate + d], row.dates[d], reason))
                badColumn = CCsvColumns::EmpSdate + d;
        QStringList names;
        const QString &unitText = row.texts[CCsvColumns::EmpUnit];
        if (badColumn < 0 && !unitText.isEmpty()) {
            if (!CCsvColumns::SplitPath(unitText, names, reason)) {
                badColumn = CCsvColumns::EmpUnit;
            } else {
                for (const QString &name : std::as_const(names))
                    if (badColumn < 0 && !FitsWidth(name, CCsvColumns::UnitWidth(CCsvColumns::UnitName))) {
                        badColumn = CCsvColumns::EmpUnit;
                        reason = QStringLiteral("「%1」: ").arg(name) + TooLong(name, CCsvColumns::UnitWidth(CCsvColumns::UnitName));
                    }
            }
        }
        if (badColumn >= 0) {
            Refuse(m_employeeTable, line, badColumn, reason);
            continue;
        }
        seen.insert(row.code, line);
        const auto known = m_employeeIds.constFind(row.code);
        if (known != m_employeeIds.cend() && existing == EExisting::Skip) {
            ++m_summary.employeesSkipped;
            continue;
        }
        if (!names.isEmpty()) {
            int matched = 0;
            const int found = Walk(-1, names, 0, matched, reason);
            if (found == -3 || matched == 0) {
                Refuse(m_employeeTable, line, CCsvColumns::EmpUnit,
                       found == -3 ? reason : QStringLiteral("会社「%1」がありません。").arg(names.constFirst()));
                continue;
            }
            row.unit = CreateUnits(found, m_units[size_t(found)].code, names, matched);
        }
        if (known != m_employeeIds.cend()) {
            row.targetId = known.value();
            ++m_summary.employeesUpdated;
        } else {
            ++m_summary.employeesAdded;
        }
        m_employees.push_back(std::move(row));
    }
}

int CCsvImporter::WorkSize() const
{
    int size = int(m_employees.size());
    for (const SUnit &unit : m_units)
        if (unit.isNew || unit.changed)
            ++size;
    return size;
}

bool CCsvImporter::Apply(const std::function<bool(int, int)> &progress)
{
    bool cancelled = false;
    m_database.BeginTrans();
    try {
        WriteAll(progress, cancelled);
    } catch (...) {
        m_database.Rollback();
        for (SUnit &unit : m_units)
            if (unit.isNew)
                unit.id = 0;
        throw;
    }
    if (cancelled) {
        m_database.Rollback();
        for (SUnit &unit : m_units)
            if (unit.isNew)
                unit.id = 0;
        return false;
    }
    m_database.CommitTrans();
    return true;
}

void CCsvImporter::WriteAll(const std::function<bool(int, int)> &progress, bool &cancelled)
{
    const int total = WorkSize();
    int done = 0;
    auto step = [&]() {
        ++done;
        if (progress && (done % 256 == 0 || done == total) && !progress(done, total))
            cancelled = true;
        return !cancelled;
    };
    if (progress && !progress(0, total)) {
        cancelled = true;
        return;
    }
    {
        CMast00 set(&m_database);
        set.Open();
        for (SUnit &unit : m_units) {
            if (!unit.isNew && !unit.changed)
                continue;
            if (unit.isNew) {
                set.AddNew();
                set.m_Parent = unit.parent < 0 ? 0 : m_units[size_t(unit.parent)].id;
                set.m_Code = unit.code;
            } else {
                set.SetBookmark(unit.id);
                set.Edit();
            }
            set.m_Name = unit.fields[0];
            set.m_Yuu = unit.fields[1];
            set.m_Juu1 = unit.fields[2];
            set.m_Juu2 = unit.fields[3];
            set.m_TEL = unit.fields[4];
            set.m_FAX = unit.fields[5];
            set.Update();
            if (unit.isNew)
                unit.id = qint32(set.GetLastModifiedBookmark());
            if (!step())
                return;
        }
    }
    CMast01 set(&m_database);
    set.Open();
    for (const SEmployee &row : m_employees) {
        const bool isNew = row.targetId == 0;
        if (isNew) {
            set.AddNew();
            set.m_Code = row.code;
            set.m_Sdate = set.m_Indat = set.m_Outdat = CDateValue::MakeNull();
        } else {
            set.SetBookmark(row.targetId);
            set.Edit();
        }
        auto text = [&row](int column, QString &member) {
            if (row.present[column])
                member = row.texts[column];
        };
        text(CCsvColumns::EmpName, set.m_Name);
        text(CCsvColumns::EmpKana, set.m_Kana);
        text(CCsvColumns::EmpYuu, set.m_Yuu);
        text(CCsvColumns::EmpJuu1, set.m_Juu1);
        text(CCsvColumns::EmpJuu2, set.m_Juu2);
        text(CCsvColumns::EmpTel, set.m_TEL);
        text(CCsvColumns::EmpFax, set.m_FAX);
        text(CCsvColumns::EmpRire, set.m_Rire);
        text(CCsvColumns::EmpSikaku, set.m_Sikaku);
        text(CCsvColumns::EmpMem, set.m_Mem);
        text(CCsvColumns::EmpEmail, set.m_Email);
        if (row.present[CCsvColumns::EmpSex])
            set.m_Sex = row.sex;
        CDateValue *dates[3] = {&set.m_Sdate, &set.m_Indat, &set.m_Outdat};
        for (int d = 0; d < 3; ++d)
            if (row.present[CCsvColumns::EmpSdate + d])
                *dates[d] = row.dates[d];
        if (row.present[CCsvColumns::EmpUnit])
            set.m_Busyo = row.unit < 0 ? 0 : m_units[size_t(row.unit)].id;
        set.Update();
        if (!step())
            return;
    }
}
