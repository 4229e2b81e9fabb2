#include "register/historywriter.h"

#include "dates/datevalue.h"
#include "register/idchunks.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <memory>

namespace {
// Entries written by one statement: a server then answers once per fifty.
constexpr int kEntriesPerInsert = 50;
constexpr int kEntryColumns = 11;

const QString kInsertHead = QStringLiteral(
    "INSERT INTO ChangeLog (Stamp, Eff, Who, Kind, Target, Field, OldUnit, NewUnit, OldVal, NewVal, Shot) ");
// The values a statement that reads the rows binds first, typed for the server.
const QString kLeadSelect = QStringLiteral("SELECT CAST(? AS TEXT), CAST(? AS INTEGER), CAST(? AS TEXT), ");

QString InsertSql(int rows)
{
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return kInsertHead + QStringLiteral("VALUES ") + values.join(QStringLiteral(", "));
}

QString Select(const QStringList &columns, const QString &table)
{
    return QStringLiteral("SELECT ID, %1 FROM %2").arg(columns.join(QStringLiteral(", ")), table);
}

CHistoryWriter::SValues ValuesOf(const CDaoStatement &q, const QStringList &columns)
{
    CHistoryWriter::SValues values;
    values.reserve(columns.size());
    for (qsizetype i = 0; i < columns.size(); ++i)
        values << CHistoryWriter::Text(columns.at(i), q.Value(int(i) + 1));
    return values;
}

CHistoryWriter::SSnapshot ReadChunked(CDaoDatabase &db, const QStringList &columns, const QString &table,
                                      const QList<qint32> &ids)
{
    CHistoryWriter::SSnapshot rows;
    if (ids.isEmpty())
        return rows;
    rows.reserve(ids.size());
    CIdChunks::ForEachRow(
        db, Select(columns, table) + QStringLiteral(" WHERE ID IN (%2)"), CIdChunks::Unique(ids),
        [&rows, &columns](const CDaoStatement &q) { rows.insert(qint32(q.Int64(0)), ValuesOf(q, columns)); });
    return rows;
}

qint32 Day(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QVariant Unit(const QString &text)
{
    return text.isNull() ? QVariant(0) : QVariant(text.toInt());
}

// Through the engine's own statement: Qt's driver looks each "?" of a chunk up by
// name, which grows with the square of the chunk and doubled a bulk move's time.
void Run(CDaoDatabase &db, const QList<CDaoDatabase::SBoundStatement> &statements)
{
    // Every write of a kind runs the same texts: each is prepared once per connection.
    for (const auto &[sql, values] : statements)
        db.RunBound(sql, values);
    db.NoteWrite();
}

} // namespace

CHistoryWriter::CHistoryWriter(CDaoDatabase &db, const QDate &effective)
    : m_db(db)
{
    const QDateTime now = QDateTime::currentDateTime();
    m_strStamp = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_nEffective = Day(effective.isValid() ? effective : now.date());
}

const QStringList &CHistoryWriter::EmployeeColumns()
{
    return CChangeLog::EmployeeColumns();
}

const QStringList &CHistoryWriter::UnitColumns()
{
    return CChangeLog::UnitColumns();
}

CHistoryWriter::SSnapshot CHistoryWriter::ReadEmployees(CDaoDatabase &db, const QList<qint32> &ids)
{
    return ReadChunked(db, EmployeeColumns(), QStringLiteral("Mast01"), ids);
}

CHistoryWriter::SSnapshot CHistoryWriter::ReadAllEmployees(CDaoDatabase &db)
{
    SSnapshot rows;
    CDaoStatement q(db, Select(EmployeeColumns(), QStringLiteral("Mast01")));
    q.Exec();
    while (q.Next())
        rows.insert(qint32(q.Int64(0)), ValuesOf(q, EmployeeColumns()));
    q.Finish();
    return rows;
}

CHistoryWriter::SSnapshot CHistoryWriter::ReadUnits(CDaoDatabase &db, const QList<qint32> &ids)
{
    return ReadChunked(db, UnitColumns(), QStringLiteral("Mast00"), ids);
}

QString CHistoryWriter::Text(const QString &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (column == QLatin1String("Sdate") || column == QLatin1String("Indat") || column == QLatin1String("Outdat")) {
        // A file keeps them as ISO text already: taken as it is, as lists read thousands.
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString();
            if (text.size() >= 10 && IsoDate(QStringView(text).left(10)).isValid())
                return text.left(10);
        }
        const CDateValue date = CDateValue::FromVariant(value);
        return date.IsValid() ? date.Date().toString(Qt::ISODate) : value.toString();
    }
    if (column == QLatin1String("Sex"))
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return value.toString();
}

QDate CHistoryWriter::IsoDate(QStringView text)
{
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    bool year = false, month = false, day = false;
    const QDate date(text.left(4).toInt(&year), text.mid(5, 2).toInt(&month), text.mid(8, 2).toInt(&day));
    return year && month && day ? date : QDate();
}

QString CHistoryWriter::Pack(const SValues &values)
{
    QJsonArray array;
    for (const QString &value : values)
        array.append(value.isNull() ? QJsonValue() : QJsonValue(value));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

CHistoryWriter::SValues CHistoryWriter::Unpack(const QString &text, qsizetype count)
{
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    SValues values;
    for (qsizetype i = 0; i < count; ++i) {
        const QJsonValue value = i < array.size() ? array.at(i) : QJsonValue();
        values << (value.isString() ? value.toString() : QString());
    }
    return values;
}

const QString &CHistoryWriter::Who()
{
    if (m_strWho.isEmpty())
        m_strWho = m_db.UserName();
    if (m_strWho.isEmpty())
        m_strWho = QStringLiteral("?");
    return m_strWho;
}

QVariantList CHistoryWriter::Lead()
{
    return {m_strStamp, m_nEffective, Who()};
}

void CHistoryWriter::BeforeMove(const QList<qint32> &ids, qint32 unitId)
{
    if (ids.isEmpty())
        return;
    const QString sql = kInsertHead + kLeadSelect
                      + QStringLiteral("%1, ID, NULL, COALESCE(Busyo, 0), CAST(? AS INTEGER), NULL, NULL, NULL "
                                       "FROM Mast01 WHERE ID IN (%2) AND COALESCE(Busyo, 0) <> ?")
                            .arg(CChangeLog::kEmployeeMoved)
                            .arg(QStringLiteral("%1"));
    QList<CDaoDatabase::SBoundStatement> statements = CIdChunks::Statements(sql, Lead() << unitId, ids);
    // The last "?" follows the IDs.
    for (CDaoDatabase::SBoundStatement &statement : statements)
        statement.values << unitId;
    Run(m_db, statements);
}

void CHistoryWriter::BeforeRelease(const QList<qint32> &units)
{
    if (units.isEmpty())
        return;
    const QString sql = kInsertHead + kLeadSelect
                      + QStringLiteral("%1, ID, NULL, Busyo, 0, NULL, NULL, NULL FROM Mast01 WHERE Busyo IN (%2)")
                            .arg(CChangeLog::kEmployeeMoved)
                            .arg(QStringLiteral("%1"));
    Run(m_db, CIdChunks::Statements(sql, Lead(), units));
}

void CHistoryWriter::EmployeesAdded(const QList<qint32> &ids)
{
    if (ids.isEmpty())
        return;
    const QString sql = kInsertHead + kLeadSelect
                      + QStringLiteral("%1, ID, NULL, %2, COALESCE(Busyo, 0), NULL, Name, NULL FROM Mast01 "
                                       "WHERE ID IN (%3)")
                            .arg(CChangeLog::kEmployeeAdded)
                            .arg(CChangeLog::kNowhere)
                            .arg(QStringLiteral("%1"));
    Run(m_db, CIdChunks::Statements(sql, Lead(), ids));
}

void CHistoryWriter::BeforeEmployeesDeleted(const QList<qint32> &ids)
{
    const SSnapshot rows = ReadEmployees(m_db, ids);
    const qsizetype busyo = EmployeeColumns().indexOf(QStringLiteral("Busyo"));
    const qsizetype name = EmployeeColumns().indexOf(QStringLiteral("Name"));
    QList<SEntry> entries;
    for (qint32 id : CIdChunks::Unique(ids)) {
        const auto row = rows.constFind(id);
        if (row == rows.cend())
            continue;
        entries.append({CChangeLog::kEmployeeDeleted,
                        id,
                        {},
                        Unit(row->at(busyo)),
                        CChangeLog::kNowhere,
                        row->at(name),
                        {},
                        Pack(*row)});
    }
    Insert(entries);
}

void CHistoryWriter::EmployeesEdited(const SSnapshot &before, const SSnapshot &after)
{
    Edited(before, after, EmployeeColumns(), QStringLiteral("Busyo"), CChangeLog::kEmployeeMoved,
           CChangeLog::kEmployeeEdited);
}

void CHistoryWriter::PhotosChanged(const QHash<qint32, bool> &hadPhoto, bool hasPhoto)
{
    const QString photo = QStringLiteral("(写真)");
    QList<SEntry> entries;
    for (auto had = hadPhoto.cbegin(); had != hadPhoto.cend(); ++had) {
        entries.append({CChangeLog::kEmployeeEdited,
                        had.key(),
                        QStringLiteral("Pic"),
                        {},
                        {},
                        had.value() ? photo : QString(),
                        hasPhoto ? photo : QString()});
    }
    Insert(entries);
}

void CHistoryWriter::UnitsAdded(const QList<qint32> &ids)
{
    // Kept whole: the history replays the tree from its start.
    UnitsWhole(ids, true);
}

void CHistoryWriter::BeforeUnitsDeleted(const QList<qint32> &ids)
{
    UnitsWhole(ids, false);
}

void CHistoryWriter::UnitsWhole(const QList<qint32> &ids, bool added)
{
    const SSnapshot rows = ReadUnits(m_db, ids);
    const qsizetype parent = UnitColumns().indexOf(QStringLiteral("Parent"));
    const qsizetype name = UnitColumns().indexOf(QStringLiteral("Name"));
    QList<SEntry> entries;
    for (qint32 id : CIdChunks::Unique(ids)) {
        const auto row = rows.constFind(id);
        if (row == rows.cend())
            continue;
        const QVariant above = Unit(row->at(parent));
        if (added)
            entries.append({CChangeLog::kUnitAdded, id, {}, {}, above, {}, row->at(name), Pack(*row)});
        else
            entries.append({CChangeLog::kUnitDeleted, id, {}, above, {}, row->at(name), {}, Pack(*row)});
    }
    Insert(entries);
}

void CHistoryWriter::UnitsEdited(const SSnapshot &before, const SSnapshot &after)
{
    Edited(before, after, UnitColumns(), QStringLiteral("Parent"), CChangeLog::kUnitMoved, CChangeLog::kUnitEdited);
}

void CHistoryWriter::Edited(const SSnapshot &before, const SSnapshot &after, const QStringList &columns,
                            const QString &above, int moved, int edited)
{
    QList<SEntry> entries;
    for (auto was = before.cbegin(); was != before.cend(); ++was) {
        const auto now = after.constFind(was.key());
        if (now == after.cend())
            continue;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QString &old = was->at(i);
            const QString &fresh = now->at(i);
            if (old == fresh && old.isNull() == fresh.isNull())
                continue;
            // No unit and unit 0 are the same place.
            if (columns.at(i) != above)
                entries.append({edited, was.key(), columns.at(i), {}, {}, old, fresh});
            else if (Unit(old) != Unit(fresh))
                entries.append({moved, was.key(), {}, Unit(old), Unit(fresh)});
        }
    }
    Insert(entries);
}

void CHistoryWriter::Insert(const QList<SEntry> &entries)
{
    if (entries.isEmpty())
        return;
    const QVariantList lead = Lead();
    std::unique_ptr<CDaoStatement> full;
    for (qsizetype from = 0; from < entries.size(); from += kEntriesPerInsert) {
        const auto count = int(qMin<qsizetype>(kEntriesPerInsert, entries.size() - from));
        std::unique_ptr<CDaoStatement> part;
        if (count == kEntriesPerInsert && !full)
            full = std::make_unique<CDaoStatement>(m_db, InsertSql(kEntriesPerInsert));
        if (count != kEntriesPerInsert)
            part = std::make_unique<CDaoStatement>(m_db, InsertSql(count));
        CDaoStatement &q = part ? *part : *full;
        for (int i = 0; i < count; ++i) {
            const SEntry &entry = entries.at(from + i);
            const QVariantList values = lead + QVariantList{entry.kind,    entry.target,   entry.field,    entry.oldUnit,
                                                            entry.newUnit, entry.oldValue, entry.newValue, entry.shot};
            for (int c = 0; c < kEntryColumns; ++c)
                q.Bind(i * kEntryColumns + c, values.at(c));
        }
        q.Exec();
        q.Finish();
    }
    m_db.NoteWrite();
}
