#include "store/daodatabase.h"

#include "store/databasecheck.h"
#include "store/daoexception.h"
#include "store/daoquerydef.h"
#include "store/daostatement.h"
#include "store/jetdialect.h"
#include "store/schemaupgrade.h"
#include "store/serverdatabase.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlDriver>
#include <QSqlQuery>
#include <sqlite3.h>
#include <utility>

namespace {
QAtomicInt g_nextConnection;
int g_busyTimeout = 5000;
CDaoDatabase::WriteHook g_writeHook;

// Root ignores permission bits; a file or folder the user marked read-only
// must still be treated as such.
bool IsMarkedWritable(const QFileInfo &info)
{
    return info.isWritable() && info.permission(QFile::WriteOwner);
}
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
    // A server keeps its own backups.
    if (!g_writeHook || m_bServer || m_bCreated || m_bReadOnly || m_bInTrans || !IsOpen())
        return;
    try {
        g_writeHook(m_strPath);
    } catch (const std::exception &) {
        // The write matters more than its backup; the hook tells the user itself.
    }
}

QSqlDatabase CDaoDatabase::Connection() const
{
    return QSqlDatabase::database(m_strConnection, false);
}

bool CDaoDatabase::IsOpen() const
{
    return !m_strConnection.isEmpty() && Connection().isOpen();
}

QString CDaoDatabase::ToEngine(const QString &sql) const
{
    return m_bServer ? CJetDialect::ToPostgres(sql) : CJetDialect::ToSqlite(sql);
}

void CDaoDatabase::Create(const QString &path, const QString &locale, int options)
{
    Q_UNUSED(locale);
    Q_UNUSED(options);
    Close();
    if (CServerDatabase::IsUri(path)) {
        ConnectServer(path);
        const CDatabaseCheck::SFinding found = CServerDatabase::Inspect(Connection());
        if (found.problem != CDatabaseCheck::EProblem::serverEmpty) {
            Close();
            throw CDatabaseCheck::CreateFailure(
                path, found.Ok() ? CDatabaseCheck::SFinding{CDatabaseCheck::EProblem::exists, {}} : found);
        }
        return;
    }
    using EProblem = CDatabaseCheck::EProblem;
    const QFileInfo info(path);
    if (path.isEmpty())
        throw CDatabaseCheck::OpenFailure(path, {EProblem::noPath, {}});
    if (info.exists())
        throw CDatabaseCheck::CreateFailure(path, {EProblem::exists, {}});
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw CDatabaseCheck::CreateFailure(path, {EProblem::folderMissing, {}});
    if (!IsMarkedWritable(folder))
        throw CDatabaseCheck::CreateFailure(path, {EProblem::folderReadOnly, {}});
    try {
        Connect(path, false);
        m_bCreated = true;
        QSqlQuery q(Connection());
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
            throw CDatabaseCheck::CreateFailure(path, CDatabaseCheck::FromSqlError(q.lastError()));
    } catch (...) {
        Close();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}

void CDaoDatabase::Open(const QString &path)
{
    Close();
    if (CServerDatabase::IsUri(path)) {
        ConnectServer(path);
        const CDatabaseCheck::SFinding found = CServerDatabase::Inspect(Connection());
        if (!found.Ok()) {
            Close();
            throw CDatabaseCheck::OpenFailure(path, found);
        }
        return;
    }
    // A file that is not ours is never handed to the engine, which could write to it.
    const CDatabaseCheck::SFinding found = CDatabaseCheck::InspectFile(path);
    if (!found.Ok())
        throw CDatabaseCheck::OpenFailure(path, found);
    Connect(path, !IsMarkedWritable(QFileInfo(path)));
    try {
        CheckReadable();
        CSchemaUpgrade::Run(*this);
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoDatabase::ConnectServer(const QString &uri)
{
    m_strConnection = QStringLiteral("morvek-%1").arg(g_nextConnection.fetchAndAddRelaxed(1));
    m_bCreated = false;
    m_bInTrans = false;
    m_strPath = uri;
    m_bReadOnly = false;
    m_bServer = true;
    const CDatabaseCheck::SFinding found = CServerDatabase::Connect(m_strConnection, uri);
    if (!found.Ok()) {
        Close();
        throw CDatabaseCheck::OpenFailure(uri, found);
    }
}

void CDaoDatabase::Connect(const QString &path, bool readOnly)
{
    m_strConnection = QStringLiteral("morvek-%1").arg(g_nextConnection.fetchAndAddRelaxed(1));
    m_bCreated = false;
    m_bInTrans = false;
    m_strPath = path;
    m_bReadOnly = readOnly;
    m_bServer = false;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnection);
    if (!db.isValid()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        Close();
        throw CDaoException(QStringLiteral("データベースエンジンを初期化できません。"), text);
    }
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(g_busyTimeout);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const CDaoException error = CDatabaseCheck::OpenFailure(path, CDatabaseCheck::FromSqlError(db.lastError()));
        db = QSqlDatabase();
        Close();
        throw error;
    }
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_pHandle = *static_cast<sqlite3 *const *>(handle.constData());
}

// SQLite opens anything lazily; the first read tells a database of ours from other bytes.
void CDaoDatabase::CheckReadable()
{
    const CDatabaseCheck::SFinding found = CDatabaseCheck::InspectConnection(Connection());
    if (!found.Ok())
        throw CDatabaseCheck::OpenFailure(m_strPath, found);
}

void CDaoDatabase::Close()
{
    if (m_strConnection.isEmpty())
        return;
    // Statements go before their connection: the engine will not close under them.
    m_idleStatements.clear();
    for (CDaoStatement *statement : std::exchange(m_live, {}))
        statement->Detach();
    m_pHandle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_strConnection);
    m_strConnection.clear();
    m_widths.clear();
}

void CDaoDatabase::Execute(const QString &sql, int options)
{
    CDaoQueryDef query(this);
    query.Create(QString(), sql);
    query.Execute(options);
    query.Close();
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
        QSqlQuery q(db);
        const bool done = values.isEmpty() ? q.exec(ToEngine(sql)) : q.prepare(ToEngine(sql)) && [&] {
            for (int i = 0; i < values.size(); ++i)
                q.bindValue(i, values[i]);
            return q.exec();
        }();
        if (!done) {
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
    static const QRegularExpression re(QStringLiteral("CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                       QRegularExpression::CaseInsensitiveOption);
    if (m_bServer)
        return *m_widths.insert(table, CServerDatabase::ColumnWidths(Connection(), table));
    QHash<QString, int> widths;
    QSqlQuery q(Connection());
    if (!q.exec(QStringLiteral("PRAGMA table_info([%1])").arg(table)))
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースの読み取りに失敗しました。"));
    while (q.next()) {
        const auto match = re.match(q.value(2).toString());
        if (match.hasMatch())
            widths.insert(q.value(1).toString(), match.captured(1).toInt());
    }
    return *m_widths.insert(table, widths);
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
    if (!db.transaction())
        throw CDaoException::FromSql(db.lastError(), QStringLiteral("データベースの更新を始められません。"));
    m_bInTrans = true;
}

void CDaoDatabase::CommitTrans()
{
    m_bInTrans = false;
    QSqlDatabase db = Connection();
    if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(), QStringLiteral("データベースの更新に失敗しました。"));
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
