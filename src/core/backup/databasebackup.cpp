#include "backup/databasebackup.h"

#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/databasecheck.h"
#include "backup/leftovers.h"
#include "backup/registeruse.h"
#include "backup/restoreswap.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace {
QAtomicInt g_nextConnection;

const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss");

// A connection of its own, used only for the copy or the check and closed with it.
class CRawConnection final
{
public:
    CRawConnection(const QString &path, bool readOnly)
        : m_name(QStringLiteral("morvek-backup-%1").arg(g_nextConnection.fetchAndAddRelaxed(1)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            m_error = db.lastError().text();
    }
    ~CRawConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    CRawConnection(const CRawConnection &) = delete;
    CRawConnection &operator=(const CRawConnection &) = delete;

    QSqlDatabase Db() const { return QSqlDatabase::database(m_name, false); }
    const QString &Error() const { return m_error; }
    sqlite3 *Handle() const
    {
        const QVariant handle = Db().driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            return nullptr;
        return *static_cast<sqlite3 *const *>(handle.constData());
    }

private:
    QString m_name;
    QString m_error;
};

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QRegularExpression BackupPattern(const QString &dbPath)
{
    const QFileInfo info(dbPath);
    const QString suffix = info.suffix().isEmpty() ? QString()
                                                   : QStringLiteral("\\.") + QRegularExpression::escape(info.suffix());
    return QRegularExpression(
        QStringLiteral("^%1-\\d{8}-\\d{6}%2$").arg(QRegularExpression::escape(info.completeBaseName()), suffix));
}

QString FileName(const QString &dbPath, const QString &middle)
{
    const QFileInfo info(dbPath);
    QString name = info.completeBaseName() + QLatin1Char('-') + middle;
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return name;
}

void MakeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw CDaoException(QStringLiteral("バックアップ用のフォルダ「%1」を作成できません。").arg(Shown(folder)));
}

// A file cut to nothing lost all it held, as surely as one with broken pages.
bool IsDamage(CDatabaseCheck::EProblem problem)
{
    using EProblem = CDatabaseCheck::EProblem;
    return problem == EProblem::damaged || problem == EProblem::truncated || problem == EProblem::notDatabase
        || problem == EProblem::empty;
}

int Count(const QSqlDatabase &db, const QString &table, QString &problem)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table)) || !q.next()) {
        problem = q.lastError().text();
        return -1;
    }
    return q.value(0).toInt();
}
} // namespace

QString CDatabaseBackup::FolderOf(const QString &dbPath)
{
    const QFileInfo info(dbPath);
    return info.absoluteDir().filePath(info.fileName() + QStringLiteral(".backups"));
}

QString CDatabaseBackup::NameFor(const QString &dbPath, const QDateTime &when)
{
    return FileName(dbPath, when.toString(kStamp));
}

QString CDatabaseBackup::AsideNameFor(const QString &dbPath, EAside why, const QDateTime &when)
{
    const QString kind = why == EAside::damaged ? QStringLiteral("damaged-") : QStringLiteral("before-restore-");
    return FileName(dbPath, kind + when.toString(kStamp));
}

void CDatabaseBackup::Copy(const QString &source, const QString &target)
{
    if (!QFileInfo(source).isFile())
        throw CDaoException(QStringLiteral("データベースファイル「%1」が見つかりません。").arg(Shown(source)));
    if (QFileInfo::exists(target))
        throw CDaoException(QStringLiteral("「%1」は既にあります。上書きはしません。").arg(Shown(target)));
    const QString failed = QStringLiteral("「%1」を「%2」にコピーできません。").arg(Shown(source), Shown(target));
    // Written under another name first, so that a half copy never looks like a backup.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    QString error;
    {
        CRawConnection from(source, true);
        CRawConnection to(part, false);
        sqlite3 *pFrom = from.Handle();
        sqlite3 *pTo = to.Handle();
        if (!from.Error().isEmpty() || !to.Error().isEmpty()) {
            error = from.Error().isEmpty() ? to.Error() : from.Error();
        } else if (!pFrom || !pTo) {
            error = QStringLiteral("SQLite driver handle unavailable");
        } else if (sqlite3_backup *backup = sqlite3_backup_init(pTo, "main", pFrom, "main")) {
            // One step: the whole file under one read lock, hence one consistent state.
            const int rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE)
                error = QString::fromUtf8(sqlite3_errstr(rc));
        } else {
            error = QString::fromUtf8(sqlite3_errmsg(pTo));
        }
    }
    if (error.isEmpty() && !QFile::rename(part, target))
        error = QStringLiteral("rename failed");
    if (!error.isEmpty()) {
        QFile::remove(part);
        throw CDaoException(failed, error);
    }
}

QString CDatabaseBackup::MakeBackup(const QString &dbPath, const QDateTime &when)
{
    const QString folder = FolderOf(dbPath);
    MakeFolder(folder);
    const QString target = QDir(folder).filePath(NameFor(dbPath, when));
    if (!QFileInfo::exists(target))
        Copy(dbPath, target);
    Rotate(dbPath);
    return target;
}

QStringList CDatabaseBackup::List(const QString &dbPath)
{
    const QRegularExpression pattern = BackupPattern(dbPath);
    const QDir folder(FolderOf(dbPath));
    QStringList names;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        if (pattern.match(name).hasMatch())
            names.prepend(folder.filePath(name)); // the stamp sorts by time, so newest first
    }
    return names;
}

QDateTime CDatabaseBackup::TakenAt(const QString &backupPath)
{
    static const QRegularExpression stamp(QStringLiteral("-(\\d{8}-\\d{6})(\\.[^.]*)?$"));
    const QRegularExpressionMatch match = stamp.match(QFileInfo(backupPath).fileName());
    return match.hasMatch() ? QDateTime::fromString(match.captured(1), kStamp) : QDateTime();
}

void CDatabaseBackup::Rotate(const QString &dbPath, int keep)
{
    const QStringList backups = List(dbPath);
    for (int i = qMax(0, keep); i < backups.size(); ++i)
        QFile::remove(backups[i]);
    // Half copies of killed runs would otherwise pile up beside the kept ones.
    if (CRegisterUse::Alone(dbPath)) {
        for (const QString &path : CLeftovers::Find(dbPath))
            QFile::remove(path);
    }
}

QString CDatabaseBackup::QuickCheck(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("ファイルが見つかりません。");
    CRawConnection connection(path, true);
    if (!connection.Error().isEmpty())
        return connection.Error();
    QSqlQuery q(connection.Db());
    if (!q.exec(QStringLiteral("PRAGMA quick_check(5)")))
        return q.lastError().text();
    QStringList findings;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            findings << line;
    }
    if (q.lastError().isValid())
        findings << q.lastError().text();
    return findings.join(QLatin1Char('\n'));
}

QString CDatabaseBackup::HeadDamage(const QString &path)
{
    const CDatabaseCheck::SFinding head = CDatabaseCheck::InspectFile(path);
    if (head.Ok() || !IsDamage(head.problem))
        return {};
    return CDatabaseCheck::Cause(head.problem, path) + QLatin1Char('\n') + head.detail;
}

QString CDatabaseBackup::Damage(const QString &path, const std::function<void(sqlite3 *)> &opened)
{
    if (!CDatabaseCheck::InspectFile(path).Ok())
        return HeadDamage(path);
    CRawConnection connection(path, true);
    // Told before the connection closes, whichever way this returns.
    struct STellClosed {
        const std::function<void(sqlite3 *)> &opened;
        ~STellClosed()
        {
            if (opened)
                opened(nullptr);
        }
    } tellClosed{opened};
    if (opened && connection.Error().isEmpty())
        opened(connection.Handle());
    QSqlQuery q(connection.Db());
    if (!connection.Error().isEmpty() || !q.exec(QStringLiteral("PRAGMA quick_check(5)"))) {
        const QSqlError error = connection.Error().isEmpty() ? q.lastError() : connection.Db().lastError();
        return IsDamage(CDatabaseCheck::FromSqlError(error).problem) ? error.text() : QString();
    }
    QStringList findings;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            findings << line;
    }
    if (q.lastError().isValid() && IsDamage(CDatabaseCheck::FromSqlError(q.lastError()).problem))
        findings << q.lastError().text();
    return findings.join(QLatin1Char('\n'));
}

SBackupInfo CDatabaseBackup::Inspect(const QString &backupPath)
{
    SBackupInfo info;
    info.path = backupPath;
    info.taken = TakenAt(backupPath);
    info.problem = QuickCheck(backupPath);
    if (!info.Ok())
        return info;
    CRawConnection connection(backupPath, true);
    info.units = Count(connection.Db(), QStringLiteral("Mast00"), info.problem);
    if (info.Ok())
        info.employees = Count(connection.Db(), QStringLiteral("Mast01"), info.problem);
    return info;
}

SBackupInfo CDatabaseBackup::NewestSound(const QString &dbPath)
{
    for (const QString &path : List(dbPath)) {
        SBackupInfo info = Inspect(path);
        if (info.Ok())
            return info;
    }
    return {};
}

QString CDatabaseBackup::Restore(const QString &dbPath, const QString &backupPath, EAside why, const QDateTime &when)
{
    const QString failed = QStringLiteral("バックアップ「%1」から復元できません。").arg(Shown(backupPath));
    const SBackupInfo info = Inspect(backupPath);
    if (!info.Ok())
        throw CDaoException(failed + QStringLiteral("\nバックアップが壊れています。"), info.problem);

    const QString folder = FolderOf(dbPath);
    MakeFolder(folder);
    const QString aside = QDir(folder).filePath(AsideNameFor(dbPath, why, when));
    const bool hadFile = QFileInfo::exists(dbPath);
    if (hadFile && QFileInfo::exists(aside))
        throw CDaoException(failed, QStringLiteral("「%1」は既にあります。").arg(Shown(aside)));
    try {
        // A swap a kill interrupted is settled before another begins.
        CRestoreSwap::Recover(dbPath);
        const QString incoming = CRestoreSwap::IncomingPath(dbPath);
        QFile::remove(incoming);
        Copy(backupPath, incoming);
        CDaoDatabasePool::Release(dbPath);
        try {
            CRestoreSwap::Run(dbPath, aside);
        } catch (...) {
            QFile::remove(incoming);
            throw;
        }
    } catch (const CDaoException &error) {
        throw CDaoException(failed, error.GetErrorMessage());
    }
    return hadFile ? aside : QString();
}
