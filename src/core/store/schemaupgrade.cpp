#include "store/schemaupgrade.h"

#include "store/daoexception.h"
#include "store/jetdialect.h"
#include "store/tabledefinitions.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {
QString Failed(const QString &name)
{
    return QStringLiteral("データベースファイルを新しい形式に更新できません。\n%1").arg(name);
}

class CUpgradeStep final
{
public:
    CUpgradeStep(const QSqlDatabase &connection, const QString &name)
        : m_db(connection)
        , m_strName(name)
    {
    }

    void Exec(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            throw CDaoException::FromSql(q.lastError(), Failed(m_strName));
    }

    QStringList Column(const QString &sql, int column = 0)
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw CDaoException::FromSql(q.lastError(), Failed(m_strName));
        QStringList values;
        while (q.next())
            values << q.value(column).toString();
        return values;
    }

    int Version() { return Column(QStringLiteral("PRAGMA user_version")).value(0).toInt(); }

    // Earlier files keyed the table on a plain rowid, which reuses the highest
    // deleted ID; the table is rebuilt with the current definition.
    void RebuildTable(const QString &table, const QString &statement)
    {
        const QStringList definition = Column(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '%1' COLLATE NOCASE").arg(table));
        if (definition.isEmpty() || definition.first().contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive))
            return;
        // Indexes and triggers go with the old table; they are made again afterwards.
        const QStringList dependents = Column(
            QStringLiteral(
                "SELECT sql FROM sqlite_master WHERE type IN ('index', 'trigger') AND tbl_name = '%1' COLLATE NOCASE "
                "AND sql IS NOT NULL")
                .arg(table));
        // Built under another name and renamed last, so that nothing that names
        // the table is rewritten to point at a table about to go.
        const QString fresh = table + QStringLiteral("_v%1").arg(CTableDefinitions::kVersion);
        QString create = CJetDialect::ToSqlite(statement);
        create.replace(create.indexOf(table), table.size(), fresh);
        Exec(create);
        const QStringList oldColumns = Column(QStringLiteral("PRAGMA table_info([%1])").arg(table), 1);
        const QStringList newColumns = Column(QStringLiteral("PRAGMA table_info([%1])").arg(fresh), 1);
        for (const QString &column : oldColumns) {
            if (!newColumns.contains(column, Qt::CaseInsensitive))
                throw CDaoException(Failed(m_strName),
                                    QStringLiteral("表 %1 に知らない項目 %2 があります。").arg(table, column));
        }
        QStringList names;
        for (const QString &column : oldColumns)
            names << QLatin1Char('[') + column + QLatin1Char(']');
        Exec(QStringLiteral("INSERT INTO [%1] (%2) SELECT %2 FROM [%3]").arg(fresh, names.join(u','), table));
        Exec(QStringLiteral("DROP TABLE [%1]").arg(table));
        Exec(QStringLiteral("ALTER TABLE [%1] RENAME TO [%2]").arg(fresh, table));
        for (const QString &sql : dependents)
            Exec(sql);
    }

private:
    QSqlDatabase m_db;
    QString m_strName;
};
} // namespace

void CSchemaUpgrade::Run(const QSqlDatabase &connection, const QString &name, bool readOnly)
{
    CUpgradeStep step(connection, name);
    if (step.Version() >= CTableDefinitions::kVersion || readOnly)
        return;
    // A file without the program's tables is not one of its files: left untouched.
    if (step.Column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name IN ('Mast00', 'Mast01')"))
            .isEmpty())
        return;
    // IMMEDIATE: of two programs opening the same old file, one upgrades and the
    // other then finds the new version.
    step.Exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        if (step.Version() < CTableDefinitions::kVersion) {
            step.RebuildTable(QStringLiteral("Mast00"), CTableDefinitions::Mast00Statement());
            step.RebuildTable(QStringLiteral("Mast01"), CTableDefinitions::Mast01Statement());
            step.Exec(QStringLiteral("PRAGMA user_version = %1").arg(CTableDefinitions::kVersion));
        }
        step.Exec(QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(connection).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
