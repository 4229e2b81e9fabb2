#include "daodatabase.h"

#include "databasecheck.h"
#include "daoexception.h"
#include "daoquerydef.h"
#include "jetdialect.h"
#include "schemaupgrade.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt g_nextConnection;
int g_busyTimeout = 5000;

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

QSqlDatabase CDaoDatabase::Connection() const
{
    return QSqlDatabase::database(m_strConnection, false);
}

bool CDaoDatabase::IsOpen() const
{
    return !m_strConnection.isEmpty() && Connection().isOpen();
}

void CDaoDatabase::Create(const QString &path, const QString &locale, int options)
{
    Q_UNUSED(locale);
    Q_UNUSED(options);
    Close();
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

void CDaoDatabase::Connect(const QString &path, bool readOnly)
{
    m_strConnection = QStringLiteral("morvek-%1").arg(g_nextConnection.fetchAndAddRelaxed(1));
    m_strPath = path;
    m_bReadOnly = readOnly;
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
    {
        QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_strConnection);
    m_strConnection.clear();
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
    Q_UNUSED(options); // every change here is all or nothing
    if (!IsOpen())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    QSqlDatabase db = Connection();
    const QString context = QStringLiteral("データベースの更新に失敗しました。");
    if (!db.transaction())
        throw CDaoException::FromSql(db.lastError(), context);
    int affected = 0;
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(CJetDialect::ToSqlite(sql))) {
            const CDaoException error = CDaoException::FromSql(q.lastError(), context);
            q.finish();
            db.rollback();
            throw error;
        }
        affected += qMax(0, q.numRowsAffected());
    }
    if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(), context);
        db.rollback();
        throw error;
    }
    return affected;
}

void CDaoDatabase::BeginTrans()
{
    if (!IsOpen())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    QSqlDatabase db = Connection();
    if (!db.transaction())
        throw CDaoException::FromSql(db.lastError(), QStringLiteral("データベースの更新を始められません。"));
}

void CDaoDatabase::CommitTrans()
{
    QSqlDatabase db = Connection();
    if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(), QStringLiteral("データベースの更新に失敗しました。"));
        db.rollback();
        throw error;
    }
}

void CDaoDatabase::Rollback()
{
    if (IsOpen())
        Connection().rollback();
}
