#pragma once

#include <QString>

class CDaoException;
class QSqlDatabase;
class QSqlError;

// Tells whether a file is a database of ours that this build can use, and says
// in plain words what is wrong when it is not. Looking never changes the file.
class CDatabaseCheck final
{
public:
    enum class EProblem {
        none,
        noPath,
        missing,
        folderMissing,
        notAFile,
        noAccess,
        empty,
        notDatabase,
        truncated,
        damaged,
        newerVersion,
        wrongTables,
        inUse,
        readOnly,
        diskFull,
        ioError,
        exists,
        folderReadOnly,
        // A register on a server
        badUri,
        noDriver,
        serverUnreachable,
        authFailed,
        noSuchDatabase,
        serverEmpty,
        foreignDatabase,
        conflict,
        other, // an engine error without a plainer name
    };

    struct SFinding {
        EProblem problem = EProblem::none;
        QString detail; // the engine's or the check's own words, shown after the cause
        bool Ok() const { return problem == EProblem::none; }
    };

    // Reads no more than the file's header: there, whole, a database file at all.
    static SFinding InspectFile(const QString &path);
    // Asks an open connection for the version and the columns of both tables.
    static SFinding InspectConnection(const QSqlDatabase &db);
    static SFinding FromSqlError(const QSqlError &error);

    // One sentence for the user; path names the file for the causes that mention its folder.
    static QString Cause(EProblem problem, const QString &path);
    // The file as the user should read it: absolute, with the platform's separators;
    // a server's URI without its password.
    static QString Shown(const QString &path);
    // "データベースファイル「…」を開けません。" or "…を作成できません。", the cause, then the detail.
    static CDaoException OpenFailure(const QString &path, const SFinding &finding);
    static CDaoException CreateFailure(const QString &path, const SFinding &finding);
};
