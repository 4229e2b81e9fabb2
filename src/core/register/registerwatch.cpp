#include "register/registerwatch.h"

#include "register/changepayload.h"
#include "register/nameindex.h"
#include "register/register.h"
#include "store/changechannel.h"
#include "store/daobackend.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"

CRegisterWatch::CRegisterWatch()
{
    m_poll.setInterval(kPollMilliseconds);
    m_retry.setSingleShot(true);
    connect(&m_poll, &QTimer::timeout, this, &CRegisterWatch::Poll);
    connect(&m_retry, &QTimer::timeout, this, &CRegisterWatch::Retry);
    m_poll.start();
}

CRegisterWatch::~CRegisterWatch() = default;

void CRegisterWatch::Poll()
{
    const QString path = CDaoRecordset::ApplicationDatabasePath();
    if (m_pChannel && path == m_strPath) {
        if (!m_pChannel->Poll())
            return Lose();
        if (CDaoDatabasePool::IsCurrent(m_pChannel->Database(), path))
            return;
    }
    // The connection heard on before: what it missed since is not known.
    const bool had = m_pChannel && path == m_strPath;
    m_pChannel.reset();
    m_strPath = path;
    if (path.isEmpty())
        return;
    try {
        Attach(path);
    } catch (const CDaoException &error) {
        if (error.Problem() == EDatabaseProblem::serverUnreachable)
            Lose();
        return; // a file that cannot be opened now is tried again at the next look
    }
    if (had)
        TellEverything();
}

void CRegisterWatch::Attach(const QString &path)
{
    std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(path);
    const CDaoBackend &backend = db->Backend();
    m_pChannel = backend.Listen(std::move(db));
    connect(m_pChannel.get(), &CChangeChannel::Arrived, this, &CRegisterWatch::OnArrived);
}

void CRegisterWatch::Lose()
{
    m_pChannel.reset();
    // Record sets still holding the broken connection open a new one at their next read.
    CDaoDatabasePool::Release(m_strPath);
    m_poll.stop();
    m_nRetryMilliseconds = kFirstRetryMilliseconds;
    m_retry.start(m_nRetryMilliseconds);
    CRegister::Instance().SetConnected(false);
}

void CRegisterWatch::Retry()
{
    m_strPath = CDaoRecordset::ApplicationDatabasePath();
    try {
        if (!m_strPath.isEmpty())
            Attach(m_strPath);
    } catch (const CDaoException &) {
        m_nRetryMilliseconds = qMin(m_nRetryMilliseconds * 2, kLastRetryMilliseconds);
        m_retry.start(m_nRetryMilliseconds);
        return;
    }
    m_poll.start();
    CRegister::Instance().SetConnected(true);
    TellEverything();
}

void CRegisterWatch::OnArrived(const QString &payload)
{
    const QList<SRegisterChange> changes = CChangePayload::Decode(payload);
    for (const SRegisterChange &change : changes) {
        if (change.kind == SRegisterChange::EKind::everything)
            CNameIndex::Instance().Forget();
        CRegister::Instance().Notify(change);
    }
}

void CRegisterWatch::TellEverything()
{
    CNameIndex::Instance().Forget();
    CRegister::Instance().Notify({SRegisterChange::EKind::everything, {}, 0, true});
}
