#include "register/registertransaction.h"

#include "register/register.h"
#include "store/daodatabasepool.h"
#include "store/daorecordset.h"

namespace {
CRegisterTransaction::BegunHook &Hook()
{
    static CRegisterTransaction::BegunHook hook;
    return hook;
}
} // namespace

CRegisterTransaction::CRegisterTransaction()
    // The transaction holds the shared connection, so the pool hands out that one.
    : m_pDatabase(CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath()))
{
    // A copy: the hook may put another in its place.
    if (const BegunHook hook = Hook())
        hook();
}

void CRegisterTransaction::SetBegunHook(BegunHook hook)
{
    Hook() = std::move(hook);
}

void CRegisterTransaction::Commit()
{
    m_transaction.Commit();
    const QList<SRegisterChange> changes = std::exchange(m_changes, {});
    for (const SRegisterChange &change : changes)
        CRegister::Instance().Notify(change);
}
