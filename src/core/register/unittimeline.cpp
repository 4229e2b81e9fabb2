#include "register/unittimeline.h"

#include "register/historywriter.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"

#include <QSet>
#include <algorithm>

namespace {
SUnitFields FromValues(qint32 id, const CHistoryWriter::SValues &values)
{
    return {id,           values.at(0).toInt(), values.at(1).toInt(), values.at(2), values.at(3),
            values.at(4), values.at(5),         values.at(6),         values.at(7)};
}
} // namespace

CUnitTimeline::CUnitTimeline(CDaoDatabase &db, qint32 sinceDay)
{
    {
        CDaoStatement q(db, QStringLiteral("SELECT ID, Parent, Code, Name, Yuu, Juu1, Juu2, TEL, FAX FROM Mast00"));
        q.Exec();
        while (q.Next()) {
            const auto id = qint32(q.Int64(0));
            m_units.insert(id, {id, qint32(q.Int64(1)), qint32(q.Int64(2)), q.Text(3), q.Text(4), q.Text(5), q.Text(6),
                                q.Text(7), q.Text(8)});
        }
        q.Finish();
    }
    if (!CChangeLog::Exists(db))
        return;
    // Put in order here: asked to order them, an engine may walk the whole table by Seq.
    CDaoStatement q(db, QStringLiteral("SELECT Seq, Eff, Kind, Target, Field, OldUnit, NewUnit, OldVal, NewVal, Shot "
                                       "FROM ChangeLog WHERE Kind >= ? AND Eff > ?"));
    q.Bind(0, int(CChangeLog::kUnitAdded));
    q.Bind(1, sinceDay);
    q.Exec();
    while (q.Next()) {
        m_changes.append({q.Int64(0), qint32(q.Int64(1)), int(q.Int64(2)), qint32(q.Int64(3)), q.Text(4),
                          qint32(q.Int64(5)), qint32(q.Int64(6)), q.Text(7), q.Text(8), q.Text(9)});
    }
    q.Finish();
    std::sort(m_changes.begin(), m_changes.end(), [](const SChange &a, const SChange &b) { return a.seq < b.seq; });
    m_nApplied = m_changes.size();
}

void CUnitTimeline::MoveTo(qint64 seq)
{
    while (m_nApplied > 0 && m_changes.at(m_nApplied - 1).seq >= seq)
        Undo(m_changes.at(--m_nApplied));
    while (m_nApplied < m_changes.size() && m_changes.at(m_nApplied).seq < seq)
        Redo(m_changes.at(m_nApplied++));
}

void CUnitTimeline::MoveToEndOf(qint32 day)
{
    for (const SChange &change : m_changes) {
        if (change.day > day) {
            MoveTo(change.seq);
            return;
        }
    }
    MoveTo(m_changes.isEmpty() ? 0 : m_changes.last().seq + 1);
}

void CUnitTimeline::SetField(SUnitFields &unit, const QString &field, const QString &value)
{
    if (field == QLatin1String("Code"))
        unit.nCode = value.toInt();
    else if (field == QLatin1String("Name"))
        unit.strName = value;
    else if (field == QLatin1String("Yuu"))
        unit.strYuu = value;
    else if (field == QLatin1String("Juu1"))
        unit.strJuu1 = value;
    else if (field == QLatin1String("Juu2"))
        unit.strJuu2 = value;
    else if (field == QLatin1String("TEL"))
        unit.strTel = value;
    else if (field == QLatin1String("FAX"))
        unit.strFax = value;
}

void CUnitTimeline::Undo(const SChange &change)
{
    switch (change.kind) {
    case CChangeLog::kUnitAdded:
        m_units.remove(change.target);
        break;
    case CChangeLog::kUnitDeleted:
        m_units.insert(change.target, FromValues(change.target, CHistoryWriter::Unpack(change.shot, 8)));
        break;
    case CChangeLog::kUnitMoved:
        if (auto unit = m_units.find(change.target); unit != m_units.end())
            unit->nParent = change.oldUnit;
        break;
    case CChangeLog::kUnitEdited:
        if (auto unit = m_units.find(change.target); unit != m_units.end())
            SetField(*unit, change.field, change.oldValue);
        break;
    default:
        break;
    }
}

void CUnitTimeline::Redo(const SChange &change)
{
    switch (change.kind) {
    case CChangeLog::kUnitAdded:
        m_units.insert(change.target, FromValues(change.target, CHistoryWriter::Unpack(change.shot, 8)));
        break;
    case CChangeLog::kUnitDeleted:
        m_units.remove(change.target);
        break;
    case CChangeLog::kUnitMoved:
        if (auto unit = m_units.find(change.target); unit != m_units.end())
            unit->nParent = change.newUnit;
        break;
    case CChangeLog::kUnitEdited:
        if (auto unit = m_units.find(change.target); unit != m_units.end())
            SetField(*unit, change.field, change.newValue);
        break;
    default:
        break;
    }
}

QList<qint32> CUnitTimeline::Chain(qint32 id) const
{
    QList<qint32> chain;
    QSet<qint32> seen; // a damaged file's loop of parents is walked once
    for (auto unit = m_units.constFind(id); unit != m_units.cend() && !seen.contains(unit->nID);
         unit = m_units.constFind(unit->nParent)) {
        seen.insert(unit->nID);
        chain.append(unit->nID);
    }
    return chain;
}

QString CUnitTimeline::SlashPath(qint32 id) const
{
    QStringList names;
    for (qint32 unit : Chain(id))
        names.prepend(m_units.value(unit).strName);
    return names.join(QLatin1Char('/'));
}

QString CUnitTimeline::Path(qint32 id, bool skipCompany) const
{
    QString path;
    for (qint32 unit : Chain(id)) {
        const SUnitFields &fields = m_units[unit];
        if (skipCompany && fields.nParent == 0 && unit != id)
            continue;
        path.prepend(fields.strName + QLatin1Char('\n'));
    }
    return path;
}
