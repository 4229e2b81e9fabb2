#include "store/sqlitestatement.h"

#include "store/daoexception.h"

#include <QSqlError>
#include <sqlite3.h>

static_assert(int(CEngineStatement::EType::Integer) == SQLITE_INTEGER && int(CEngineStatement::EType::Float) == SQLITE_FLOAT
              && int(CEngineStatement::EType::Text) == SQLITE_TEXT && int(CEngineStatement::EType::Blob) == SQLITE_BLOB
              && int(CEngineStatement::EType::Null) == SQLITE_NULL);

namespace {
int BindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
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

CSqliteStatement::CSqliteStatement(sqlite3 *handle, const QString &sql)
    : m_pHandle(handle)
{
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v3(handle, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_pStmt,
                                      &tail);
    if (rc != SQLITE_OK)
        Fail(rc, ReadFailed());
    if (!m_pStmt || (tail && !QByteArray(tail).trimmed().isEmpty())) {
        sqlite3_finalize(m_pStmt);
        m_pStmt = nullptr;
        throw CDaoException(ReadFailed(), QStringLiteral("one statement expected: ") + sql);
    }
}

CSqliteStatement::~CSqliteStatement()
{
    Detach();
}

void CSqliteStatement::Detach()
{
    sqlite3_finalize(m_pStmt);
    m_pStmt = nullptr;
    m_pHandle = nullptr;
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
}

void CSqliteStatement::Fail(int code, const QString &context)
{
    sqlite3 *handle = m_pStmt ? sqlite3_db_handle(m_pStmt) : m_pHandle;
    const QString text = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(code));
    if (m_pStmt)
        sqlite3_reset(m_pStmt);
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
    throw CDaoException::FromSql(QSqlError(QString(), text, QSqlError::StatementError, QString::number(code)),
                                 context.isEmpty() ? ReadFailed() : context);
}

void CSqliteStatement::Bind(int index, const QVariant &value)
{
    if (!m_pStmt)
        ThrowDetached();
    if (m_bActive)
        Finish();
    const int rc = IsNullValue(value) ? sqlite3_bind_null(m_pStmt, index + 1) : BindValue(m_pStmt, index + 1, value);
    if (rc != SQLITE_OK)
        Fail(rc, ReadFailed());
}

void CSqliteStatement::Exec(const QString &context)
{
    if (!m_pStmt)
        ThrowDetached();
    m_nRowsAffected = -1;
    m_nLastInsertId = -1;
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

void CSqliteStatement::Step(const QString &context)
{
    m_bActive = true;
    const int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_ROW)
        return;
    if (rc != SQLITE_DONE)
        Fail(rc, context);
    m_bDone = true;
}

bool CSqliteStatement::Next()
{
    if (!m_pStmt)
        ThrowDetached();
    if (m_bFirstRow) {
        m_bFirstRow = false;
        return true;
    }
    if (m_bDone)
        return false;
    Step(ReadFailed());
    return !m_bDone;
}

void CSqliteStatement::Finish()
{
    if (m_pStmt && m_bActive)
        sqlite3_reset(m_pStmt);
    m_bActive = m_bFirstRow = false;
    m_bDone = true;
}

CEngineStatement::EType CSqliteStatement::Type(int column) const
{
    return EType(sqlite3_column_type(m_pStmt, column));
}

qint64 CSqliteStatement::Int64(int column) const
{
    return sqlite3_column_int64(m_pStmt, column);
}

QVariant CSqliteStatement::Value(int column) const
{
    switch (sqlite3_column_type(m_pStmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_pStmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_pStmt, column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_pStmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_pStmt, column)));
    }
    case SQLITE_NULL:
        return {};
    default:
        return QVariant(Text(column));
    }
}

QString CSqliteStatement::Text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_pStmt, column));
    if (!text)
        return {};
    // An empty text is not NULL, and is written back as it was.
    const int size = sqlite3_column_bytes(m_pStmt, column);
    return size ? QString::fromUtf8(text, size) : QStringLiteral("");
}
