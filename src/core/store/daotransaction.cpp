#include "store/daotransaction.h"

#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daorecordset.h"

CDaoTransaction::CDaoTransaction()
    // Held while the transaction stands, so the sets opened meanwhile get this connection.
    : m_pDatabase(CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath()))
{
    m_pDatabase->BeginTrans();
    m_bOpen = true;
}

CDaoTransaction::~CDaoTransaction()
{
    if (m_bOpen)
        m_pDatabase->Rollback();
}

void CDaoTransaction::Commit()
{
    // A commit that fails has rolled back already.
    m_bOpen = false;
    m_pDatabase->CommitTrans();
}
