#pragma once

#include "store/databasefinding.h"
#include "store/writetriggersql.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class CChangeChannel;
class CDaoDatabase;
class CEngineStatement;
class QSqlDatabase;

// What differs between the engines a register can live on: a SQLite file or a
// database on a PostgreSQL server. Asked by the connection and the record sets
// instead of each of them knowing which engine it talks to.
class CDaoBackend
{
public:
    CDaoBackend() = default;
    virtual ~CDaoBackend() = default;
    CDaoBackend(const CDaoBackend &) = delete;
    CDaoBackend &operator=(const CDaoBackend &) = delete;

    // Whether name names a database this engine keeps.
    virtual bool Claims(const QString &name) const = 0;
    // The database as the user reads it in messages: a full path, or a URI without its password.
    virtual QString Shown(const QString &name) const = 0;
    // "…「%1」を開けません。" and "…「%1」を作成できません。", %1 being Shown().
    virtual QString OpenFailureLead() const = 0;
    virtual QString CreateFailureLead() const = 0;
    // Whether backups are the program's business; a server's are its administrator's.
    virtual bool KeepsBackups() const = 0;
    // Whether a new database goes where the user chooses, rather than into the one the name gives.
    virtual bool PlacedByUser() const = 0;
    // Whether what stands at the name can be replaced by another program, so
    // that a connection must check it is still the one it opened.
    virtual bool HasFileIdentity() const = 0;

    // Opening: what the name shows before any connection (nothing is written),
    // then Qt's connection under the given name, then whether it holds a register of ours.
    virtual SDatabaseFinding InspectName(const QString &name) const = 0;
    virtual bool OpensReadOnly(const QString &name) const = 0;
    virtual SDatabaseFinding Connect(const QString &connection, const QString &name, bool readOnly,
                                     int busyTimeout) const = 0;
    virtual SDatabaseFinding Inspect(const QSqlDatabase &db) const = 0;
    // Brings a register made by an earlier build up to this one.
    virtual void Upgrade(const QSqlDatabase &db, const QString &name, bool readOnly) const = 0;

    // Creating: what stands in the way before connecting, what a fresh connection
    // must find and mark, the statements that record the version beside the tables,
    // and what a failed creation must remove.
    virtual SDatabaseFinding CheckNew(const QString &name) const = 0;
    virtual SDatabaseFinding Initialise(const QSqlDatabase &db) const = 0;
    virtual QStringList VersionStatements(int version) const = 0;
    virtual void Discard(const QString &name) const = 0;
    // Whether an open register of ours still lacks the indexes behind the finds.
    virtual bool LacksIndexes(const QSqlDatabase &db) const = 0;

    // A statement in the program's dialect as this engine reads it.
    virtual QString ToEngine(const QString &sql) const = 0;
    // sql is already in the engine's dialect. Throws CDaoException when it cannot be prepared.
    virtual std::unique_ptr<CEngineStatement> Prepare(const QSqlDatabase &db, const QString &sql) const = 0;
    // What follows an INSERT so that the statement's LastInsertId() gives the new key.
    virtual QString ReturningKey() const = 0;
    // The comparison that holds for two NULLs as for two equal values.
    virtual QString NullSafeEquals() const = 0;
    // Declared widths of a table's text columns, by the names the program uses.
    virtual QHash<QString, int> ColumnWidths(const QSqlDatabase &db, const QString &table) const = 0;
    // Who writes through the connection: the database user on a server, the
    // operating-system account on a file; empty when nothing tells.
    virtual QString UserName(const QSqlDatabase &db) const = 0;

    // Other users and programs: a write tells them what it changed inside its own
    // transaction (payload at most AnnouncementLimit() bytes of UTF-8; throws
    // CDaoException), and the shared connection hears what theirs changed.
    virtual void Announce(const QSqlDatabase &db, const QString &payload) const = 0;
    virtual qsizetype AnnouncementLimit() const = 0;
    virtual std::unique_ptr<CChangeChannel> Listen(std::shared_ptr<CDaoDatabase> db) const = 0;
    // The triggers through which other programs' writes reach the history and the listeners.
    virtual const SWriteTriggerSql &WriteTriggers() const = 0;
};
