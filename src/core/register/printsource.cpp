#include "register/printsource.h"

#include "register/units.h"
#include "store/daocolumnsubset.h"
#include "store/daofind.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/setopener.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <utility>

namespace {
CPrintRecord FromEmployee(const CMast01 &employee)
{
    CPrintRecord record;
    record.m_ID = employee.m_ID;
    record.m_Code = employee.m_Code;
    record.m_Busyo = employee.m_Busyo;
    record.m_Sex = employee.m_Sex;
    record.m_Name = employee.m_Name;
    record.m_Kana = employee.m_Kana;
    record.m_Sdate = employee.m_Sdate;
    record.m_Indat = employee.m_Indat;
    record.m_Outdat = employee.m_Outdat;
    record.m_Yuu = employee.m_Yuu;
    record.m_Juu1 = employee.m_Juu1;
    record.m_Juu2 = employee.m_Juu2;
    record.m_TEL = employee.m_TEL;
    record.m_FAX = employee.m_FAX;
    return record;
}

const QStringList kPrintedColumns = {
    QStringLiteral("ID"),     QStringLiteral("Code"), QStringLiteral("Busyo"), QStringLiteral("Sex"),
    QStringLiteral("Name"),   QStringLiteral("Kana"), QStringLiteral("Sdate"), QStringLiteral("Indat"),
    QStringLiteral("Outdat"), QStringLiteral("Yuu"),  QStringLiteral("Juu1"),  QStringLiteral("Juu2"),
    QStringLiteral("TEL"),    QStringLiteral("FAX"),
};
} // namespace

std::optional<CPrintSource::SCompanyList> CPrintSource::CompanyList(qint32 unitId)
{
    CMast00 units;
    const CSetOpener openUnits(units);
    if (!units.FindById(unitId))
        return std::nullopt;
    units.GetUnitChain(unitId);
    SCompanyList list;
    list.strCompany = units.m_Name;

    // The company's units are those that carry its code.
    const CDaoFind ofCompany(QStringLiteral("Code"), CDaoFind::EOp::equal, units.m_Code);
    std::vector<qint32> unitIds;
    {
        const CDaoColumnSubset columns(units, {QStringLiteral("ID")});
        for (bool found = units.FindFirst(ofCompany); found; found = units.FindNext(ofCompany))
            unitIds.push_back(units.m_ID);
    }

    CMast01 employees;
    const CDaoColumnSubset columns(employees, kPrintedColumns);
    const CSetOpener openEmployees(employees);
    for (const qint32 unit : unitIds) {
        const QString path = units.GetUnitPath(unit, true);
        const CDaoFind inUnit(QStringLiteral("Busyo"), CDaoFind::EOp::equal, unit);
        for (bool found = employees.FindFirst(inUnit); found; found = employees.FindNext(inUnit)) {
            list.records.push_back(FromEmployee(employees));
            list.records.back().m_strPath = path;
        }
    }
    // The order the list has always been printed in.
    std::sort(list.records.begin(), list.records.end(),
              [](const CPrintRecord &a, const CPrintRecord &b) { return a.m_ID < b.m_ID; });
    return list;
}

namespace {
QString Heading(CMast00 &units, qint32 unit)
{
    QStringList names = units.GetUnitPath(unit, false).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return names.join(QStringLiteral(" / "));
}

// The unit and those under it, each right after the one above it; a damaged
// file's loop of parents is walked once.
void Walk(qint32 unit, int topUnit, QSet<qint32> &seen, std::vector<std::pair<qint32, int>> &order)
{
    if (seen.contains(unit))
        return;
    seen.insert(unit);
    order.emplace_back(unit, topUnit);
    const QList<SUnitRow> children = CUnits::Children(unit);
    for (qsizetype i = 0; i < children.size(); ++i)
        Walk(children[i].nID, topUnit == 0 ? int(i) + 1 : topUnit, seen, order);
}
} // namespace

std::optional<CPrintSource::SUnitList> CPrintSource::UnitList(qint32 unitId)
{
    CMast00 units;
    const CSetOpener openUnits(units);
    if (!units.FindById(unitId))
        return std::nullopt;
    SUnitList list;
    list.strUnit = Heading(units, unitId);
    std::vector<std::pair<qint32, int>> order;
    QSet<qint32> seen;
    Walk(unitId, 0, seen, order);

    CMast01 employees;
    const CDaoColumnSubset columns(employees, kPrintedColumns);
    const CSetOpener openEmployees(employees);
    for (const auto &[unit, topUnit] : order) {
        SUnitGroup group;
        group.nUnit = unit;
        group.nTopUnit = topUnit;
        const QString path = units.GetUnitPath(unit, true);
        const CDaoFind inUnit(QStringLiteral("Busyo"), CDaoFind::EOp::equal, unit);
        for (bool found = employees.FindFirst(inUnit); found; found = employees.FindNext(inUnit)) {
            group.records.push_back(FromEmployee(employees));
            group.records.back().m_strPath = path;
        }
        if (group.records.empty())
            continue;
        std::sort(group.records.begin(), group.records.end(),
                  [](const CPrintRecord &a, const CPrintRecord &b) { return a.m_ID < b.m_ID; });
        group.strHeading = Heading(units, unit);
        list.groups.push_back(std::move(group));
    }
    return list;
}

std::optional<CPrintRecord> CPrintSource::Card(qint32 employeeId)
{
    CMast01 employees;
    const CDaoColumnSubset columns(employees, kPrintedColumns);
    const CSetOpener openEmployees(employees);
    if (!employees.FindById(employeeId))
        return std::nullopt;
    CPrintRecord record = FromEmployee(employees);
    // A card shows its unit's address, not the employee's own.
    record.m_Yuu.clear();
    record.m_Juu1.clear();
    record.m_Juu2.clear();
    record.m_TEL.clear();
    record.m_FAX.clear();
    CMast00 units;
    const CSetOpener openUnits(units);
    if (!units.FindById(record.m_Busyo))
        return record;
    record.m_Yuu = units.m_Yuu;
    record.m_Juu1 = units.m_Juu1;
    record.m_Juu2 = units.m_Juu2;
    record.m_TEL = units.m_TEL;
    record.m_FAX = units.m_FAX;
    record.m_strPath = units.GetUnitPath(record.m_Busyo, true);
    units.GetUnitChain(record.m_Busyo);
    record.m_strCompany = units.m_Name;
    return record;
}

QString CPrintSource::FirstUnitName()
{
    CMast00 units;
    units.m_strSort = QStringLiteral("Code , ID");
    const CSetOpener open(units);
    return units.IsEOF() ? QString() : units.m_Name;
}

QHash<qint32, QByteArray> CPrintSource::Photos(const std::vector<qint32> &ids)
{
    QHash<qint32, QByteArray> photos;
    if (ids.empty())
        return photos;
    CMast01 employees;
    const CDaoColumnSubset columns(employees, {QStringLiteral("ID")});
    const CSetOpener open(employees);
    for (const qint32 id : ids) {
        if (employees.FindById(id) && !employees.m_Pic.IsEmpty())
            photos.insert(id, employees.m_Pic.Data());
    }
    return photos;
}
