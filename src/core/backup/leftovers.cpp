#include "backup/leftovers.h"

#include "backup/databasebackup.h"
#include "backup/registeruse.h"
#include "backup/restoreswap.h"
#include "store/daoexception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool IsPart(const QString &name)
{
    static const QStringList endings{QStringLiteral(".part"), QStringLiteral(".part-journal"), QStringLiteral(".part-wal"),
                                     QStringLiteral(".part-shm")};
    for (const QString &ending : endings) {
        if (name.endsWith(ending))
            return true;
    }
    return false;
}
} // namespace

QString CLeftovers::ImportingPath(const QString &dbPath)
{
    return dbPath + QStringLiteral(".importing");
}

QStringList CLeftovers::Find(const QString &dbPath)
{
    const QFileInfo db(dbPath);
    QStringList found;
    // Beside the register: its own temporary names only.
    const QDir here = db.absoluteDir();
    const QString importing = QFileInfo(ImportingPath(dbPath)).fileName();
    const QString incoming = QFileInfo(CRestoreSwap::IncomingPath(dbPath)).fileName();
    const QString plan = QFileInfo(CRestoreSwap::PlanPath(dbPath)).fileName();
    for (const QString &name : here.entryList({db.fileName() + QStringLiteral(".*")}, QDir::Files)) {
        // A plan's own half-written copy is named plan.XXXXXX.
        if (name.startsWith(importing) || (name.startsWith(incoming) && IsPart(name))
            || name.startsWith(plan + QLatin1Char('.')))
            found << here.filePath(name);
    }
    // In its backups folder: copies that never got their name.
    const QDir backups(CDatabaseBackup::FolderOf(dbPath));
    for (const QString &name : backups.entryList({db.completeBaseName() + QStringLiteral("*")}, QDir::Files)) {
        if (IsPart(name))
            found << backups.filePath(name);
    }
    return found;
}

CLeftovers::SResult CLeftovers::Clear(const QString &dbPath)
{
    SResult result;
    if (!QFileInfo(CDatabaseBackup::FolderOf(dbPath)).isDir() && Find(dbPath).isEmpty()
        && !QFileInfo::exists(CRestoreSwap::IncomingPath(dbPath)))
        return {true, 0, 0, false};
    if (!CRegisterUse::Alone(dbPath))
        return result;
    result.cleared = true;
    result.restoreFinished = CRestoreSwap::Recover(dbPath) == CRestoreSwap::ERecovery::finished;
    for (const QString &path : Find(dbPath)) {
        const qint64 size = QFileInfo(path).size();
        if (QFile::remove(path)) {
            ++result.files;
            result.bytes += size;
        }
    }
    return result;
}
