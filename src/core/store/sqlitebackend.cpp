#include "store/sqlitebackend.h"

#include "store/daoexception.h"
#include "store/databasefault.h"
#include "store/jetdialect.h"
#include "store/schemaupgrade.h"
#include "store/sqlitechannel.h"
#include "store/sqlitestatement.h"
#include "store/sqlitetriggers.h"
#include "store/tabledefinitions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <pwd.h>
#include <unistd.h>

namespace {
using EProblem = EDatabaseProblem;

constexpr qint64 kHeaderSize = 100;
const char kMagic[] = "SQLite format 3";

quint32 BigEndian32(const QByteArray &bytes, int offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

// After a crash the engine rolls the file back from these; its size may not match the header until then.
bool HasJournal(const QString &path)
{
    return QFile::exists(path + QStringLiteral("-journal")) || QFile::exists(path + QStringLiteral("-wal"));
}

// Root ignores permission bits; a file or folder the user marked read-only
// must still be treated as such.
bool IsMarkedWritable(const QFileInfo &info)
{
    return info.isWritable() && info.permission(QFile::WriteOwner);
}

QString OpenFailed()
{
    return QStringLiteral("データベースファイルを開けません。");
}

bool HasBothTables(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('Mast00', 'Mast01')"))
        || !q.next())
        throw CDaoException::FromSql(q.lastError(), OpenFailed());
    return q.value(0).toInt() == 2;
}
} // namespace

SDatabaseFinding CSqliteBackend::InspectFile(const QString &path)
{
    if (path.isEmpty())
        return {EProblem::noPath, {}};
    const QFileInfo info(path);
    if (!info.exists())
        return {QFileInfo(info.absolutePath()).isDir() ? EProblem::missing : EProblem::folderMissing, {}};
    if (!info.isFile())
        return {EProblem::notAFile, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {EProblem::noAccess, file.errorString()};
    const qint64 size = file.size();
    if (size == 0)
        return {EProblem::empty, {}};
    const QByteArray head = file.read(kHeaderSize);
    if (!head.startsWith(QByteArray(kMagic, sizeof kMagic)))
        return {EProblem::notDatabase, {}};
    if (head.size() < kHeaderSize)
        return {EProblem::truncated, QStringLiteral("%1 バイトしかありません。").arg(size)};

    quint32 pageSize = qFromBigEndian<quint16>(head.constData() + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return {EProblem::damaged, QStringLiteral("ページの大きさ %1 は正しくありません。").arg(pageSize)};
    if (HasJournal(path))
        return {};
    // The page count in the header counts only when the write counter beside it agrees.
    const quint32 pages = BigEndian32(head, 28);
    const bool pagesValid = pages != 0 && BigEndian32(head, 24) == BigEndian32(head, 92);
    const qint64 expected = pagesValid ? qint64(pages) * pageSize : size;
    if (size % pageSize != 0 || size < expected) {
        return {EProblem::truncated,
                QStringLiteral("ファイルの長さ %1 バイト、本来の長さ %2 バイト").arg(size).arg(expected)};
    }
    return {};
}

SDatabaseFinding CSqliteBackend::InspectConnection(const QSqlDatabase &db)
{
    // One statement, since every record set opening asks: the version first, then
    // each column of our two tables.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT 0, '', user_version FROM pragma_user_version UNION ALL "
                               "SELECT 1, lower(m.name), lower(p.name) FROM sqlite_master AS m "
                               "JOIN pragma_table_info(m.name) AS p "
                               "WHERE m.type = 'table' AND lower(m.name) IN ('mast00', 'mast01')"))
        || !q.next()) {
        return CDatabaseFault::FromSqlError(q.lastError());
    }
    const int version = q.value(2).toInt();
    if (version > CTableDefinitions::kVersion) {
        return {EProblem::newerVersion, QStringLiteral("ファイルの版は %1、この版で読めるのは %2 までです。")
                                            .arg(version)
                                            .arg(CTableDefinitions::kVersion)};
    }
    QSet<QString> present; // "table.column"
    while (q.next())
        present.insert(q.value(1).toString() + QLatin1Char('.') + q.value(2).toString());
    if (q.lastError().isValid())
        return CDatabaseFault::FromSqlError(q.lastError());

    const QStringList lacking = CTableDefinitions::Lacking(present);
    if (!lacking.isEmpty())
        return {EProblem::wrongTables, lacking.join(QLatin1Char(' '))};
    return {};
}

bool CSqliteBackend::Claims(const QString &name) const
{
    Q_UNUSED(name); // every name no other engine claims is a file's
    return true;
}

QString CSqliteBackend::Shown(const QString &name) const
{
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

QString CSqliteBackend::OpenFailureLead() const
{
    return QStringLiteral("データベースファイル「%1」を開けません。");
}

QString CSqliteBackend::CreateFailureLead() const
{
    return QStringLiteral("データベースファイル「%1」を作成できません。");
}

bool CSqliteBackend::OpensReadOnly(const QString &name) const
{
    return !IsMarkedWritable(QFileInfo(name));
}

SDatabaseFinding CSqliteBackend::Connect(const QString &connection, const QString &name, bool readOnly,
                                         int busyTimeout) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        throw CDaoException(QStringLiteral("データベースエンジンを初期化できません。"), db.lastError().text());
    db.setDatabaseName(name);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        return CDatabaseFault::FromSqlError(db.lastError());
    // SQLite's own default of 2 MB rereads the pages of a large register's lists
    // and history on every pass; pages are only held once read.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -32768"));
    return {};
}

void CSqliteBackend::Upgrade(const QSqlDatabase &db, const QString &name, bool readOnly) const
{
    CSchemaUpgrade::Run(db, name, readOnly);
}

SDatabaseFinding CSqliteBackend::CheckNew(const QString &name) const
{
    if (name.isEmpty())
        return {EProblem::noPath, {}};
    const QFileInfo info(name);
    if (info.exists())
        return {EProblem::exists, {}};
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return {EProblem::folderMissing, {}};
    if (!IsMarkedWritable(folder))
        return {EProblem::folderReadOnly, {}};
    return {};
}

SDatabaseFinding CSqliteBackend::Initialise(const QSqlDatabase &db) const
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(CTableDefinitions::kVersion)))
        return CDatabaseFault::FromSqlError(q.lastError());
    return {};
}

QStringList CSqliteBackend::VersionStatements(int version) const
{
    Q_UNUSED(version); // written into the file's header by Initialise
    return {};
}

void CSqliteBackend::Discard(const QString &name) const
{
    QFile::remove(name);
    QFile::remove(name + QStringLiteral("-journal"));
}

bool CSqliteBackend::LacksIndexes(const QSqlDatabase &db) const
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                               "(type = 'table' AND name IN ('Mast00', 'Mast01')) OR "
                               "(type = 'index' AND name IN ('Mast01_BusyoCode', 'Mast01_Code', "
                               "'Mast00_ParentCode', 'Mast00_Code'))"))
        || !q.next())
        throw CDaoException::FromSql(q.lastError(), OpenFailed());
    const int found = q.value(0).toInt();
    q.finish();
    // Both tables and all four indexes: nothing to do. Without both tables this is
    // no register file of ours (yet), and it is left alone.
    return found != 6 && HasBothTables(db);
}

QString CSqliteBackend::ToEngine(const QString &sql) const
{
    return CJetDialect::ToSqlite(sql);
}

std::unique_ptr<CEngineStatement> CSqliteBackend::Prepare(const QSqlDatabase &db, const QString &sql) const
{
    // Stepped on the handle of Qt's own connection, so that both see one transaction.
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    return std::make_unique<CSqliteStatement>(*static_cast<sqlite3 *const *>(handle.constData()), sql);
}

QHash<QString, int> CSqliteBackend::ColumnWidths(const QSqlDatabase &db, const QString &table) const
{
    static const QRegularExpression re(QStringLiteral("CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                       QRegularExpression::CaseInsensitiveOption);
    QHash<QString, int> widths;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info([%1])").arg(table)))
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースの読み取りに失敗しました。"));
    while (q.next()) {
        const auto match = re.match(q.value(2).toString());
        if (match.hasMatch())
            widths.insert(q.value(1).toString(), match.captured(1).toInt());
    }
    return widths;
}

void CSqliteBackend::Announce(const QSqlDatabase &db, const QString &payload) const
{
    const QString table = QString::fromLatin1(CSqliteChannel::kTable);
    QSqlQuery q(db);
    auto run = [&q](const QString &sql, const QVariantList &values) {
        if (!q.prepare(sql))
            return false;
        for (const QVariant &value : values)
            q.addBindValue(value);
        return q.exec();
    };
    bool done = run(CSqliteChannel::CreateStatement(), {})
             && run(QStringLiteral("INSERT INTO %1 (Origin, Payload) VALUES (?, ?)").arg(table),
                    {CChangeChannel::Origin(), payload});
    const qint64 seq = done ? q.lastInsertId().toLongLong() : 0;
    done = done && run(QStringLiteral("DELETE FROM %1 WHERE Seq <= ?").arg(table), {seq - CSqliteChannel::kKeptRows});
    if (!done)
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("変更を知らせられません。"));
}

std::unique_ptr<CChangeChannel> CSqliteBackend::Listen(std::shared_ptr<CDaoDatabase> db) const
{
    return std::make_unique<CSqliteChannel>(std::move(db));
}

QString CSqliteBackend::UserName(const QSqlDatabase &) const
{
    for (const char *name : {"USER", "USERNAME", "LOGNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
    // Started without a login (a script from cron, a service), the account still has a name.
    passwd entry{};
    passwd *found = nullptr;
    char buffer[1024];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return {};
    return QString::fromLocal8Bit(found->pw_name);
}

const SWriteTriggerSql &CSqliteBackend::WriteTriggers() const
{
    return CSqliteTriggers::Sql();
}
