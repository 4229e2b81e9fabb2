#include "backup/integritycheck.h"

#include "backup/databasebackup.h"

#include <QEventLoop>
#include <QHash>
#include <QMutexLocker>
#include <QThread>
#include <utility>

#include <sqlite3.h>

namespace {
// A quick check is one long step that SQLite 3.40 does not interrupt: to stop it,
// the check's own file is made to fail its reads once asked to stop.
QMutex g_filesMutex;
QHash<sqlite3_file *, const std::atomic<bool> *> g_stops;
const sqlite3_io_methods *g_pPlain = nullptr;
sqlite3_io_methods g_stoppable;

int StoppableRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    {
        QMutexLocker locker(&g_filesMutex);
        if (const std::atomic<bool> *stop = g_stops.value(file); stop && stop->load())
            return SQLITE_IOERR_READ;
    }
    return g_pPlain->xRead(file, buffer, amount, offset);
}

sqlite3_file *MakeStoppable(sqlite3 *db, const std::atomic<bool> *stop)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return nullptr;
    QMutexLocker locker(&g_filesMutex);
    if (!g_pPlain) {
        g_pPlain = file->pMethods;
        g_stoppable = *file->pMethods;
        g_stoppable.xRead = &StoppableRead;
    }
    // Another kind of file is left as it is: it is only waited for.
    if (file->pMethods != g_pPlain)
        return nullptr;
    file->pMethods = &g_stoppable;
    g_stops.insert(file, stop);
    return file;
}

void ForgetFile(sqlite3_file *file)
{
    QMutexLocker locker(&g_filesMutex);
    g_stops.remove(file);
}
} // namespace

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
    m_stop = false;
    m_state = EState::running;
    m_pThread = QThread::create([this, path] {
        sqlite3_file *file = nullptr;
        m_strResult = CDatabaseBackup::Damage(path, [this, &file](sqlite3 *handle) {
            QMutexLocker locker(&m_handleMutex);
            m_pHandle = handle;
            if (handle)
                file = MakeStoppable(handle, &m_stop);
            else if (file)
                ForgetFile(std::exchange(file, nullptr));
            if (handle && m_bCancelled)
                sqlite3_interrupt(handle);
        });
    });
    // A check stopped and started again must not take the old thread's end for the new one's.
    const int generation = ++m_nGeneration;
    connect(m_pThread, &QThread::finished, this, [this, generation] {
        if (generation == m_nGeneration)
            OnThreadDone();
    });
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
        m_stop = true;
        if (m_pHandle)
            sqlite3_interrupt(m_pHandle);
    }
    m_pThread->wait();
    OnThreadDone();
}
