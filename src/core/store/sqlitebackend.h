#pragma once

#include "store/daobackend.h"

// A register in a SQLite file: the program's own business, backups included.
class CSqliteBackend final : public CDaoBackend
{
public:
    // Reads no more than the file's header: there, whole, a database file at all.
    static SDatabaseFinding InspectFile(const QString &path);
    // Asks an open connection for the version and the columns of both tables.
    static SDatabaseFinding InspectConnection(const QSqlDatabase &db);

    bool Claims(const QString &name) const override;
    QString Shown(const QString &name) const override;
    QString OpenFailureLead() const override;
    QString CreateFailureLead() const override;
    bool KeepsBackups() const override { return true; }
    bool PlacedByUser() const override { return true; }
    bool HasFileIdentity() const override { return true; }

    SDatabaseFinding InspectName(const QString &name) const override { return InspectFile(name); }
    bool OpensReadOnly(const QString &name) const override;
    SDatabaseFinding Connect(const QString &connection, const QString &name, bool readOnly, int busyTimeout) const override;
    SDatabaseFinding Inspect(const QSqlDatabase &db) const override { return InspectConnection(db); }
    void Upgrade(const QSqlDatabase &db, const QString &name, bool readOnly) const override;

    SDatabaseFinding CheckNew(const QString &name) const override;
    SDatabaseFinding Initialise(const QSqlDatabase &db) const override;
    QStringList VersionStatements(int version) const override;
    void Discard(const QString &name) const override;
    bool LacksIndexes(const QSqlDatabase &db) const override;

    QString ToEngine(const QString &sql) const override;
    std::unique_ptr<CEngineStatement> Prepare(const QSqlDatabase &db, const QString &sql) const override;
    QString ReturningKey() const override { return {}; }
    QString NullSafeEquals() const override { return QStringLiteral("IS"); }
    QHash<QString, int> ColumnWidths(const QSqlDatabase &db, const QString &table) const override;
    QString UserName(const QSqlDatabase &db) const override;

    void Announce(const QSqlDatabase &db, const QString &payload) const override;
    qsizetype AnnouncementLimit() const override { return 1 << 20; }
    std::unique_ptr<CChangeChannel> Listen(std::shared_ptr<CDaoDatabase> db) const override;
    const SWriteTriggerSql &WriteTriggers() const override;
};
