#include "register/register.h"

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
