#include "backup/integritycheck.h"

#include "backup/databasebackup.h"

#include <QEventLoop>
#include <QMutexLocker>
#include <QThread>

#include <sqlite3.h>

CIntegrityCheck::CIntegrityCheck(QObject *parent)
    : QObject(parent)
{
}

CIntegrityCheck::~CIntegrityCheck()
{
    Cancel();
}

void CIntegrityCheck::Start(const QString &path)
{
    Cancel();
    m_strPath = path;
    m_strDamage.clear();
    m_strResult.clear();
    m_bCancelled = false;
    m_state = EState::running;
    m_pThread = QThread::create([this, path] {
        m_strResult = CDatabaseBackup::Damage(path, [this](sqlite3 *handle) {
            QMutexLocker locker(&m_handleMutex);
            m_pHandle = handle;
            if (handle && m_bCancelled)
                sqlite3_interrupt(handle);
        });
    });
    connect(m_pThread, &QThread::finished, this, &CIntegrityCheck::OnThreadDone);
    m_pThread->start(QThread::LowPriority);
}

void CIntegrityCheck::OnThreadDone()
{
    if (!m_pThread)
        return;
    m_pThread->wait();
    delete m_pThread;
    m_pThread = nullptr;
    if (m_bCancelled) {
        m_state = EState::idle;
        return;
    }
    m_strDamage = m_strResult.trimmed();
    m_state = m_strDamage.isEmpty() ? EState::sound : EState::damaged;
    emit finished(m_strPath, m_strDamage);
}

void CIntegrityCheck::Wait()
{
    if (m_state != EState::running)
        return;
    QEventLoop loop;
    connect(this, &CIntegrityCheck::finished, &loop, &QEventLoop::quit);
    // The thread may have ended before the loop began; its queued signal still arrives.
    if (m_state == EState::running)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CIntegrityCheck::Cancel()
{
    if (!m_pThread)
        return;
    {
        QMutexLocker locker(&m_handleMutex);
        m_bCancelled = true;
        if (m_pHandle)
            sqlite3_interrupt(m_pHandle);
    }
    m_pThread->wait();
    OnThreadDone();
}
