#include "register/history.h"

#include "register/register.h"
#include "register/unittimeline.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"

#include <algorithm>

namespace {
const QString kSelect = QStringLiteral(
    "SELECT Seq, Stamp, Eff, Who, Kind, Target, Field, OldUnit, NewUnit, OldVal, NewVal FROM ChangeLog ");

SHistoryEntry::EWhat WhatOf(int kind)
{
    using EWhat = SHistoryEntry::EWhat;
    switch (kind) {
    case CChangeLog::kEmployeeAdded:
        return EWhat::employeeAdded;
    case CChangeLog::kEmployeeDeleted:
        return EWhat::employeeDeleted;
    case CChangeLog::kEmployeeMoved:
        return EWhat::employeeMoved;
    case CChangeLog::kUnitAdded:
        return EWhat::unitAdded;
    case CChangeLog::kUnitDeleted:
        return EWhat::unitDeleted;
    case CChangeLog::kUnitMoved:
        return EWhat::unitMoved;
    case CChangeLog::kUnitEdited:
        return EWhat::unitEdited;
    default:
        return EWhat::employeeEdited;
    }
}

QString Shown(const QString &field, const QString &value)
{
    if (field == QLatin1String("Sex") && !value.isNull())
        return value == QLatin1String("1") ? QStringLiteral("女") : QStringLiteral("男");
    return value;
}

SHistoryEntry EntryOf(const CDaoStatement &q)
{
    SHistoryEntry entry;
    entry.nSeq = q.Int64(0);
    entry.when = QDateTime::fromString(q.Text(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const auto day = qint32(q.Int64(2));
    entry.effective = QDate(day / 10000, day / 100 % 100, day % 100);
    entry.strWho = q.Text(3);
    entry.what = WhatOf(int(q.Int64(4)));
    entry.nTarget = qint32(q.Int64(5));
    entry.strField = q.Text(6);
    entry.nOldUnit = qMax(0, qint32(q.Int64(7)));
    entry.nNewUnit = qMax(0, qint32(q.Int64(8)));
    entry.strOld = Shown(entry.strField, q.Text(9));
    entry.strNew = Shown(entry.strField, q.Text(10));
    return entry;
}

// A move names its units by their paths as they stood when it was made.
void NameUnits(SHistoryEntry &entry, CUnitTimeline &units)
{
    using EWhat = SHistoryEntry::EWhat;
    if (entry.what != EWhat::employeeMoved && entry.what != EWhat::unitMoved)
        return;
    units.MoveTo(entry.nSeq);
    entry.strOld = units.SlashPath(entry.nOldUnit);
    entry.strNew = units.SlashPath(entry.nNewUnit);
}

QList<SHistoryEntry> Of(qint32 target, bool unit)
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    if (!CChangeLog::Exists(*db))
        return {};
    QList<SHistoryEntry> entries;
    {
        // An employee's entries are found by one walk of the table (Kind kept off its
        // index): an index by employee would make every bulk move dearer.
        CDaoStatement q(*db, kSelect
                                 + QStringLiteral("WHERE Target = ? AND %1")
                                       .arg(unit ? QStringLiteral("Kind >= ?") : QStringLiteral("+Kind < ?")));
        q.Bind(0, target);
        q.Bind(1, int(CChangeLog::kUnitAdded));
        q.Exec();
        while (q.Next())
            entries.append(EntryOf(q));
        q.Finish();
    }
    // Put in order here: asked to order them, an engine may walk the whole table by Seq.
    std::sort(entries.begin(), entries.end(),
              [](const SHistoryEntry &a, const SHistoryEntry &b) { return a.nSeq > b.nSeq; });
    CUnitTimeline units(*db);
    for (SHistoryEntry &entry : entries)
        NameUnits(entry, units);
    return entries;
}
} // namespace

QList<SHistoryEntry> CHistory::OfEmployee(qint32 employeeId)
{
    return Of(employeeId, false);
}

QList<SHistoryEntry> CHistory::OfUnit(qint32 unitId)
{
    return Of(unitId, true);
}

void CHistory::ForEach(CDaoDatabase &db, const std::function<void(const SHistoryEntry &)> &visit)
{
    if (!CChangeLog::Exists(db))
        return;
    CUnitTimeline units(db);
    CDaoStatement q(db, kSelect + QStringLiteral("ORDER BY Seq"));
    q.Exec();
    while (q.Next()) {
        SHistoryEntry entry = EntryOf(q);
        NameUnits(entry, units);
        visit(entry);
    }
    q.Finish();
}

qint64 CHistory::Count()
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    if (!CChangeLog::Exists(*db))
        return 0;
    CDaoStatement q(*db, QStringLiteral("SELECT count(*) FROM ChangeLog"));
    q.Exec();
    const qint64 count = q.Next() ? q.Int64(0) : 0;
    q.Finish();
    return count;
}
