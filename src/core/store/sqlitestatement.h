#pragma once

#include "store/enginestatement.h"

struct sqlite3;
struct sqlite3_stmt;

// A statement on a file, stepped through SQLite's own interface: Qt's driver
// describes every column again on each run, which costs more than reading a row.
class CSqliteStatement final : public CEngineStatement
{
public:
    // sql is in SQLite's dialect. Throws CDaoException when it cannot be prepared.
    CSqliteStatement(sqlite3 *handle, const QString &sql);
    ~CSqliteStatement() override;

    void Bind(int index, const QVariant &value) override;
    void Exec(const QString &context) override;
    bool Next() override;
    void Finish() override;

    QVariant Value(int column) const override;
    EType Type(int column) const override;
    qint64 Int64(int column) const override;
    QString Text(int column) const override;

    qint64 RowsAffected() const override { return m_nRowsAffected; }
    qint64 LastInsertId() const override { return m_nLastInsertId; }

    void Detach() override;
    bool IsAttached() const override { return m_pStmt != nullptr; }

private:
    [[noreturn]] void Fail(int code, const QString &context);
    void Step(const QString &context);

    sqlite3 *m_pHandle;
    sqlite3_stmt *m_pStmt = nullptr;
    qint64 m_nRowsAffected = -1;
    qint64 m_nLastInsertId = -1;
    bool m_bActive = false;   // stepped since the last reset
    bool m_bFirstRow = false; // Exec already stands on a row Next has not given yet
    bool m_bDone = true;
};
