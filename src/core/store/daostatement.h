#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <sqlite3.h>

class CDaoDatabase;
class QSqlQuery;

// One prepared statement on one connection, run again and again. On a file it
// steps SQLite itself: Qt's driver describes every column again on each run,
// which costs more than reading a row. On a server it goes through Qt's driver.
// A statement outlives neither its connection's close nor its database: both
// end it, and it then refuses to run.
class CDaoStatement final
{
public:
    // sql is in the program's dialect. Throws CDaoException when it cannot be prepared.
    CDaoStatement(CDaoDatabase &database, const QString &sql);
    ~CDaoStatement();
    CDaoStatement(const CDaoStatement &) = delete;
    CDaoStatement &operator=(const CDaoStatement &) = delete;

    // Values bind as Qt's drivers bind them: a null QString or QByteArray is NULL.
    void Bind(int index, const QVariant &value);
    // Runs it, up to its first row; failures throw, led by context when given.
    void Exec(const QString &context = {});
    bool Next();
    // Ends a run early, so that no read lock outlasts it.
    void Finish();

    // The current row's columns, as Qt's drivers give them, except that NULL is
    // an empty variant: rows are read far more often than they are looked at.
    QVariant Value(int column) const;
    // SQLite's own codes, so that asking a file costs one call: rows load column by column.
    enum class EType { Integer = SQLITE_INTEGER, Float = SQLITE_FLOAT, Text = SQLITE_TEXT, Blob = SQLITE_BLOB, Null = SQLITE_NULL };
    EType Type(int column) const
    {
        return m_query ? ServerType(column) : EType(sqlite3_column_type(m_pStmt, column));
    }
    qint64 Int64(int column) const
    {
        return m_query ? ServerValue(column).toLongLong() : sqlite3_column_int64(m_pStmt, column);
    }
    QString Text(int column) const;

    qint64 RowsAffected() const;
    // Asked only after an insert: on a server, Qt's driver runs a query for it,
    // which would end a statement still giving rows.
    qint64 LastInsertId() const;

    // The connection is closing: frees what the engine holds for this statement.
    void Detach();
    // Throws once the connection has closed under the statement.
    void RequireAttached() const;

private:
    [[noreturn]] void Fail(int code, const QString &context);
    void Step(const QString &context);

    CDaoDatabase *m_pDatabase;
    sqlite3_stmt *m_pStmt = nullptr;
    std::unique_ptr<QSqlQuery> m_query;
    // A server's driver converts a column anew on every look: loading asks its type, then its value.
    const QVariant &ServerValue(int column) const;
    EType ServerType(int column) const;
    mutable QVariant m_cached;
    mutable int m_nCachedColumn = -1;
    qint64 m_nRowsAffected = -1;
    qint64 m_nLastInsertId = -1;
    bool m_bActive = false;     // stepped since the last reset
    bool m_bFirstRow = false;   // Exec already stands on a row Next has not given yet
    bool m_bDone = true;
};
