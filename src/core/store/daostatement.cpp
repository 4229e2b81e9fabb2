#include "store/daostatement.h"

#include "store/daoconnection.h"
#include "store/daoexception.h"

CDaoStatement::CDaoStatement(CDaoConnection &connection, const QString &sql)
    : m_pConnection(&connection)
    , m_engine(connection.Prepare(sql))
{
}

CDaoStatement::~CDaoStatement()
{
    // A detached engine was already let go by its connection, which may be gone.
    if (m_engine->IsAttached())
        m_pConnection->Forget(m_engine.get());
}

void CDaoStatement::Detach()
{
    if (!m_engine->IsAttached())
        return;
    m_pConnection->Forget(m_engine.get());
    m_engine->Detach();
}

void CDaoStatement::RequireAttached() const
{
    if (!m_engine->IsAttached())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
}
