#include "store/postgresbackend.h"

#include "store/daoexception.h"
#include "store/databasefault.h"
#include "store/jetdialect.h"
#include "store/postgreschannel.h"
#include "store/postgresstatement.h"
#include "store/postgrestriggers.h"
#include "store/serveruri.h"
#include "store/tabledefinitions.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

namespace {
using EProblem = EDatabaseProblem;

// An unreachable host must not hang the start for libpq's default of forever.
constexpr int kConnectTimeoutSeconds = 10;

QString VersionComment(int version)
{
    return QStringLiteral("Morvek %1").arg(version);
}
} // namespace

bool CPostgresBackend::Claims(const QString &name) const
{
    return name.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString CPostgresBackend::Shown(const QString &name) const
{
    return CServerUri::Shown(name);
}

QString CPostgresBackend::OpenFailureLead() const
{
    return QStringLiteral("データベース「%1」を開けません。");
}

QString CPostgresBackend::CreateFailureLead() const
{
    return QStringLiteral("データベース「%1」に表を作成できません。");
}

SDatabaseFinding CPostgresBackend::InspectName(const QString &name) const
{
    Q_UNUSED(name); // only the server can tell
    return {};
}

bool CPostgresBackend::OpensReadOnly(const QString &name) const
{
    Q_UNUSED(name); // what a user may not write, the server refuses itself
    return false;
}

SDatabaseFinding CPostgresBackend::Connect(const QString &connection, const QString &name, bool readOnly,
                                           int busyTimeout) const
{
    Q_UNUSED(readOnly);
    Q_UNUSED(busyTimeout); // the server's own lock waits apply
    const QUrl url = CServerUri::Parsed(name);
    const QString database = CServerUri::DatabaseName(name);
    if (!url.isValid() || !Claims(name) || database.isEmpty() || database.contains(u'/'))
        return {EProblem::badUri, {}}; // Qt's own detail quotes the input, password and all
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    if (!db.isValid())
        return {EProblem::noDriver, db.lastError().text()};
    db.setHostName(url.host().isEmpty() ? QStringLiteral("localhost") : url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(database);
    db.setUserName(url.userName());
    db.setPassword(url.password());
    // The URI's own parameters (sslmode, connect_timeout, ...) go to libpq as they are.
    QStringList options;
    bool timeout = false;
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key.isEmpty() || value.contains(u';') || value.contains(u' ') || key.contains(u'='))
            return {EProblem::badUri, key};
        options << key + QLatin1Char('=') + value;
        timeout = timeout || key == QLatin1String("connect_timeout");
    }
    if (!timeout)
        options << QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds);
    options << QStringLiteral("application_name=Morvek");
    db.setConnectOptions(options.join(u';'));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        return CDatabaseFault::FromServerError(error.nativeErrorCode(), error.text());
    }
    // Dates and texts travel in one known form whatever the server's defaults.
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
    q.exec(QStringLiteral("SET DateStyle TO ISO, YMD"));
    return {};
}

SDatabaseFinding CPostgresBackend::Inspect(const QSqlDatabase &db) const
{
    // Every relation a user can see in the connection's schema, and our tables' columns.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT c.relname, a.attname, obj_description(c.oid, 'pg_class') "
                               "FROM pg_class AS c JOIN pg_namespace AS n ON n.oid = c.relnamespace "
                               "LEFT JOIN pg_attribute AS a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                               "AND c.relname IN ('mast00', 'mast01') "
                               "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'm', 'f', 'p')"))) {
        return CDatabaseFault::FromServerError(q.lastError().nativeErrorCode(), q.lastError().text());
    }
    QSet<QString> relations;
    QSet<QString> present;
    int version = 0;
    while (q.next()) {
        const QString relation = q.value(0).toString();
        relations.insert(relation);
        present.insert(relation + QLatin1Char('.') + q.value(1).toString());
        const QString comment = q.value(2).toString();
        if (comment.startsWith(QLatin1String("Morvek ")))
            version = qMax(version, comment.mid(7).toInt());
    }
    if (relations.isEmpty())
        return {EProblem::serverEmpty, {}};
    if (version > CTableDefinitions::kVersion) {
        return {EProblem::newerVersion, QStringLiteral("データベースの版は %1、この版で読めるのは %2 までです。")
                                            .arg(version)
                                            .arg(CTableDefinitions::kVersion)};
    }
    const QStringList lacking = CTableDefinitions::Lacking(present);
    if (!lacking.isEmpty())
        return {EProblem::foreignDatabase, lacking.join(QLatin1Char(' '))};
    return {};
}

void CPostgresBackend::Upgrade(const QSqlDatabase &db, const QString &name, bool readOnly) const
{
    // Every server register was made at the current version.
    Q_UNUSED(db);
    Q_UNUSED(name);
    Q_UNUSED(readOnly);
}

SDatabaseFinding CPostgresBackend::CheckNew(const QString &name) const
{
    Q_UNUSED(name); // the database must be there, and empty: Initialise asks
    return {};
}

SDatabaseFinding CPostgresBackend::Initialise(const QSqlDatabase &db) const
{
    const SDatabaseFinding found = Inspect(db);
    if (found.problem == EProblem::serverEmpty)
        return {};
    return found.Ok() ? SDatabaseFinding{EProblem::exists, {}} : found;
}

QStringList CPostgresBackend::VersionStatements(int version) const
{
    return {QStringLiteral("COMMENT ON TABLE Mast00 IS '%1'").arg(VersionComment(version)),
            QStringLiteral("COMMENT ON TABLE Mast01 IS '%1'").arg(VersionComment(version))};
}

void CPostgresBackend::Discard(const QString &name) const
{
    Q_UNUSED(name); // one transaction made the tables: a failure left the database as it was
}

bool CPostgresBackend::LacksIndexes(const QSqlDatabase &db) const
{
    // Opened only with both tables there. Asked first: making an index waits for other users' writes.
    QSqlQuery q(db);
    return !(q.exec(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN "
                                   "('mast01_busyocode', 'mast01_code', 'mast00_parentcode', 'mast00_code')"))
             && q.next() && q.value(0).toInt() == 4);
}

QString CPostgresBackend::ToEngine(const QString &sql) const
{
    return CJetDialect::ToPostgres(sql);
}

std::unique_ptr<CEngineStatement> CPostgresBackend::Prepare(const QSqlDatabase &db, const QString &sql) const
{
    return std::make_unique<CPostgresStatement>(db, sql);
}

QHash<QString, int> CPostgresBackend::ColumnWidths(const QSqlDatabase &db, const QString &table) const
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT column_name, character_maximum_length FROM information_schema.columns "
                             "WHERE table_schema = current_schema() AND table_name = ? "
                             "AND character_maximum_length IS NOT NULL"));
    q.addBindValue(table.toLower());
    QHash<QString, int> widths;
    if (!q.exec())
        return widths;
    QHash<QString, QString> names; // the server folds names to lower case; the sets use ours
    for (const QString &column : CTableDefinitions::Columns(table))
        names.insert(column.toLower(), column);
    while (q.next()) {
        const QString column = q.value(0).toString();
        widths.insert(names.value(column, column), q.value(1).toInt());
    }
    return widths;
}

void CPostgresBackend::Announce(const QSqlDatabase &db, const QString &payload) const
{
    // Held by the server until the transaction commits, dropped when it rolls back.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT pg_notify(?, ?)"));
    q.addBindValue(QString::fromLatin1(CPostgresChannel::kName));
    q.addBindValue(CPostgresChannel::Notice(payload));
    if (!q.exec())
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("変更を知らせられません。"));
}

std::unique_ptr<CChangeChannel> CPostgresBackend::Listen(std::shared_ptr<CDaoDatabase> db) const
{
    return std::make_unique<CPostgresChannel>(std::move(db));
}

QString CPostgresBackend::UserName(const QSqlDatabase &db) const
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT current_user")) && q.next() ? q.value(0).toString() : QString();
}

const SWriteTriggerSql &CPostgresBackend::WriteTriggers() const
{
    return CPostgresTriggers::Sql();
}
