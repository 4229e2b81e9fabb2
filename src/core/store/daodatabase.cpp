#include "store/daodatabase.h"

#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/databasecheck.h"
#include "store/daoexception.h"
#include "store/daostatement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace {
int g_busyTimeout = 5000;
CDaoDatabase::WriteHook g_writeHook;
} // namespace

CDaoDatabase::CDaoDatabase() = default;

CDaoDatabase::~CDaoDatabase()
{
    Close();
}

void CDaoDatabase::SetBusyTimeout(int milliseconds)
{
    g_busyTimeout = milliseconds;
}

void CDaoDatabase::SetWriteHook(WriteHook hook)
{
    g_writeHook = std::move(hook);
}

void CDaoDatabase::BeforeWrite()
{
    if (!g_writeHook || !Backend().KeepsBackups() || m_bCreated || m_bReadOnly || m_bInTrans || !IsOpen())
        return;
    try {
        g_writeHook(m_strPath);
    } catch (const CDaoException &error) {
        // A file found damaged is never written to; a failed backup the hook tells itself.
        if (error.Problem() == EDatabaseProblem::damaged)
            throw;
    } catch (const std::exception &) {
        // The write matters more than its backup.
    }
}

void CDaoDatabase::Create(const QString &path, const QString &locale, int options)
{
    Q_UNUSED(locale);
    Q_UNUSED(options);
    Close();
    const CDaoBackend &backend = CDaoBackends::For(path);
    if (const CDatabaseCheck::SFinding found = backend.CheckNew(path); !found.Ok()) {
        if (found.problem == CDatabaseCheck::EProblem::noPath)
            throw CDatabaseCheck::OpenFailure(path, found);
        throw CDatabaseCheck::CreateFailure(path, found);
    }
    try {
        Connect(backend, path, false);
        m_bCreated = true;
        if (const CDatabaseCheck::SFinding found = backend.Initialise(Connection()); !found.Ok())
            throw CDatabaseCheck::CreateFailure(path, found);
    } catch (...) {
        Close();
        backend.Discard(path);
        throw;
    }
}

void CDaoDatabase::Open(const QString &path)
{
    Close();
    const CDaoBackend &backend = CDaoBackends::For(path);
    // A file that is not ours is never handed to the engine, which could write to it.
    if (const CDatabaseCheck::SFinding found = backend.InspectName(path); !found.Ok())
        throw CDatabaseCheck::OpenFailure(path, found);
    Connect(backend, path, backend.OpensReadOnly(path));
    try {
        // SQLite opens anything lazily; the first read tells a database of ours from other bytes.
        if (const CDatabaseCheck::SFinding found = backend.Inspect(Connection()); !found.Ok())
            throw CDatabaseCheck::OpenFailure(path, found);
        backend.Upgrade(Connection(), path, m_bReadOnly);
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoDatabase::Connect(const CDaoBackend &backend, const QString &path, bool readOnly)
{
    m_bCreated = false;
    m_bInTrans = false;
    m_strPath = path;
    m_bReadOnly = readOnly;
    const CDatabaseCheck::SFinding found = Link(backend, path, readOnly, g_busyTimeout);
    if (!found.Ok()) {
        Close();
        throw CDatabaseCheck::OpenFailure(path, found);
    }
}

void CDaoDatabase::Close()
{
    if (!IsLinked())
        return;
    // Statements go before their connection: the engine will not close under them.
    m_idleStatements.clear();
    Unlink();
    m_widths.clear();
    m_strUser.clear();
}

void CDaoDatabase::Execute(const QString &sql, int options)
{
    ExecuteAll({sql}, options);
}

int CDaoDatabase::ExecuteAll(const QStringList &statements, int options)
{
    QList<SBoundStatement> bound;
    bound.reserve(statements.size());
    for (const QString &sql : statements)
        bound.append({sql, {}});
    return ExecuteAll(bound, options);
}

int CDaoDatabase::ExecuteAll(const QList<SBoundStatement> &statements, int options)
{
    Q_UNUSED(options); // every change here is all or nothing
    if (!IsOpen())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    QSqlDatabase db = Connection();
    NoteWrite();
    const QString context = QStringLiteral("データベースの更新に失敗しました。");
    BeforeWrite();
    // Inside BeginTrans a savepoint keeps these all or nothing without ending the
    // caller's transaction.
    const bool nested = m_bInTrans;
    auto run = [&db](const QString &sql) {
        QSqlQuery q(db);
        return q.exec(sql);
    };
    auto undo = [&] {
        if (nested) {
            run(QStringLiteral("ROLLBACK TO morvek_all"));
            run(QStringLiteral("RELEASE morvek_all"));
        } else {
            db.rollback();
        }
    };
    if (nested ? !run(QStringLiteral("SAVEPOINT morvek_all")) : !db.transaction())
        throw CDaoException::FromSql(db.lastError(), context);
    int affected = 0;
    for (const auto &[sql, values] : statements) {
        const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
        if (head == QLatin1String("CREATE") || head == QLatin1String("ALTER") || head == QLatin1String("DROP"))
            m_widths.clear();
        if (!values.isEmpty()) {
            try {
                affected += RunBound(sql, values, context);
            } catch (const CDaoException &) {
                undo();
                throw;
            }
            continue;
        }
        QSqlQuery q(db);
        if (!q.exec(ToEngine(sql))) {
            const CDaoException error = CDaoException::FromSql(q.lastError(), context);
            q.finish();
            undo();
            throw error;
        }
        affected += qMax(0, q.numRowsAffected());
    }
    if (nested) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("RELEASE morvek_all"))) {
            const CDaoException error = CDaoException::FromSql(q.lastError(), context);
            undo();
            throw error;
        }
    } else if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(), context);
        db.rollback();
        throw error;
    }
    return affected;
}

const QHash<QString, int> &CDaoDatabase::ColumnWidths(const QString &table)
{
    if (auto it = m_widths.constFind(table); it != m_widths.cend())
        return *it;
    return *m_widths.insert(table, Backend().ColumnWidths(Connection(), table));
}

int CDaoDatabase::RunBound(const QString &sql, const QVariantList &values, const QString &context)
{
    // The engine's own statement, kept for the next run of the same text: Qt's
    // binding looks every "?" up by name, which grows with the square of their count.
    std::unique_ptr<CDaoStatement> q = TakeStatement(sql);
    if (!q)
        q = std::make_unique<CDaoStatement>(*this, sql);
    for (int i = 0; i < values.size(); ++i)
        q->Bind(i, values.at(i));
    q->Exec(context);
    const auto rows = int(qMax<qint64>(0, q->RowsAffected()));
    ReturnStatement(sql, std::move(q));
    return rows;
}

const QString &CDaoDatabase::UserName()
{
    if (m_strUser.isEmpty())
        m_strUser = Backend().UserName(Connection());
    return m_strUser;
}

std::unique_ptr<CDaoStatement> CDaoDatabase::TakeStatement(const QString &sql)
{
    const auto it = m_idleStatements.find(sql);
    if (it == m_idleStatements.end())
        return nullptr;
    auto statement = std::move(it->second);
    m_idleStatements.erase(it);
    return statement;
}

void CDaoDatabase::ReturnStatement(const QString &sql, std::unique_ptr<CDaoStatement> statement)
{
    // Bounded: texts with values written into them would pile up.
    constexpr size_t kMaxIdle = 64;
    if (!statement || !IsOpen() || m_idleStatements.size() >= kMaxIdle)
        return;
    statement->Finish();
    m_idleStatements.emplace(sql, std::move(statement));
}

void CDaoDatabase::BeginTrans()
{
    if (!IsOpen())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    BeforeWrite();
    QSqlDatabase db = Connection();
    if (!db.transaction()) {
        CDaoException error = CDaoException::FromSql(db.lastError(),
                                                     QStringLiteral("データベースの更新を始められません。"));
        // A server connection found broken stays closed: only a new one reaches the server.
        if (!IsOpen())
            error.WithProblem(EDatabaseProblem::serverUnreachable);
        throw error;
    }
    m_bInTrans = true;
}

void CDaoDatabase::CommitTrans()
{
    m_bInTrans = false;
    QSqlDatabase db = Connection();
    if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(),
                                                           QStringLiteral("データベースの更新に失敗しました。"));
        db.rollback();
        NoteWrite();
        throw error;
    }
}

void CDaoDatabase::Rollback()
{
    m_bInTrans = false;
    // Rows read inside the transaction are no longer what the file holds.
    NoteWrite();
    if (IsOpen())
        Connection().rollback();
}

qint64 CDaoDatabase::CountOf(const QString &sql)
{
    QSqlQuery q(Connection());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}
