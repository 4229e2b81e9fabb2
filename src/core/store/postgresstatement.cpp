#include "store/postgresstatement.h"

#include "store/daoexception.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

CPostgresStatement::CPostgresStatement(const QSqlDatabase &db, const QString &sql)
    : m_query(std::make_unique<QSqlQuery>(db))
{
    m_query->setForwardOnly(true);
    if (!m_query->prepare(sql))
        throw CDaoException::FromSql(m_query->lastError(), ReadFailed());
}

CPostgresStatement::~CPostgresStatement() = default;

void CPostgresStatement::Detach()
{
    m_query.reset();
    m_nCachedColumn = -1;
}

void CPostgresStatement::Bind(int index, const QVariant &value)
{
    if (!m_query)
        ThrowDetached();
    m_nCachedColumn = -1;
    m_query->bindValue(index, value);
}

void CPostgresStatement::Exec(const QString &context)
{
    if (!m_query)
        ThrowDetached();
    m_nCachedColumn = -1;
    if (!m_query->exec())
        throw CDaoException::FromSql(m_query->lastError(), context.isEmpty() ? ReadFailed() : context);
}

bool CPostgresStatement::Next()
{
    if (!m_query)
        ThrowDetached();
    m_nCachedColumn = -1;
    return m_query->next();
}

void CPostgresStatement::Finish()
{
    m_nCachedColumn = -1;
    if (m_query)
        m_query->finish();
}

qint64 CPostgresStatement::RowsAffected() const
{
    return m_query ? m_query->numRowsAffected() : -1;
}

qint64 CPostgresStatement::LastInsertId() const
{
    if (!m_query)
        return -1;
    m_nCachedColumn = -1;
    return m_query->next() ? m_query->value(0).toLongLong() : -1;
}

const QVariant &CPostgresStatement::Cached(int column) const
{
    if (m_nCachedColumn != column) {
        m_cached = m_query->value(column);
        m_nCachedColumn = column;
    }
    return m_cached;
}

CEngineStatement::EType CPostgresStatement::Type(int column) const
{
    const QVariant &value = Cached(column);
    if (IsNullValue(value))
        return EType::Null;
    switch (value.typeId()) {
    case QMetaType::QString:
        return EType::Text;
    case QMetaType::QByteArray:
        return EType::Blob;
    case QMetaType::Double:
    case QMetaType::Float:
        return EType::Float;
    default:
        return value.canConvert<qlonglong>() ? EType::Integer : EType::Text;
    }
}

qint64 CPostgresStatement::Int64(int column) const
{
    return Cached(column).toLongLong();
}

QString CPostgresStatement::Text(int column) const
{
    return Cached(column).toString();
}
