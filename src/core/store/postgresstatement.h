#pragma once

#include "store/enginestatement.h"

#include <memory>

class QSqlDatabase;
class QSqlQuery;

// A statement on a PostgreSQL server, through Qt's QPSQL driver.
class CPostgresStatement final : public CEngineStatement
{
public:
    // sql is in the server's dialect. Throws CDaoException when it cannot be prepared.
    CPostgresStatement(const QSqlDatabase &db, const QString &sql);
    ~CPostgresStatement() override;

    void Bind(int index, const QVariant &value) override;
    void Exec(const QString &context) override;
    bool Next() override;
    void Finish() override;

    QVariant Value(int column) const override { return Cached(column); }
    EType Type(int column) const override;
    qint64 Int64(int column) const override;
    QString Text(int column) const override;

    qint64 RowsAffected() const override;
    // The key an insert gave back: its text ends with the backend's ReturningKey().
    qint64 LastInsertId() const override;

    void Detach() override;
    bool IsAttached() const override { return m_query != nullptr; }

private:
    // The driver converts a column anew on every look: loading asks its type, then its value.
    const QVariant &Cached(int column) const;

    std::unique_ptr<QSqlQuery> m_query;
    mutable QVariant m_cached;
    mutable int m_nCachedColumn = -1;
};
