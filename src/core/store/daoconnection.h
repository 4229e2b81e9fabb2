#pragma once

#include "store/databasefinding.h"

#include <QString>
#include <memory>
#include <unordered_set>

class CDaoBackend;
class CEngineStatement;
class QSqlDatabase;

// Qt's connection to one engine under a name of its own, and the statements
// prepared on it: closing ends them first, since the engine will not close under them.
class CDaoConnection
{
public:
    CDaoConnection(const CDaoConnection &) = delete;
    CDaoConnection &operator=(const CDaoConnection &) = delete;

    QSqlDatabase Connection() const;
    bool IsOpen() const;
    // The engine, asked for what differs between engines; a file's until a connection says otherwise.
    const CDaoBackend &Backend() const { return *m_pBackend; }
    // A statement in the program's dialect, as this connection's engine reads it.
    QString ToEngine(const QString &sql) const;
    // Prepares sql, in the program's dialect, on this connection; it lives until
    // its owner lets it go (Forget) or the connection closes. Throws CDaoException.
    std::unique_ptr<CEngineStatement> Prepare(const QString &sql);
    void Forget(CEngineStatement *statement) { m_live.erase(statement); }

protected:
    CDaoConnection();
    ~CDaoConnection();

    // Opens Qt's connection to name through backend. A failure to reach the
    // database comes back as a finding, still linked: Unlink ends it.
    SDatabaseFinding Link(const CDaoBackend &backend, const QString &name, bool readOnly, int busyTimeout);
    // Ends the statements, then the connection; nothing when none is open.
    void Unlink();
    bool IsLinked() const { return !m_strConnection.isEmpty(); }

private:
    const CDaoBackend *m_pBackend;
    QString m_strConnection;
    std::unordered_set<CEngineStatement *> m_live;
};
