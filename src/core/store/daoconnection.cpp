#include "store/daoconnection.h"

#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/enginestatement.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <utility>

namespace {
QAtomicInt g_nextConnection;
} // namespace

CDaoConnection::CDaoConnection()
    : m_pBackend(&CDaoBackends::For(QString()))
{
}

CDaoConnection::~CDaoConnection()
{
    Unlink();
}

QSqlDatabase CDaoConnection::Connection() const
{
    return QSqlDatabase::database(m_strConnection, false);
}

bool CDaoConnection::IsOpen() const
{
    return !m_strConnection.isEmpty() && Connection().isOpen();
}

QString CDaoConnection::ToEngine(const QString &sql) const
{
    return m_pBackend->ToEngine(sql);
}

std::unique_ptr<CEngineStatement> CDaoConnection::Prepare(const QString &sql)
{
    auto statement = m_pBackend->Prepare(Connection(), ToEngine(sql));
    m_live.insert(statement.get());
    return statement;
}

SDatabaseFinding CDaoConnection::Link(const CDaoBackend &backend, const QString &name, bool readOnly, int busyTimeout)
{
    Unlink();
    m_pBackend = &backend;
    m_strConnection = QStringLiteral("morvek-%1").arg(g_nextConnection.fetchAndAddRelaxed(1));
    try {
        return backend.Connect(m_strConnection, name, readOnly, busyTimeout);
    } catch (...) {
        Unlink();
        throw;
    }
}

void CDaoConnection::Unlink()
{
    if (m_strConnection.isEmpty())
        return;
    for (CEngineStatement *statement : std::exchange(m_live, {}))
        statement->Detach();
    {
        QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_strConnection);
    m_strConnection.clear();
}
