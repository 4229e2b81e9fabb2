#include "register/register.h"

#include "register/registerwatch.h"

#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/databasefault.h"
#include "store/daorecordset.h"

#include <QCoreApplication>

CRegister &CRegister::Instance()
{
    static CRegister *instance = [] {
        qRegisterMetaType<SRegisterChange>();
        return new CRegister;
    }();
    return *instance;
}

CRegister::CRegister() = default;

CRegister::~CRegister() = default;

void CRegister::Notify(const SRegisterChange &change)
{
    emit Changed(change);
}

std::shared_ptr<CDaoDatabase> CRegister::Connection()
{
    return CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
}

void CRegister::Watch()
{
    if (m_pWatch)
        return;
    m_pWatch = std::make_unique<CRegisterWatch>();
    // Its connection goes while Qt's drivers are still loaded.
    static const bool cleanup = [] {
        qAddPostRoutine([] { Instance().StopWatching(); });
        return true;
    }();
    Q_UNUSED(cleanup);
}

void CRegister::StopWatching()
{
    m_pWatch.reset();
    SetConnected(true);
}

void CRegister::SetConnected(bool connected)
{
    if (std::exchange(m_bConnected, connected) != connected)
        emit ConnectionChanged(connected);
}

QString CRegister::LostText()
{
    return CDatabaseFault::LostText();
}

CDaoException CRegister::LostError()
{
    return CDaoException(LostText()).WithProblem(EDatabaseProblem::serverUnreachable);
}

void CRegister::RefuseWhenLost()
{
    if (!Instance().IsConnected())
        throw LostError();
}

QString CRegister::Explain(const CDaoException &error)
{
    if (!Instance().IsConnected() || error.Problem() == EDatabaseProblem::serverUnreachable)
        return LostText();
    return error.GetErrorMessage();
}
