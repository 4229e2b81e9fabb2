#include "store/daorecordset.h"

#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daofieldexchange.h"
#include "store/daoquerydef.h"
#include "store/daostatement.h"

#include <algorithm>
#include <limits>
#include <typeindex>
#include <unordered_map>
#include <utility>

namespace {
QString g_applicationPath;
constexpr int kAfterLast = std::numeric_limits<int>::max() / 2;
constexpr int kUnknown = -2;

QString NoCurrentRecord()
{
    return QStringLiteral("現在のレコードがありません。");
}

bool IsIdentifier(const QString &name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
    });
}

QString Identifier(const QString &column)
{
    const QString name = CDaoFieldExchange::ColumnName(column);
    if (!IsIdentifier(name))
        throw CDaoException(QStringLiteral("項目名が正しくありません: %1").arg(column));
    return name;
}
} // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase *pDatabase)
    : m_pDatabase(pDatabase)
    , m_binarySource(std::make_shared<const std::function<QByteArray(qint64, const QString &)>>(
          [this](qint64 key, const QString &column) { return FetchBinary(key, column); }))
{
}

CDaoRecordset::~CDaoRecordset()
{
    Close();
}

void CDaoRecordset::SetApplicationDatabasePath(const QString &path)
{
    g_applicationPath = path;
}
QString CDaoRecordset::ApplicationDatabasePath()
{
    return g_applicationPath;
}
QString CDaoRecordset::GetDefaultDBName() const
{
    return g_applicationPath;
}

void CDaoRecordset::Open(int nOpenType, const QString &sql, int options)
{
    Q_UNUSED(nOpenType); // every set here is a dynaset
    Q_UNUSED(options);
    Close();
    const QString text = (sql.isEmpty() ? GetDefaultSQL() : sql).trimmed();
    try {
        if (!m_pDatabase) {
            const QString path = GetDefaultDBName();
            if (!m_sharedDatabase || !CDaoDatabasePool::IsCurrent(*m_sharedDatabase, path)) {
                m_sharedDatabase.reset();
                m_sharedDatabase = CDaoDatabasePool::Acquire(path);
            }
            m_pDatabase = m_sharedDatabase.get();
        }
        const QString table = CDaoFieldExchange::ColumnName(text);
        if (IsIdentifier(table)) {
            m_strTable = table;
            m_strSource = QLatin1Char('[') + table + QLatin1Char(']');
        } else {
            m_strTable.clear();
            m_strSource = QLatin1Char('(') + text + QStringLiteral(") AS src");
        }
        Describe();
        ReadColumnWidths();
        m_bOpen = true;
        Reposition();
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoRecordset::Open(CDaoQueryDef *pQueryDef, int nOpenType, int options)
{
    Close();
    m_pDatabase = pQueryDef->GetDatabase();
    Open(nOpenType, pQueryDef->GetSQL(), options);
}

void CDaoRecordset::Close()
{
    m_keyset.Clear();
    InvalidateFinds();
    m_writer.End();
    m_columns.clear();
    m_kinds.clear();
    m_widths.clear();
    ReturnStatements();
    if (m_sharedDatabase && m_pDatabase == m_sharedDatabase.get())
        m_pDatabase = nullptr;
    m_bOpen = false;
    m_bBOF = m_bEOF = true;
    m_curId = -1;
    m_nPos = -1;
}

// The shared connection keeps what its sets prepared; a set of the caller's
// own database keeps its statements only while it is open.
void CDaoRecordset::ReturnStatements()
{
    m_pLastStatement = nullptr;
    const bool shared = m_sharedDatabase && m_pDatabase == m_sharedDatabase.get();
    for (auto &[sql, statement] : m_statements) {
        if (shared)
            m_sharedDatabase->ReturnStatement(sql, std::move(statement));
    }
    m_statements.clear();
}

CDaoStatement &CDaoRecordset::Prepare(const QString &sql)
{
    Reattach();
    // A walk asks for the same text again and again; the texts share long
    // beginnings, which makes the map slow to search.
    if (m_pLastStatement && m_strLastSql == sql)
        return *m_pLastStatement;
    constexpr size_t kMaxStatements = 48;
    if (m_statements.size() >= kMaxStatements && m_statements.find(sql) == m_statements.end()) {
        m_ordered.Clear(); // its statement goes back with the others
        ReturnStatements();
    }
    auto &slot = m_statements[sql];
    if (!slot && m_sharedDatabase && m_pDatabase == m_sharedDatabase.get())
        slot = m_sharedDatabase->TakeStatement(sql);
    if (!slot) {
        try {
            slot = std::make_unique<CDaoStatement>(*m_pDatabase, sql);
        } catch (...) {
            m_statements.erase(sql);
            throw;
        }
    }
    m_strLastSql = sql;
    m_pLastStatement = slot.get();
    return *slot;
}

// A class binds the same members every time: its columns are learnt once.
void CDaoRecordset::Describe()
{
    struct SLayout {
        QStringList columns;
        QVector<int> kinds;
        QString allColumns;
        std::vector<int> allFetch;
    };
    static std::unordered_map<std::type_index, SLayout> layouts;
    auto it = layouts.find(typeid(*this));
    if (it == layouts.end()) {
        CDaoFieldExchange fx(CDaoFieldExchange::Describe);
        DoFieldExchange(&fx);
        SLayout layout;
        layout.columns = fx.m_columns;
        for (const auto kind : std::as_const(fx.m_kinds))
            layout.kinds << kind;
        m_columns = layout.columns;
        m_kinds = layout.kinds;
        const QStringList subset = std::exchange(m_subset, {});
        UpdateFetchColumns();
        m_subset = subset;
        layout.allColumns = m_strFetchColumns;
        layout.allFetch = m_fetchColumns;
        it = layouts.emplace(typeid(*this), std::move(layout)).first;
    }
    m_columns = it->second.columns;
    m_kinds = it->second.kinds;
    if (m_subset.isEmpty()) {
        m_strFetchColumns = it->second.allColumns;
        m_fetchColumns = it->second.allFetch;
        m_rowValues = QVariantList(m_columns.size());
        MapRowColumns();
    } else {
        UpdateFetchColumns();
    }
}

// Rows come as ID, then the fetched columns in field order.
void CDaoRecordset::MapRowColumns()
{
    m_rowColumns.assign(size_t(m_columns.size()), -1);
    for (size_t j = 0; j < m_fetchColumns.size(); ++j)
        m_rowColumns[size_t(m_fetchColumns[j])] = int(j) + 1;
}

void CDaoRecordset::UpdateFetchColumns()
{
    QStringList fetched{QStringLiteral("ID")};
    m_fetchColumns.clear();
    for (int i = 0; i < m_columns.size(); ++i) {
        // Long binaries stay out: they are read only when somebody asks for them.
        if (m_kinds[i] == CDaoFieldExchange::Binary)
            continue;
        if (!m_subset.isEmpty() && !m_subset.contains(m_columns[i], Qt::CaseInsensitive))
            continue;
        m_fetchColumns.push_back(i);
        fetched << QLatin1Char('[') + m_columns[i] + QLatin1Char(']');
    }
    m_strFetchColumns = fetched.join(u',');
    // Columns left out load as empty.
    m_rowValues = QVariantList(m_columns.size());
    MapRowColumns();
}

void CDaoRecordset::SetColumnSubset(const QStringList &columns)
{
    if (columns == m_subset)
        return;
    m_subset = columns;
    if (!m_bOpen)
        return;
    InvalidateFinds();
    UpdateFetchColumns();
    if (m_curId >= 0 && !m_bBOF && !m_bEOF && m_writer.Mode() == CDaoRecordWriter::EMode::none)
        LoadCurrent();
}

void CDaoRecordset::ReadColumnWidths()
{
    m_widths.clear();
    if (!m_strTable.isEmpty())
        m_widths = m_pDatabase->ColumnWidths(m_strTable);
}

void CDaoRecordset::RequireOpen()
{
    if (!m_bOpen)
        throw CDaoException(QStringLiteral("レコードセットが開かれていません。"));
    Reattach();
}

void CDaoRecordset::RequireCurrent()
{
    RequireOpen();
    if (m_curId < 0 || m_bBOF || m_bEOF)
        throw CDaoException(NoCurrentRecord());
}

QString CDaoRecordset::SelectKeys(const QString &condition, bool ordered, const QString &columns) const
{
    QString sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + m_strSource;
    QStringList where;
    if (!m_strFilter.trimmed().isEmpty())
        where << QLatin1Char('(') + m_strFilter + QLatin1Char(')');
    if (!condition.trimmed().isEmpty())
        where << QLatin1Char('(') + condition + QLatin1Char(')');
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (ordered) {
        // ID breaks ties, so equal sort keys keep the order rows were added in.
        sql += m_strSort.trimmed().isEmpty() ? QStringLiteral(" ORDER BY ID")
                                             : QStringLiteral(" ORDER BY ") + m_strSort + QStringLiteral(", ID");
    }
    return sql;
}

std::vector<qint64> CDaoRecordset::QueryKeys(const QString &sql, const QVariantList &values)
{
    CDaoStatement &q = Prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.Bind(i, values[i]);
    q.Exec();
    std::vector<qint64> keys;
    while (q.Next())
        keys.push_back(q.Int64(0));
    return keys;
}

void CDaoRecordset::InvalidateFinds()
{
    m_ordered.Clear();
    m_byPosition = {};
}

void CDaoRecordset::Reposition()
{
    m_keyset.Clear();
    InvalidateFinds();
    m_bChanged = false;
    m_writer.End();
    // The first row in order; with the indexes this reads one row, not the table.
    CDaoStatement &q = Prepare(SelectKeys({}, true, m_strFetchColumns) + QStringLiteral(" LIMIT 1"));
    q.Exec();
    if (!q.Next()) {
        q.Finish();
        m_curId = -1;
        m_nPos = -1;
        m_bBOF = m_bEOF = true;
        ResetMembers();
    } else {
        m_curId = q.Int64(0);
        m_nPos = kUnknown;
        m_bBOF = m_bEOF = false;
        LoadRow(q);
        q.Finish();
    }
}

void CDaoRecordset::EnsureKeyset()
{
    if (m_keyset.IsBuilt())
        return;
    m_keyset.Assign(QueryKeys(SelectKeys({}, true)));
    if (m_curId >= 0)
        m_nPos = m_keyset.PositionOf(m_curId);
    else if (m_bEOF && !m_bBOF)
        m_nPos = kAfterLast;
    else
        m_nPos = -1;
}

void CDaoRecordset::MoveToPosition(int pos)
{
    if (pos < 0 || pos >= m_keyset.Size())
        SetOutside(pos < 0);
    else
        SetCurrent(m_keyset.KeyAt(pos), pos);
}

void CDaoRecordset::SetOutside(bool bof)
{
    m_curId = -1;
    m_nPos = bof ? -1 : kAfterLast;
    const bool empty = m_keyset.LiveCount() == 0;
    m_bBOF = bof || empty;
    m_bEOF = !bof || empty;
}

void CDaoRecordset::SetCurrent(qint64 key, int pos)
{
    m_curId = key;
    m_nPos = pos;
    m_bBOF = m_bEOF = false;
    LoadCurrent();
}

void CDaoRecordset::MoveNext()
{
    RequireOpen();
    if (m_bEOF)
        throw CDaoException(NoCurrentRecord());
    EnsureKeyset();
    MoveToPosition(m_keyset.NextLive(m_nPos));
}

void CDaoRecordset::MovePrev()
{
    RequireOpen();
    if (m_bBOF)
        throw CDaoException(NoCurrentRecord());
    EnsureKeyset();
    MoveToPosition(m_keyset.PrevLive(std::min(m_nPos, m_keyset.Size())));
}

void CDaoRecordset::MoveFirst()
{
    RequireOpen();
    EnsureKeyset();
    if (m_keyset.LiveCount() == 0)
        throw CDaoException(NoCurrentRecord());
    MoveToPosition(m_keyset.NextLive(-1));
}

void CDaoRecordset::MoveLast()
{
    RequireOpen();
    EnsureKeyset();
    if (m_keyset.LiveCount() == 0)
        throw CDaoException(NoCurrentRecord());
    MoveToPosition(m_keyset.PrevLive(m_keyset.Size()));
}

// Before anything is written or moved by position, one query answers a find in
// the set's order, and the next finds with the same condition walk its answer.
bool CDaoRecordset::FindOrdered(const CDaoFind &find, bool last)
{
    m_ordered.Clear();
    CDaoStatement &q = Prepare(FindSql(find.Where(), last));
    for (int i = 0; i < find.Values().size(); ++i)
        q.Bind(i, find.Values()[i]);
    q.Exec();
    if (!m_ordered.Run(&q, find.Key(), last, m_pDatabase->GetWriteCount()))
        return false;
    SetCurrentOrdered();
    m_ordered.LookAhead();
    return true;
}

// A walk through each unit in turn asks for the same text again and again.
const QString &CDaoRecordset::FindSql(const QString &where, bool last)
{
    SFindSql &memo = m_findSql;
    if (memo.sql.isEmpty() || memo.where != where || memo.last != last || memo.filter != m_strFilter
        || memo.sort != m_strSort || memo.fetch != m_strFetchColumns) {
        memo = {where, m_strFilter, m_strSort, m_strFetchColumns, last, {}};
        memo.sql = last ? SelectKeys(where, true) : SelectKeys(where, true, m_strFetchColumns);
    }
    return memo.sql;
}

const std::vector<int> &CDaoRecordset::MatchPositions(const CDaoFind &find)
{
    if (!m_byPosition.valid || m_byPosition.condition != find.Key()) {
        // Membership comes from the keyset: added rows count even outside the filter.
        QString sql = QStringLiteral("SELECT ID FROM ") + m_strSource;
        if (!find.Where().isEmpty())
            sql += QStringLiteral(" WHERE (") + find.Where() + QLatin1Char(')');
        m_byPosition.positions = m_keyset.PositionsOf(QueryKeys(sql, find.Values()));
        m_byPosition.condition = find.Key();
        m_byPosition.valid = true;
    }
    return m_byPosition.positions;
}

bool CDaoRecordset::FindByPosition(const CDaoFind &find, int from, bool forward)
{
    EnsureKeyset();
    const auto &positions = MatchPositions(find);
    if (forward) {
        const auto it = std::upper_bound(positions.begin(), positions.end(), from);
        if (it == positions.end())
            return false;
        MoveToPosition(*it);
    } else {
        auto it = std::lower_bound(positions.begin(), positions.end(), from);
        if (it == positions.begin())
            return false;
        MoveToPosition(*--it);
    }
    return true;
}

bool CDaoRecordset::FindFirst(const CDaoFind &find)
{
    RequireOpen();
    if (UseOrderedFinds())
        return FindOrdered(find, false);
    return FindByPosition(find, -1, true);
}

bool CDaoRecordset::FindLast(const CDaoFind &find)
{
    RequireOpen();
    if (UseOrderedFinds())
        return FindOrdered(find, true);
    return FindByPosition(find, kAfterLast, false);
}

bool CDaoRecordset::FindNext(const CDaoFind &find)
{
    RequireOpen();
    if (m_ordered.IsAt(find.Key(), m_curId, m_pDatabase->GetWriteCount())) {
        if (!m_ordered.Next())
            return false;
        SetCurrentOrdered();
        return true;
    }
    EnsureKeyset();
    return FindByPosition(find, m_bEOF ? kAfterLast : m_nPos, true);
}

bool CDaoRecordset::FindPrev(const CDaoFind &find)
{
    RequireOpen();
    if (m_ordered.IsAt(find.Key(), m_curId, m_pDatabase->GetWriteCount())) {
        if (!m_ordered.Prev())
            return false;
        SetCurrentOrdered();
        return true;
    }
    EnsureKeyset();
    return FindByPosition(find, m_bEOF ? kAfterLast : m_nPos, false);
}

bool CDaoRecordset::FindById(qint64 id)
{
    return FindFirst(CDaoFind::ById(id));
}

bool CDaoRecordset::FindFirst(const QString &condition)
{
    return FindFirst(CDaoFind::FromText(condition));
}

bool CDaoRecordset::FindLast(const QString &condition)
{
    return FindLast(CDaoFind::FromText(condition));
}

bool CDaoRecordset::FindNext(const QString &condition)
{
    return FindNext(CDaoFind::FromText(condition));
}

bool CDaoRecordset::FindPrev(const QString &condition)
{
    return FindPrev(CDaoFind::FromText(condition));
}

void CDaoRecordset::SetCurrentOrdered()
{
    const qint64 key = m_ordered.Key();
    SetCurrent(key, m_keyset.IsBuilt() ? m_keyset.PositionOf(key) : kUnknown);
}

void CDaoRecordset::LoadCurrent()
{
    if (m_columns.isEmpty())
        return;
    if (const CDaoStatement *row = m_ordered.CurrentRow(); row && m_ordered.Key() == m_curId) {
        LoadRow(*row);
        return;
    }
    CDaoStatement &q = Prepare(QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(m_strFetchColumns, m_strSource));
    q.Bind(0, m_curId);
    q.Exec();
    if (!q.Next()) {
        // Removed by another connection since the set was built.
        q.Finish();
        ResetMembers();
        return;
    }
    LoadRow(q);
    q.Finish();
}

// q stands on a row: its ID, then the fetched columns in field order.
void CDaoRecordset::LoadRow(const CDaoStatement &q)
{
    q.RequireAttached();
    if (m_rowValues.size() != m_columns.size())
        m_rowValues = QVariantList(m_columns.size());
    CDaoFieldExchange fx(CDaoFieldExchange::Load);
    fx.m_values = std::move(m_rowValues); // lent, not copied: the next row writes into it again
    fx.m_pRow = &q;
    fx.m_pRowColumns = &m_rowColumns;
    fx.m_binarySource = m_binarySource;
    fx.m_nKey = m_curId;
    // The members stay where they are while the set lives: found once, loaded directly.
    Bind();
    fx.LoadBound(m_bindings);
    m_rowValues = std::move(fx.m_values);
}

void CDaoRecordset::ResetMembers()
{
    CDaoFieldExchange fx(CDaoFieldExchange::Reset);
    DoFieldExchange(&fx);
}

QByteArray CDaoRecordset::FetchBinary(qint64 key, const QString &column)
{
    RequireOpen();
    CDaoStatement &q = Prepare(QStringLiteral("SELECT [%1] FROM %2 WHERE ID = ?").arg(Identifier(column), m_strSource));
    q.Bind(0, key);
    q.Exec();
    const QByteArray bytes = q.Next() ? q.Value(0).toByteArray() : QByteArray();
    q.Finish();
    return bytes;
}

CDaoRecordWriter::Prepare CDaoRecordset::Statements()
{
    return [this](const QString &sql) -> CDaoStatement & { return Prepare(sql); };
}

void CDaoRecordset::AddNew()
{
    RequireOpen();
    if (m_strTable.isEmpty())
        throw CDaoException(QStringLiteral("このレコードセットには追加できません。"));
    EnsureKeyset();
    m_writer.BeginAdd();
    ResetMembers();
}

void CDaoRecordset::Edit()
{
    RequireCurrent();
    if (m_strTable.isEmpty())
        throw CDaoException(QStringLiteral("このレコードセットは更新できません。"));
    CDaoFieldExchange fx(CDaoFieldExchange::Store);
    DoFieldExchange(&fx);
    // What the file held when the row was read: an update writes only over these.
    QHash<QString, QVariant> read;
    for (const int i : m_fetchColumns)
        read.insert(m_columns[i], m_rowValues[i]);
    // A photo is fetched apart, when shown; once shown it is guarded like any field.
    read.insert(fx.m_readBinaries);
    m_writer.BeginEdit(fx, std::move(read));
}

void CDaoRecordset::RefuseStaleUpdate()
{
    if (!CDaoRecordWriter::Exists(Statements(), m_strTable, m_curId))
        throw CDaoException(QStringLiteral("このレコードは他の操作で削除されています。"));
    // Nothing was written; the members show the row as it is now.
    m_writer.End();
    InvalidateFinds();
    LoadCurrent();
    throw CDaoException::Conflict();
}

void CDaoRecordset::Update()
{
    RequireOpen();
    const CDaoRecordWriter::EMode mode = m_writer.Mode();
    if (mode == CDaoRecordWriter::EMode::none)
        throw CDaoException(QStringLiteral("追加または編集を始めずに更新しようとしました。"));
    CDaoFieldExchange fx(CDaoFieldExchange::Store);
    DoFieldExchange(&fx);
    const CDaoRecordWriter::Writes writes = m_writer.Collect(m_columns, fx);
    CDaoRecordWriter::CheckWidths(writes, m_widths);
    if (mode == CDaoRecordWriter::EMode::edit && writes.isEmpty()) {
        m_writer.End();
        return;
    }
    const qint64 key = m_writer.Write(*m_pDatabase, Statements(), m_strTable, writes, m_curId);
    if (mode == CDaoRecordWriter::EMode::add)
        m_keyset.Append(key);
    else if (key < 0)
        RefuseStaleUpdate();
    m_lastModified = key;
    m_writer.End();
    m_bChanged = true;
    InvalidateFinds();
    if (m_curId >= 0)
        LoadCurrent();
}

void CDaoRecordset::CancelUpdate()
{
    m_writer.End();
    // Not read again: what the row held when it was shown stays what a retried write is guarded by.
    if (m_bOpen && m_curId >= 0)
        RestoreMembers();
}

void CDaoRecordset::RestoreMembers()
{
    if (m_rowValues.size() != m_columns.size())
        return LoadCurrent();
    Bind();
    CDaoFieldExchange fx(CDaoFieldExchange::Load);
    fx.m_values = m_rowValues;
    fx.m_bFromValues = true;
    fx.LoadBound(m_bindings);
}

void CDaoRecordset::Bind()
{
    if (!m_bindings.empty())
        return;
    CDaoFieldExchange bind(CDaoFieldExchange::Bind);
    DoFieldExchange(&bind);
    m_bindings = std::move(bind.m_bindings);
}

CDaoRecordset::SReadRow CDaoRecordset::KeepRead()
{
    Bind();
    SReadRow row{m_curId, m_rowValues, {}};
    for (const CDaoFieldExchange::SBinding &binding : m_bindings) {
        if (binding.kind == CDaoFieldExchange::Binary)
            row.binaries.push_back(*static_cast<const CDaoLongBinary *>(binding.pMember));
    }
    return row;
}

void CDaoRecordset::PutBack(const SReadRow &row)
{
    m_writer.End();
    if (!m_bOpen || row.nKey < 0 || row.nKey != m_curId)
        return;
    m_rowValues = row.values;
    RestoreMembers();
    size_t next = 0;
    for (const CDaoFieldExchange::SBinding &binding : m_bindings) {
        if (binding.kind == CDaoFieldExchange::Binary && next < row.binaries.size())
            *static_cast<CDaoLongBinary *>(binding.pMember) = row.binaries[next++];
    }
    InvalidateFinds();
}

void CDaoRecordset::Reattach()
{
    if (!m_sharedDatabase || m_pDatabase != m_sharedDatabase.get() || m_sharedDatabase->IsOpen())
        return;
    // Its statements ended with the connection: none can go back to a pool.
    m_ordered.Clear();
    m_pLastStatement = nullptr;
    m_statements.clear();
    InvalidateFinds();
    const QString path = m_sharedDatabase->GetName();
    m_sharedDatabase.reset();
    m_pDatabase = nullptr;
    m_sharedDatabase = CDaoDatabasePool::Acquire(path);
    m_pDatabase = m_sharedDatabase.get();
}

void CDaoRecordset::Delete()
{
    RequireCurrent();
    if (m_strTable.isEmpty())
        throw CDaoException(QStringLiteral("このレコードセットからは削除できません。"));
    EnsureKeyset();
    CDaoRecordWriter::Delete(*m_pDatabase, Statements(), m_strTable, m_curId);
    m_writer.End();
    m_keyset.Remove(m_nPos);
    m_curId = -1; // no current row until the next move
    m_bChanged = true;
    InvalidateFinds();
}

void CDaoRecordset::Requery()
{
    RequireOpen();
    Reposition();
}

QVariant CDaoRecordset::GetFieldValue(const QString &column)
{
    RequireCurrent();
    const QString name = Identifier(column);
    if (const QVariant *value = m_writer.Value(name))
        return *value;
    CDaoStatement &q = Prepare(QStringLiteral("SELECT [%1] FROM %2 WHERE ID = ?").arg(name, m_strSource));
    q.Bind(0, m_curId);
    q.Exec(QStringLiteral("項目「%1」を読み取れません。").arg(name));
    if (!q.Next())
        throw CDaoException(QStringLiteral("このレコードは他の操作で削除されています。"));
    const QVariant value = q.Value(0);
    q.Finish();
    return value;
}

void CDaoRecordset::SetFieldValue(const QString &column, const QVariant &value)
{
    RequireOpen();
    if (m_writer.Mode() == CDaoRecordWriter::EMode::none)
        throw CDaoException(QStringLiteral("追加または編集を始めずに項目を変更しようとしました。"));
    m_writer.SetValue(Identifier(column), value);
}

int CDaoRecordset::GetRecordCount()
{
    RequireOpen();
    EnsureKeyset();
    return m_keyset.LiveCount();
}

void CDaoRecordset::SetBookmark(qint64 key)
{
    RequireOpen();
    EnsureKeyset();
    const int pos = m_keyset.PositionOf(key);
    if (pos < 0)
        throw CDaoException(QStringLiteral("指定されたレコードはこのレコードセットにありません。"));
    MoveToPosition(pos);
}
