#include "register/register.h"

#include "store/daodatabasepool.h"
#include "store/daorecordset.h"

CRegister &CRegister::Instance()
{
    static CRegister *instance = [] {
        qRegisterMetaType<SRegisterChange>();
        return new CRegister;
    }();
    return *instance;
}

void CRegister::Notify(const SRegisterChange &change)
{
    emit Changed(change);
}

std::shared_ptr<CDaoDatabase> CRegister::Connection()
{
    return CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
}
