#include "store/serverdatabase.h"

#include "store/daodatabase.h"
#include "store/schema.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

namespace {
using EProblem = CDatabaseCheck::EProblem;
using SFinding = CDatabaseCheck::SFinding;

// An unreachable host must not hang the start for libpq's default of forever.
constexpr int kConnectTimeoutSeconds = 10;

QUrl ParsedUri(const QString &uri)
{
    return QUrl(uri, QUrl::StrictMode);
}

QString VersionComment(int version)
{
    return QStringLiteral("Morvek %1").arg(version);
}
} // namespace

bool CServerDatabase::IsUri(const QString &name)
{
    return name.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString CServerDatabase::Shown(const QString &uri)
{
    const QUrl url = ParsedUri(uri);
    if (!url.isValid()) {
        // Whatever was typed, but never a password.
        static const QRegularExpression password(QStringLiteral("^([A-Za-z]+://[^:/@]*):[^@/]*@"));
        return QString(uri).replace(password, QStringLiteral("\\1@"));
    }
    return url.toString(QUrl::RemovePassword | QUrl::RemoveQuery);
}

QString CServerDatabase::Server(const QString &uri)
{
    const QUrl url = ParsedUri(uri);
    const QString host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    return QStringLiteral("%1:%2").arg(host).arg(url.port(5432));
}

QString CServerDatabase::DatabaseName(const QString &uri)
{
    return ParsedUri(uri).path().mid(1);
}

QString CServerDatabase::UserName(const QString &uri)
{
    return ParsedUri(uri).userName();
}

SFinding CServerDatabase::Connect(const QString &connectionName, const QString &uri)
{
    const QUrl url = ParsedUri(uri);
    if (!url.isValid() || !IsUri(uri) || DatabaseName(uri).isEmpty() || DatabaseName(uri).contains(u'/'))
        return {EProblem::badUri, url.errorString()};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid())
        return {EProblem::noDriver, db.lastError().text()};
    db.setHostName(url.host().isEmpty() ? QStringLiteral("localhost") : url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(DatabaseName(uri));
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
        return FromError(error.nativeErrorCode(), error.text());
    }
    // Dates and texts travel in one known form whatever the server's defaults.
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
    q.exec(QStringLiteral("SET DateStyle TO ISO, YMD"));
    return {};
}

SFinding CServerDatabase::FromError(const QString &state, const QString &text)
{
    if (state.startsWith(QLatin1String("28")) || text.contains(QLatin1String("password authentication failed"))
        || text.contains(QLatin1String("no password supplied")) || text.contains(QLatin1String("authentication failed")))
        return {EProblem::authFailed, text};
    if (state == QLatin1String("3D000") || (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist"))))
        return {EProblem::noSuchDatabase, text};
    if (text.contains(QLatin1String("role \"")) && text.contains(QLatin1String("does not exist")))
        return {EProblem::authFailed, text};
    if (state.startsWith(QLatin1String("08")) || text.contains(QLatin1String("could not connect"))
        || text.contains(QLatin1String("Connection refused")) || text.contains(QLatin1String("could not translate host name"))
        || text.contains(QLatin1String("timeout expired")) || text.contains(QLatin1String("server closed the connection"))
        || text.contains(QLatin1String("No route to host")) || text.contains(QLatin1String("connection to server")))
        return {EProblem::serverUnreachable, text};
    if (state == QLatin1String("53100"))
        return {EProblem::diskFull, text};
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return {EProblem::readOnly, text};
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01"))
        return {EProblem::inUse, text};
    if (state == QLatin1String("40001"))
        return {EProblem::conflict, text};
    return {EProblem::other, text};
}

SFinding CServerDatabase::Inspect(const QSqlDatabase &db)
{
    // Every relation a user can see in the connection's schema, and our tables' columns.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT c.relname, a.attname, obj_description(c.oid, 'pg_class') "
                               "FROM pg_class AS c JOIN pg_namespace AS n ON n.oid = c.relnamespace "
                               "LEFT JOIN pg_attribute AS a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                               "AND c.relname IN ('mast00', 'mast01') "
                               "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'm', 'f', 'p')"))) {
        return FromError(q.lastError().nativeErrorCode(), q.lastError().text());
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
    if (version > CDaoDatabase::kSchemaVersion) {
        return {EProblem::newerVersion, QStringLiteral("データベースの版は %1、この版で読めるのは %2 までです。")
                                            .arg(version)
                                            .arg(CDaoDatabase::kSchemaVersion)};
    }
    const QStringList lacking = CSchema::Lacking(present);
    if (!lacking.isEmpty())
        return {EProblem::foreignDatabase, lacking.join(QLatin1Char(' '))};
    return {};
}

QHash<QString, int> CServerDatabase::ColumnWidths(const QSqlDatabase &db, const QString &table)
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
    for (const QString &column : CSchema::Columns(table))
        names.insert(column.toLower(), column);
    while (q.next()) {
        const QString column = q.value(0).toString();
        widths.insert(names.value(column, column), q.value(1).toInt());
    }
    return widths;
}

QStringList CServerDatabase::VersionStatements(int version)
{
    return {QStringLiteral("COMMENT ON TABLE Mast00 IS '%1'").arg(VersionComment(version)),
            QStringLiteral("COMMENT ON TABLE Mast01 IS '%1'").arg(VersionComment(version))};
}
