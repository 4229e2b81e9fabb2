#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

class QThread;
struct sqlite3;

// SQLite's quick check of a whole register on a worker thread, on a read-only
// connection of its own, so that reading every page of a large file does not
// stand between starting the program and using it. Destroyed while running, it
// interrupts the check and waits for its thread: none is left behind.
class CIntegrityCheck final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CIntegrityCheck)

public:
    enum class EState { idle, running, sound, damaged };

    explicit CIntegrityCheck(QObject *parent = nullptr);
    ~CIntegrityCheck() override;

    void Start(const QString &path);
    EState State() const { return m_state; }
    const QString &Path() const { return m_strPath; }
    // What the check found; empty while running or when sound.
    const QString &Damage() const { return m_strDamage; }
    // Until the check has answered, with events still delivered; at once when it has.
    void Wait();
    // Stops a running check; its file counts as unchecked (idle).
    void Cancel();

signals:
    void finished(const QString &path, const QString &damage);

private:
    void OnThreadDone();

    QThread *m_pThread = nullptr;
    EState m_state = EState::idle;
    QString m_strPath;
    QString m_strDamage;
    QString m_strResult; // written by the worker, read once its thread has finished
    QMutex m_handleMutex;
    sqlite3 *m_pHandle = nullptr; // the worker's connection while it is open
    bool m_bCancelled = false;
    int m_nGeneration = 0;
    std::atomic<bool> m_stop{false}; // the check's reads fail from now on
};
