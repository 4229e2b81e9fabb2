#pragma once

#include "store/databasefinding.h"

#include <QString>

class CDaoException;
class QSqlDatabase;
class QSqlError;

// Tells whether a database is one of ours that this build can use, and says in
// plain words what is wrong when it is not. Looking never changes the file.
class CDatabaseCheck final
{
public:
    using EProblem = EDatabaseProblem;
    using SFinding = SDatabaseFinding;

    // Reads no more than a file's header: there, whole, a database file at all.
    static SFinding InspectFile(const QString &path);
    // Asks an open connection to a file for the version and the columns of both tables.
    static SFinding InspectConnection(const QSqlDatabase &db);
    static SFinding FromSqlError(const QSqlError &error);

    // One sentence for the user; path names the file for the causes that mention its folder.
    static QString Cause(EProblem problem, const QString &path);
    // The database as the user should read it: a file absolute, with the
    // platform's separators; a server's URI without its password.
    static QString Shown(const QString &path);
    // "データベースファイル「…」を開けません。" or "…を作成できません。", the cause, then the detail.
    static CDaoException OpenFailure(const QString &path, const SFinding &finding);
    static CDaoException CreateFailure(const QString &path, const SFinding &finding);
};
