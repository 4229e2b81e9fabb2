#include "backup/registeruse.h"

#include "backup/databasebackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
QMutex g_mutex;
QHash<QString, int> g_held; // lock file -> descriptor holding it shared, for the life of the process

int OpenLock(const QString &lockPath, bool create)
{
    if (create && !QDir().mkpath(QFileInfo(lockPath).absolutePath()))
        return -1;
    return ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
}
} // namespace

QString CRegisterUse::LockPath(const QString &dbPath)
{
    return QDir(CDatabaseBackup::FolderOf(dbPath)).filePath(QStringLiteral("in-use.lock"));
}

bool CRegisterUse::Hold(const QString &dbPath)
{
    const QString lockPath = LockPath(dbPath);
    QMutexLocker locker(&g_mutex);
    if (g_held.contains(lockPath))
        return true;
    const int fd = OpenLock(lockPath, true);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_SH) != 0) {
        ::close(fd);
        return false;
    }
    g_held.insert(lockPath, fd);
    return true;
}

bool CRegisterUse::Alone(const QString &dbPath)
{
    const QString lockPath = LockPath(dbPath);
    QMutexLocker locker(&g_mutex);
    if (const int held = g_held.value(lockPath, -1); held >= 0) {
        const bool alone = ::flock(held, LOCK_EX | LOCK_NB) == 0;
        // A conversion that fails may have dropped the shared hold: take it again either way.
        ::flock(held, LOCK_SH);
        return alone;
    }
    // Every holder makes the file before it locks it: none there, none holding.
    const int fd = OpenLock(lockPath, false);
    if (fd < 0)
        return errno == ENOENT;
    const bool alone = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return alone;
}
