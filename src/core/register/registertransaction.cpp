#include "register/registertransaction.h"

#include "register/register.h"

void CRegisterTransaction::Commit()
{
    m_transaction.Commit();
    const QList<SRegisterChange> changes = std::exchange(m_changes, {});
    for (const SRegisterChange &change : changes)
        CRegister::Instance().Notify(change);
}
