#include "register/registerasof.h"

#include "register/employees.h"
#include "register/historywriter.h"
#include "register/idchunks.h"
#include "register/register.h"
#include "register/unittimeline.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"

#include <QSet>
#include <algorithm>
#include <vector>

namespace {
using SValues = CHistoryWriter::SValues;
using SSnapshot = CHistoryWriter::SSnapshot;

qint32 DayOf(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

int Column(const char *name)
{
    return int(CHistoryWriter::EmployeeColumns().indexOf(QLatin1String(name)));
}

// Runs sql ("%1": the chunk's IDs) once per chunk, binding after the IDs the values of tail.
void ForEachChunk(CDaoDatabase &db, const QString &sql, const QList<qint32> &ids, const QVariantList &tail,
                  const std::function<void(const CDaoStatement &)> &onRow)
{
    for (qsizetype from = 0; from < ids.size(); from += CIdChunks::kChunk) {
        const QList<qint32> chunk = ids.mid(from, CIdChunks::kChunk);
        QStringList marks;
        for (qsizetype i = 0; i < chunk.size(); ++i)
            marks << QStringLiteral("?");
        CDaoStatement q(db, sql.arg(marks.join(QStringLiteral(", "))));
        int index = 0;
        for (qint32 id : chunk)
            q.Bind(index++, id);
        for (const QVariant &value : tail)
            q.Bind(index++, value);
        q.Exec();
        while (q.Next())
            onRow(q);
        q.Finish();
    }
}

const QString kPlaced = QStringLiteral("Kind IN (%1, %2, %3)")
                            .arg(CChangeLog::kEmployeeAdded)
                            .arg(CChangeLog::kEmployeeDeleted)
                            .arg(CChangeLog::kEmployeeMoved);

} // namespace

// What changed since the end of the day, read once: where each employee placed
// elsewhere since then was, and the values of the fields edited since, latest edit first.
struct SAsOfPast {
    struct SEdit {
        qint32 target;
        qsizetype column;
        qint64 seq;
        QString old; // the value before
    };
    QHash<qint32, qint32> placedIn;         // employee -> their unit then (CChangeLog::kNowhere: not yet added)
    QHash<qint32, QList<qint32>> unitsHeld; // the same by unit
    // By employee, latest first; one flat list: a hash of lists cost more to build and free than the reads.
    std::vector<SEdit> edits;

    template <typename OnEdit>
    void ForEachEdit(qint32 id, OnEdit onEdit) const
    {
        auto edit = std::lower_bound(edits.begin(), edits.end(), id,
                                     [](const SEdit &e, qint32 target) { return e.target < target; });
        for (; edit != edits.end() && edit->target == id; ++edit)
            onEdit(edit->column, edit->old);
    }
};

namespace {
CDateValue DateOf(const QString &text)
{
    return text.isNull() ? CDateValue() : CDateValue(CHistoryWriter::IsoDate(text));
}

SEmployeeRow RowOf(qint32 id, const SValues &values)
{
    static const int sex = Column("Sex"), name = Column("Name"), code = Column("Code"), busyo = Column("Busyo"),
                     kana = Column("Kana"), indat = Column("Indat"), tel = Column("TEL");
    return {id,
            values.at(sex) == QLatin1String("1"),
            values.at(name),
            values.at(code).toInt(),
            values.at(busyo).toInt(),
            values.at(kana),
            DateOf(values.at(indat)),
            values.at(tel),
            {}};
}

QList<SEmployeeRow> RowsOf(const SSnapshot &rows)
{
    QList<SEmployeeRow> listed;
    listed.reserve(rows.size());
    for (auto row = rows.cbegin(); row != rows.cend(); ++row)
        listed.append(RowOf(row.key(), *row));
    return listed;
}

// A field a list shows put back to its value before an edit; the others are not shown.
void Restore(SEmployeeRow &row, qsizetype column, const QString &old)
{
    static const qsizetype sex = Column("Sex"), name = Column("Name"), code = Column("Code"), kana = Column("Kana"),
                           indat = Column("Indat"), tel = Column("TEL");
    if (column == sex)
        row.bFemale = old == QLatin1String("1");
    else if (column == name)
        row.strName = old;
    else if (column == code)
        row.nCode = old.toInt();
    else if (column == kana)
        row.strKana = old;
    else if (column == indat)
        row.indat = DateOf(old);
    else if (column == tel)
        row.strTel = old;
}

// Read by the day's index: entries of a later day lie together, whoever they name.
std::shared_ptr<SAsOfPast> ReadPast(CDaoDatabase &db, qint32 day)
{
    auto past = std::make_shared<SAsOfPast>();
    struct SMove {
        qint64 seq;
        qint32 day;
        qint32 target;
        qint32 oldUnit;
    };
    std::vector<SMove> moves;
    {
        CDaoStatement q(db, QStringLiteral("SELECT Seq, Eff, Target, OldUnit FROM ChangeLog WHERE ") + kPlaced
                                + QStringLiteral(" AND Eff > ?"));
        q.Bind(0, day);
        q.Exec();
        while (q.Next())
            moves.push_back({q.Int64(0), qint32(q.Int64(1)), qint32(q.Int64(2)), qint32(q.Int64(3))});
        q.Finish();
    }
    // The first change after the day names where the employee was.
    std::sort(moves.begin(), moves.end(),
              [](const SMove &a, const SMove &b) { return a.day != b.day ? a.day < b.day : a.seq < b.seq; });
    for (const SMove &move : moves) {
        if (!past->placedIn.contains(move.target)) {
            past->placedIn.insert(move.target, move.oldUnit);
            past->unitsHeld[move.oldUnit].append(move.target);
        }
    }
    std::vector<SAsOfPast::SEdit> &edits = past->edits;
    {
        CDaoStatement q(db, QStringLiteral("SELECT Seq, Target, Field, OldVal FROM ChangeLog WHERE Kind = ? AND Eff > ?"));
        q.Bind(0, int(CChangeLog::kEmployeeEdited));
        q.Bind(1, day);
        q.Exec();
        while (q.Next()) {
            const qsizetype column = CHistoryWriter::EmployeeColumns().indexOf(q.Text(2));
            if (column >= 0)
                edits.push_back({qint32(q.Int64(1)), column, q.Int64(0), q.Text(3)});
        }
        q.Finish();
    }
    // Applied latest first, the earliest edit after the day gives the value then.
    std::sort(edits.begin(), edits.end(), [](const SAsOfPast::SEdit &a, const SAsOfPast::SEdit &b) {
        return a.target != b.target ? a.target < b.target : a.seq > b.seq;
    });
    return past;
}

// The employees of a unit at the end of a day (unit 0: of none of units), with
// their values then: those not placed elsewhere since as they are now, the others
// where the first change after the day says they were.
class CEmployeesAt final
{
public:
    CEmployeesAt(CDaoDatabase &db, const SAsOfPast &past, const QHash<qint32, SUnitFields> &units)
        : m_db(db)
        , m_past(past)
        , m_units(units)
    {
    }

    SSnapshot Of(qint32 unitId) const
    {
        SSnapshot rows = Unmoved(unitId);
        rows.insert(Moved(unitId));
        ApplyEdits(rows);
        return rows;
    }

    // The rows a list shows. Those in the unit now and not placed elsewhere since are
    // most of a big unit: read straight into rows, without the history's text form.
    QList<SEmployeeRow> Listed(qint32 unitId) const
    {
        if (unitId == 0)
            return RowsOf(Of(0));
        QList<SEmployeeRow> rows;
        ForEachStayed(unitId, CEmployees::RowColumns(), [this, &rows](qint32 id, const CDaoStatement &q) {
            rows.append(CEmployees::RowFrom(q));
            m_past.ForEachEdit(id, [&rows](qsizetype column, const QString &old) { Restore(rows.last(), column, old); });
        });
        SSnapshot moved = Moved(unitId);
        ApplyEdits(moved);
        rows.append(RowsOf(moved));
        return rows;
    }

    // One employee's values at the end of the day; none when not yet added then.
    std::optional<SValues> One(qint32 id) const
    {
        const auto placed = m_past.placedIn.constFind(id);
        if (placed != m_past.placedIn.cend() && *placed == CChangeLog::kNowhere)
            return std::nullopt;
        SSnapshot rows = CHistoryWriter::ReadEmployees(m_db, {id});
        // As the delete kept them only when deleted since: one deleted before was gone then.
        if (placed != m_past.placedIn.cend())
            AddDeleted({id}, rows);
        const auto row = rows.find(id);
        if (row == rows.end())
            return std::nullopt;
        if (placed != m_past.placedIn.cend())
            (*row)[Column("Busyo")] = QString::number(*placed);
        ApplyEdits(rows);
        return *row;
    }

private:
    // Those in the unit then who were placed elsewhere since, as they are now (or
    // as their delete kept them), in the unit.
    SSnapshot Moved(qint32 unitId) const
    {
        QHash<qint32, qint32> moved;
        if (unitId != 0) {
            for (qint32 id : m_past.unitsHeld.value(unitId))
                moved.insert(id, unitId);
        } else {
            for (auto placed = m_past.placedIn.cbegin(); placed != m_past.placedIn.cend(); ++placed) {
                if (placed.value() != CChangeLog::kNowhere && Belongs(placed.value(), 0))
                    moved.insert(placed.key(), placed.value());
            }
        }
        SSnapshot rows = CHistoryWriter::ReadEmployees(m_db, moved.keys());
        AddDeleted(moved.keys(), rows);
        const int busyo = Column("Busyo");
        for (auto row = rows.begin(); row != rows.end(); ++row)
            (*row)[busyo] = QString::number(moved.value(row.key()));
        return rows;
    }

    // The values before the edits made since.
    void ApplyEdits(SSnapshot &rows) const
    {
        for (auto row = rows.begin(); row != rows.end(); ++row)
            m_past.ForEachEdit(row.key(), [&row](qsizetype column, const QString &old) { (*row)[column] = old; });
    }

    // onRow for each employee in the unit now who was not placed elsewhere since,
    // the statement reading columns, ID first.
    void ForEachStayed(qint32 unitId, const QString &columns,
                       const std::function<void(qint32, const CDaoStatement &)> &onRow) const
    {
        CDaoStatement q(m_db, QStringLiteral("SELECT %1 FROM Mast01 WHERE Busyo = ?").arg(columns));
        q.Bind(0, unitId);
        q.Exec();
        while (q.Next()) {
            const auto id = qint32(q.Int64(0));
            if (!m_past.placedIn.contains(id))
                onRow(id, q);
        }
        q.Finish();
    }

    bool Belongs(qint32 busyo, qint32 unitId) const
    {
        return unitId == 0 ? busyo == 0 || !m_units.contains(busyo) : busyo == unitId;
    }

    SSnapshot Unmoved(qint32 unitId) const
    {
        SSnapshot rows;
        if (unitId != 0) {
            const QStringList &columns = CHistoryWriter::EmployeeColumns();
            ForEachStayed(unitId, QStringLiteral("ID, ") + columns.join(QStringLiteral(", ")),
                          [&columns, &rows](qint32 id, const CDaoStatement &q) {
                              SValues values;
                              values.reserve(columns.size());
                              for (qsizetype i = 0; i < columns.size(); ++i)
                                  values << CHistoryWriter::Text(columns.at(i), q.Value(int(i) + 1));
                              rows.insert(id, values);
                          });
            return rows;
        }
        // Without a unit: those whose unit was not there that day, which only the units read tell.
        QList<qint32> ids;
        CDaoStatement q(m_db, QStringLiteral("SELECT ID, Busyo FROM Mast01"));
        q.Exec();
        while (q.Next()) {
            const auto id = qint32(q.Int64(0));
            if (!m_past.placedIn.contains(id) && Belongs(qint32(q.Int64(1)), 0))
                ids << id;
        }
        q.Finish();
        return CHistoryWriter::ReadEmployees(m_db, ids);
    }

    // Employees deleted since: their rows as the delete kept them.
    void AddDeleted(const QList<qint32> &ids, SSnapshot &rows) const
    {
        QList<qint32> gone;
        for (qint32 id : ids) {
            if (!rows.contains(id))
                gone << id;
        }
        const qsizetype count = CHistoryWriter::EmployeeColumns().size();
        ForEachChunk(m_db, QStringLiteral("SELECT Target, Shot FROM ChangeLog WHERE Target IN (%1) AND Kind = ?"), gone,
                     {int(CChangeLog::kEmployeeDeleted)}, [&rows, count](const CDaoStatement &q) {
                         rows.insert(qint32(q.Int64(0)), CHistoryWriter::Unpack(q.Text(1), count));
                     });
    }

    CDaoDatabase &m_db;
    const SAsOfPast &m_past;
    const QHash<qint32, SUnitFields> &m_units;
};

CPrintRecord RecordOf(qint32 id, const SValues &values, const QString &path)
{
    CPrintRecord record;
    record.m_ID = id;
    record.m_Code = values.at(Column("Code")).toInt();
    record.m_Busyo = values.at(Column("Busyo")).toInt();
    record.m_Sex = values.at(Column("Sex")) == QLatin1String("1");
    record.m_Name = values.at(Column("Name"));
    record.m_Kana = values.at(Column("Kana"));
    record.m_Sdate = DateOf(values.at(Column("Sdate")));
    record.m_Indat = DateOf(values.at(Column("Indat")));
    record.m_Outdat = DateOf(values.at(Column("Outdat")));
    record.m_Yuu = values.at(Column("Yuu"));
    record.m_Juu1 = values.at(Column("Juu1"));
    record.m_Juu2 = values.at(Column("Juu2"));
    record.m_TEL = values.at(Column("TEL"));
    record.m_FAX = values.at(Column("FAX"));
    record.m_strPath = path;
    return record;
}

std::vector<CPrintRecord> RecordsOf(const SSnapshot &rows, const QString &path)
{
    std::vector<CPrintRecord> records;
    records.reserve(size_t(rows.size()));
    for (auto row = rows.cbegin(); row != rows.cend(); ++row)
        records.push_back(RecordOf(row.key(), *row, path));
    std::sort(records.begin(), records.end(), [](const CPrintRecord &a, const CPrintRecord &b) { return a.m_ID < b.m_ID; });
    return records;
}
} // namespace

CRegisterAsOf::CRegisterAsOf(const QDate &day)
    : m_day(day)
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    m_bKept = CChangeLog::Exists(*db);
    CUnitTimeline timeline(*db, DayOf(day));
    timeline.MoveToEndOf(DayOf(day));
    m_units = timeline.Units();
}

const SAsOfPast &CRegisterAsOf::Past(CDaoDatabase &db) const
{
    if (!m_pPast)
        m_pPast = ReadPast(db, DayOf(m_day));
    return *m_pPast;
}

QList<SUnitRow> CRegisterAsOf::Children(qint32 parentId) const
{
    QList<SUnitRow> rows;
    for (const SUnitFields &unit : m_units) {
        if (unit.nParent == parentId)
            rows.append({unit.nID, unit.nParent, unit.nCode, unit.strName});
    }
    std::sort(rows.begin(), rows.end(),
              [](const SUnitRow &a, const SUnitRow &b) { return a.nCode != b.nCode ? a.nCode < b.nCode : a.nID < b.nID; });
    return rows;
}

std::optional<SUnitFields> CRegisterAsOf::Fields(qint32 unitId) const
{
    const auto unit = m_units.constFind(unitId);
    if (unit == m_units.cend())
        return std::nullopt;
    return *unit;
}

QList<qint32> CRegisterAsOf::Chain(qint32 unitId) const
{
    QList<qint32> chain;
    QSet<qint32> seen;
    for (auto unit = m_units.constFind(unitId); unit != m_units.cend() && !seen.contains(unit->nID);
         unit = m_units.constFind(unit->nParent)) {
        seen.insert(unit->nID);
        chain.append(unit->nID);
    }
    return chain;
}

QString CRegisterAsOf::Path(qint32 unitId, bool skipCompany) const
{
    QString path;
    for (qint32 unit : Chain(unitId)) {
        const SUnitFields &fields = m_units[unit];
        if (skipCompany && fields.nParent == 0 && unit != unitId)
            continue;
        path.prepend(fields.strName + QLatin1Char('\n'));
    }
    return path;
}

QString CRegisterAsOf::SlashPath(qint32 unitId) const
{
    QStringList names;
    for (qint32 unit : Chain(unitId))
        names.prepend(m_units[unit].strName);
    return names.join(QLatin1Char('/'));
}

QList<SUnitFields> CRegisterAsOf::Units() const
{
    QList<SUnitFields> units = m_units.values();
    std::sort(units.begin(), units.end(), [](const SUnitFields &a, const SUnitFields &b) { return a.nID < b.nID; });
    return units;
}

QList<SStaffFact> CRegisterAsOf::Facts() const
{
    if (!m_bKept)
        return CEmployees::Facts();
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    const CEmployeesAt at(*db, Past(*db), m_units);
    static const int sex = Column("Sex"), birth = Column("Sdate"), joined = Column("Indat"), left = Column("Outdat");
    QList<SStaffFact> facts;
    QList<qint32> units = m_units.keys();
    units.append(0);
    for (qint32 unit : std::as_const(units)) {
        const SSnapshot rows = at.Of(unit);
        for (auto row = rows.cbegin(); row != rows.cend(); ++row)
            facts.append({row.key(), unit, row->at(sex) == QLatin1String("1"), DateOf(row->at(birth)),
                          DateOf(row->at(joined)), DateOf(row->at(left))});
    }
    std::sort(facts.begin(), facts.end(), [](const SStaffFact &a, const SStaffFact &b) { return a.nID < b.nID; });
    return facts;
}

QList<SEmployeeRow> CRegisterAsOf::OfUnit(qint32 unitId, const std::function<void()> &pulse) const
{
    if (!m_bKept)
        return CEmployees::OfUnit(unitId, pulse);
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    QList<SEmployeeRow> rows = CEmployeesAt(*db, Past(*db), m_units).Listed(unitId);
    QHash<qint32, QString> paths;
    for (SEmployeeRow &added : rows) {
        if (added.nBusyo != 0) {
            auto path = paths.find(added.nBusyo);
            if (path == paths.end())
                path = paths.insert(added.nBusyo, SlashPath(added.nBusyo));
            added.strUnitPath = path.value();
        }
        if (pulse)
            pulse();
    }
    std::sort(rows.begin(), rows.end(), [](const SEmployeeRow &a, const SEmployeeRow &b) {
        return a.nCode != b.nCode ? a.nCode < b.nCode : a.nID < b.nID;
    });
    return rows;
}

std::optional<CPrintRecord> CRegisterAsOf::Employee(qint32 employeeId) const
{
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    std::optional<SValues> values;
    if (m_bKept) {
        values = CEmployeesAt(*db, Past(*db), m_units).One(employeeId);
    } else if (const SSnapshot rows = CHistoryWriter::ReadEmployees(*db, {employeeId}); rows.contains(employeeId)) {
        values = rows.value(employeeId);
    }
    if (!values)
        return std::nullopt;
    CPrintRecord record = RecordOf(employeeId, *values, QString());
    record.m_strPath = Path(record.m_Busyo, true);
    return record;
}

std::optional<CPrintRecord> CRegisterAsOf::Card(qint32 employeeId) const
{
    std::optional<CPrintRecord> record = Employee(employeeId);
    if (!record)
        return std::nullopt;
    // A card shows its unit's address then, not the employee's own.
    const SUnitFields unit = m_units.value(record->m_Busyo);
    record->m_Yuu = unit.strYuu;
    record->m_Juu1 = unit.strJuu1;
    record->m_Juu2 = unit.strJuu2;
    record->m_TEL = unit.strTel;
    record->m_FAX = unit.strFax;
    const QList<qint32> chain = Chain(record->m_Busyo);
    record->m_strCompany = chain.isEmpty() ? QString() : m_units.value(chain.last()).strName;
    return record;
}

std::optional<CPrintSource::SCompanyList> CRegisterAsOf::CompanyList(qint32 unitId) const
{
    if (!m_bKept)
        return CPrintSource::CompanyList(unitId);
    const QList<qint32> chain = Chain(unitId);
    if (chain.isEmpty())
        return std::nullopt;
    const SUnitFields &company = m_units[chain.last()];
    CPrintSource::SCompanyList list;
    list.strCompany = company.strName;
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    const CEmployeesAt employees(*db, Past(*db), m_units);
    for (const SUnitFields &unit : Units()) {
        if (unit.nCode != company.nCode)
            continue;
        for (CPrintRecord &record : RecordsOf(employees.Of(unit.nID), Path(unit.nID, true)))
            list.records.push_back(std::move(record));
    }
    std::sort(list.records.begin(), list.records.end(),
              [](const CPrintRecord &a, const CPrintRecord &b) { return a.m_ID < b.m_ID; });
    return list;
}

std::optional<CPrintSource::SUnitList> CRegisterAsOf::UnitList(qint32 unitId) const
{
    if (!m_bKept)
        return CPrintSource::UnitList(unitId);
    if (!Exists(unitId))
        return std::nullopt;
    auto heading = [this](qint32 unit) {
        return Path(unit, false).split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral(" / "));
    };
    CPrintSource::SUnitList list;
    list.strUnit = heading(unitId);
    // The unit and those under it, each right after the one above it.
    std::vector<std::pair<qint32, int>> order;
    QSet<qint32> seen;
    std::function<void(qint32, int)> walk = [&](qint32 unit, int topUnit) {
        if (seen.contains(unit))
            return;
        seen.insert(unit);
        order.emplace_back(unit, topUnit);
        const QList<SUnitRow> children = Children(unit);
        for (qsizetype i = 0; i < children.size(); ++i)
            walk(children[i].nID, topUnit == 0 ? int(i) + 1 : topUnit);
    };
    walk(unitId, 0);
    const std::shared_ptr<CDaoDatabase> db = CRegister::Connection();
    const CEmployeesAt employees(*db, Past(*db), m_units);
    for (const auto &[unit, topUnit] : order) {
        CPrintSource::SUnitGroup group;
        group.nUnit = unit;
        group.nTopUnit = topUnit;
        group.records = RecordsOf(employees.Of(unit), Path(unit, true));
        if (group.records.empty())
            continue;
        group.strHeading = heading(unit);
        list.groups.push_back(std::move(group));
    }
    return list;
}
