#pragma once

#include "store/databasecheck.h"

#include <QHash>
#include <QString>

class QSqlDatabase;

// A register kept on a PostgreSQL server, named by a connection URI
// ("postgresql://user@host:5432/register"); the password comes from the URI or
// from ~/.pgpass, as libpq reads them.
class CServerDatabase final
{
public:
    static bool IsUri(const QString &name);
    // The URI without its password, as the user may read it.
    static QString Shown(const QString &uri);
    // "host:port" of the URI, for the messages.
    static QString Server(const QString &uri);
    static QString DatabaseName(const QString &uri);
    static QString UserName(const QString &uri);

    // Opens a QPSQL connection under the given name; a failure comes back as a finding.
    static CDatabaseCheck::SFinding Connect(const QString &connectionName, const QString &uri);
    // Ours (both tables with their columns), empty (nothing at all), or something else.
    static CDatabaseCheck::SFinding Inspect(const QSqlDatabase &db);
    // What a failed call on the server means, from its SQLSTATE or libpq's words.
    static CDatabaseCheck::SFinding FromError(const QString &state, const QString &text);
    static QHash<QString, int> ColumnWidths(const QSqlDatabase &db, const QString &table);
    // Marks the tables as made by this build's schema version.
    static QStringList VersionStatements(int version);
};
