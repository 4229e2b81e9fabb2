#include "chart/staffsnapshot.h"

#include "dates/eracalendar.h"
#include "register/employees.h"
#include "register/registerasof.h"
#include "register/units.h"

#include <QSet>
#include <algorithm>

CStaffSnapshot::CStaffSnapshot(const QList<SUnitRow> &units, const QList<SStaffFact> &facts, const QDate &day)
    : m_units(units)
    , m_everyone(facts)
    , m_day(day)
{
    for (qsizetype i = 0; i < m_units.size(); ++i)
        m_index.insert(m_units.at(i).nID, i);
    for (const SUnitRow &unit : std::as_const(m_units)) {
        // A unit whose parent is gone would hang nowhere: it stands among the companies.
        const qint32 parent = unit.nParent != 0 && m_index.contains(unit.nParent) ? unit.nParent : 0;
        m_children[parent].append(unit.nID);
    }
    for (QList<qint32> &children : m_children) {
        std::sort(children.begin(), children.end(), [this](qint32 a, qint32 b) {
            const SUnitRow &x = m_units.at(m_index.value(a));
            const SUnitRow &y = m_units.at(m_index.value(b));
            return x.nCode != y.nCode ? x.nCode < y.nCode : x.nID < y.nID;
        });
    }
    for (SStaffFact &fact : m_everyone) {
        if (!m_index.contains(fact.nUnit))
            fact.nUnit = 0;
    }
    for (const SStaffFact &fact : std::as_const(m_everyone)) {
        if (fact.InServiceOn(m_day)) {
            m_staff.append(fact);
            ++m_own[fact.nUnit];
        }
    }
}

CStaffSnapshot CStaffSnapshot::Read(const CRegisterAsOf *asOf)
{
    if (!asOf) {
        CStaffSnapshot snapshot(CUnits::All(), CEmployees::Facts(), QDate::currentDate());
        snapshot.SetToday(true);
        return snapshot;
    }
    QList<SUnitRow> units;
    for (const SUnitFields &unit : asOf->Units())
        units.append({unit.nID, unit.nParent, unit.nCode, unit.strName});
    CStaffSnapshot snapshot(units, asOf->Facts(), asOf->Day());
    snapshot.SetToday(false);
    return snapshot;
}

QString CStaffSnapshot::AsOfText() const
{
    return m_bToday ? QString() : QStringLiteral("基準日 %1 現在").arg(CEraCalendar::LongText(m_day));
}

const SUnitRow *CStaffSnapshot::Unit(qint32 id) const
{
    const auto found = m_index.constFind(id);
    return found == m_index.cend() ? nullptr : &m_units.at(*found);
}

QList<SUnitRow> CStaffSnapshot::Children(qint32 parentId) const
{
    QList<SUnitRow> rows;
    for (qint32 id : m_children.value(parentId))
        rows.append(m_units.at(m_index.value(id)));
    return rows;
}

QList<qint32> CStaffSnapshot::Subtree(qint32 unitId) const
{
    QList<qint32> units;
    if (unitId != 0) {
        if (!m_index.contains(unitId))
            return units;
        units.append(unitId);
    }
    // Breadth first, so parents come before their children; seen guards a damaged file's loop.
    QSet<qint32> seen(units.cbegin(), units.cend());
    QList<qint32> level = {unitId};
    while (!level.isEmpty()) {
        QList<qint32> next;
        for (qint32 parent : std::as_const(level)) {
            for (qint32 child : m_children.value(parent)) {
                if (!seen.contains(child)) {
                    seen.insert(child);
                    units.append(child);
                    next.append(child);
                }
            }
        }
        level = next;
    }
    return units;
}

qint32 CStaffSnapshot::Find(const QString &slashPath) const
{
    qint32 parent = 0;
    for (const QString &part : slashPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        qint32 found = 0;
        for (qint32 child : m_children.value(parent)) {
            if (m_units.at(m_index.value(child)).strName.trimmed() == name) {
                found = child;
                break;
            }
        }
        if (found == 0)
            return 0;
        parent = found;
    }
    return parent;
}

QString CStaffSnapshot::SlashPath(qint32 unitId) const
{
    QStringList names;
    QSet<qint32> seen;
    for (const SUnitRow *unit = Unit(unitId); unit && !seen.contains(unit->nID); unit = Unit(unit->nParent)) {
        seen.insert(unit->nID);
        names.prepend(unit->strName);
    }
    return names.join(QLatin1Char('/'));
}

namespace {
QList<SStaffFact> Under(const QList<SStaffFact> &facts, const QList<qint32> &units, bool all)
{
    if (all)
        return facts;
    const QSet<qint32> inside(units.cbegin(), units.cend());
    QList<SStaffFact> kept;
    for (const SStaffFact &fact : facts) {
        if (inside.contains(fact.nUnit))
            kept.append(fact);
    }
    return kept;
}
} // namespace

QList<SStaffFact> CStaffSnapshot::StaffUnder(qint32 unitId) const
{
    return Under(m_staff, Subtree(unitId), unitId == 0);
}

QList<SStaffFact> CStaffSnapshot::EveryoneUnder(qint32 unitId) const
{
    return Under(m_everyone, Subtree(unitId), unitId == 0);
}

int CStaffSnapshot::Total(qint32 unitId) const
{
    const auto kept = m_total.constFind(unitId);
    if (kept != m_total.cend())
        return *kept;
    // Filled for every unit in one walk from the leaves up.
    const QList<qint32> order = Subtree(0);
    for (auto unit = order.crbegin(); unit != order.crend(); ++unit) {
        int total = m_own.value(*unit);
        for (qint32 child : m_children.value(*unit))
            total += m_total.value(child);
        m_total.insert(*unit, total);
    }
    m_total.insert(0, int(m_staff.size()));
    return m_total.value(unitId);
}
