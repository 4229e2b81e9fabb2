#pragma once

#include "store/enginestatement.h"

#include <QString>
#include <QVariant>
#include <memory>

class CDaoConnection;

// One prepared statement on one connection, run again and again, as the
// connection's engine runs it (CEngineStatement). A statement outlives neither
// its connection's close nor its database: both end it, and it then refuses to run.
class CDaoStatement final
{
public:
    // sql is in the program's dialect. Throws CDaoException when it cannot be prepared.
    CDaoStatement(CDaoConnection &connection, const QString &sql);
    ~CDaoStatement();
    CDaoStatement(const CDaoStatement &) = delete;
    CDaoStatement &operator=(const CDaoStatement &) = delete;

    // Values bind as Qt's drivers bind them: a null QString or QByteArray is NULL.
    void Bind(int index, const QVariant &value) { m_engine->Bind(index, value); }
    // Runs it, up to its first row; failures throw, led by context when given.
    void Exec(const QString &context = {}) { m_engine->Exec(context); }
    bool Next() { return m_engine->Next(); }
    // Ends a run early, so that no read lock outlasts it.
    void Finish() { m_engine->Finish(); }

    // The current row's columns, as Qt's drivers give them, except that NULL is
    // an empty variant: rows are read far more often than they are looked at.
    QVariant Value(int column) const { return m_engine->Value(column); }
    using EType = CEngineStatement::EType;
    EType Type(int column) const { return m_engine->Type(column); }
    qint64 Int64(int column) const { return m_engine->Int64(column); }
    QString Text(int column) const { return m_engine->Text(column); }

    qint64 RowsAffected() const { return m_engine->RowsAffected(); }
    // Asked only after an insert whose text ends with its backend's ReturningKey(),
    // before anything else runs on the connection.
    qint64 LastInsertId() const { return m_engine->LastInsertId(); }

    // Frees what the engine holds for this statement; closing its connection does the same.
    void Detach();
    // Throws once the connection has closed under the statement.
    void RequireAttached() const;

private:
    CDaoConnection *m_pConnection;
    std::unique_ptr<CEngineStatement> m_engine;
};
