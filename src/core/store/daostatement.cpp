#include "store/daostatement.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <sqlite3.h>

namespace {
QString ReadFailed() { return QStringLiteral("データベースの読み取りに失敗しました。"); }

// What Qt's drivers write as NULL: besides an empty variant, a null string,
// byte array or date, so that a cleared text member is stored as NULL.
bool IsNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString: return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate: return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime: return static_cast<const QTime *>(value.constData())->isNull();
    case QMetaType::QDateTime: return static_cast<const QDateTime *>(value.constData())->isNull();
    default: return false;
    }
}

int BindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (IsNullValue(value))
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob64(stmt, index, bytes->constData(), sqlite3_uint64(bytes->size()), SQLITE_TRANSIENT);
    }
    default: {
        const QString text = value.toString();
        return sqlite3_bind_text16(stmt, index, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT);
    }
    }
}
} // namespace

CDaoStatement::CDaoStatement(CDaoDatabase &database, const QString &sql)
    : m_pDatabase(&database)
{
    const QString text = database.ToEngine(sql);
    if (sqlite3 *handle = database.Handle()) {
        const QByteArray utf8 = text.toUtf8();
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v3(handle, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                          &m_pStmt, &tail);
        if (rc != SQLITE_OK)
            Fail(rc, ReadFailed());
        if (!m_pStmt || (tail && !QByteArray(tail).trimmed().isEmpty())) {
            sqlite3_finalize(m_pStmt);
            m_pStmt = nullptr;
            throw CDaoException(ReadFailed(), QStringLiteral("one statement expected: ") + text);
        }
    } else {
        m_query = std::make_unique<QSqlQuery>(database.Connection());
        m_query->setForwardOnly(true);
        if (!m_query->prepare(text))
            throw CDaoException::FromSql(m_query->lastError(), ReadFailed());
    }
    database.Attach(this);
}

CDaoStatement::~CDaoStatement()
{
    if (m_pDatabase)
        m_pDatabase->Detach(this);
    Detach();
}

void CDaoStatement::Detach()
{
    sqlite3_finalize(m_pStmt);
    m_pStmt = nullptr;
    m_query.reset();
    m_pDatabase = nullptr;
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
}

void CDaoStatement::RequireAttached() const
{
    if (!m_pStmt && !m_query)
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
}

void CDaoStatement::Fail(int code, const QString &context)
{
    sqlite3 *handle = m_pStmt ? sqlite3_db_handle(m_pStmt) : (m_pDatabase ? m_pDatabase->Handle() : nullptr);
    const QString text = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(code));
    if (m_pStmt)
        sqlite3_reset(m_pStmt);
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
    throw CDaoException::FromSql(QSqlError(QString(), text, QSqlError::StatementError, QString::number(code)),
                                 context.isEmpty() ? ReadFailed() : context);
}

void CDaoStatement::Bind(int index, const QVariant &value)
{
    RequireAttached();
    if (m_query) {
        m_nCachedColumn = -1;
        m_query->bindValue(index, value);
        return;
    }
    if (m_bActive)
        Finish();
    const int rc = BindValue(m_pStmt, index + 1, value);
    if (rc != SQLITE_OK)
        Fail(rc, ReadFailed());
}

void CDaoStatement::Exec(const QString &context)
{
    RequireAttached();
    m_nRowsAffected = -1;
    m_nLastInsertId = -1;
    if (m_query) {
        m_nCachedColumn = -1;
        if (!m_query->exec())
            throw CDaoException::FromSql(m_query->lastError(), context.isEmpty() ? ReadFailed() : context);
        return;
    }
    if (m_bActive)
        sqlite3_reset(m_pStmt);
    m_bDone = false;
    Step(context);
    m_bFirstRow = !m_bDone;
    if (m_bDone) {
        sqlite3 *handle = sqlite3_db_handle(m_pStmt);
        m_nRowsAffected = sqlite3_changes(handle);
        m_nLastInsertId = sqlite3_last_insert_rowid(handle);
    }
}

void CDaoStatement::Step(const QString &context)
{
    m_bActive = true;
    const int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_ROW)
        return;
    if (rc != SQLITE_DONE)
        Fail(rc, context);
    m_bDone = true;
}

qint64 CDaoStatement::RowsAffected() const
{
    return m_query ? m_query->numRowsAffected() : m_nRowsAffected;
}

qint64 CDaoStatement::LastInsertId() const
{
    return m_query ? m_query->lastInsertId().toLongLong() : m_nLastInsertId;
}

bool CDaoStatement::Next()
{
    RequireAttached();
    if (m_query) {
        m_nCachedColumn = -1;
        return m_query->next();
    }
    if (m_bFirstRow) {
        m_bFirstRow = false;
        return true;
    }
    if (m_bDone || !m_pStmt)
        return false;
    Step(ReadFailed());
    return !m_bDone;
}

void CDaoStatement::Finish()
{
    if (m_query) {
        m_nCachedColumn = -1;
        m_query->finish();
        return;
    }
    if (m_pStmt && m_bActive)
        sqlite3_reset(m_pStmt);
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
}

const QVariant &CDaoStatement::ServerValue(int column) const
{
    if (m_nCachedColumn != column) {
        m_cached = m_query->value(column);
        m_nCachedColumn = column;
    }
    return m_cached;
}

QVariant CDaoStatement::Value(int column) const
{
    if (m_query)
        return ServerValue(column);
    switch (sqlite3_column_type(m_pStmt, column)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(m_pStmt, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_pStmt, column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_pStmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_pStmt, column)));
    }
    case SQLITE_NULL: return {};
    default: return QVariant(Text(column));
    }
}

CDaoStatement::EType CDaoStatement::ServerType(int column) const
{
    const QVariant &value = ServerValue(column);
    if (IsNullValue(value))
        return EType::Null;
    switch (value.typeId()) {
    case QMetaType::QString: return EType::Text;
    case QMetaType::QByteArray: return EType::Blob;
    case QMetaType::Double:
    case QMetaType::Float: return EType::Float;
    default: return value.canConvert<qlonglong>() ? EType::Integer : EType::Text;
    }
}

QString CDaoStatement::Text(int column) const
{
    if (m_query)
        return ServerValue(column).toString();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_pStmt, column));
    if (!text)
        return {};
    // An empty text is not NULL, and is written back as it was.
    const int size = sqlite3_column_bytes(m_pStmt, column);
    return size ? QString::fromUtf8(text, size) : QStringLiteral("");
}
