#pragma once

#include "store/daobackend.h"

// A register kept on a PostgreSQL server, named by a connection URI
// ("postgresql://user@host:5432/register"); the password comes from the URI or
// from ~/.pgpass, as libpq reads them. The server's administrator keeps its backups.
class CPostgresBackend final : public CDaoBackend
{
public:
    bool Claims(const QString &name) const override;
    QString Shown(const QString &name) const override;
    QString OpenFailureLead() const override;
    QString CreateFailureLead() const override;
    bool KeepsBackups() const override { return false; }
    bool PlacedByUser() const override { return false; }
    bool HasFileIdentity() const override { return false; }

    SDatabaseFinding InspectName(const QString &name) const override;
    bool OpensReadOnly(const QString &name) const override;
    SDatabaseFinding Connect(const QString &connection, const QString &name, bool readOnly, int busyTimeout) const override;
    // Ours (both tables with their columns), empty (nothing at all), or something else.
    SDatabaseFinding Inspect(const QSqlDatabase &db) const override;
    void Upgrade(const QSqlDatabase &db, const QString &name, bool readOnly) const override;

    SDatabaseFinding CheckNew(const QString &name) const override;
    SDatabaseFinding Initialise(const QSqlDatabase &db) const override;
    // Marks the tables as made by this build's schema version.
    QStringList VersionStatements(int version) const override;
    void Discard(const QString &name) const override;
    bool LacksIndexes(const QSqlDatabase &db) const override;

    QString ToEngine(const QString &sql) const override;
    std::unique_ptr<CEngineStatement> Prepare(const QSqlDatabase &db, const QString &sql) const override;
    QString ReturningKey() const override { return QStringLiteral(" RETURNING ID"); }
    QString NullSafeEquals() const override { return QStringLiteral("IS NOT DISTINCT FROM"); }
    QHash<QString, int> ColumnWidths(const QSqlDatabase &db, const QString &table) const override;
    QString UserName(const QSqlDatabase &db) const override;

    void Announce(const QSqlDatabase &db, const QString &payload) const override;
    // The server's 8,000 bytes, less the origin that leads the payload.
    qsizetype AnnouncementLimit() const override { return 7900; }
    std::unique_ptr<CChangeChannel> Listen(std::shared_ptr<CDaoDatabase> db) const override;
    const SWriteTriggerSql &WriteTriggers() const override;
};
