#include "store/schema.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/databasecheck.h"
#include "store/daoquerydef.h"
#include "store/serverdatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {
bool HasBothTables(CDaoDatabase &db)
{
    QSqlQuery q(db.Connection());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('Mast00', 'Mast01')"))
        || !q.next())
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースファイルを開けません。"));
    return q.value(0).toInt() == 2;
}

const QStringList &Mast00Pieces()
{
    static const QStringList pieces = {
        QStringLiteral("CREATE TABLE Mast00 ( "),
        QStringLiteral("ID     Counter not null,"),
        QStringLiteral("Parent long        null,"),
        QStringLiteral("Code   long        null,"),
        QStringLiteral("Name   varchar(60) null,"),
        QStringLiteral("Yuu    varchar(8)  null,"),
        QStringLiteral("Juu1   varchar(60) null,"),
        QStringLiteral("Juu2   varchar(60) null,"),
        QStringLiteral("TEL    varchar(16) null,"),
        QStringLiteral("FAX    varchar(16) null,"),
        QStringLiteral("CONSTRAINT MinKey PRIMARY KEY (ID))"),
    };
    return pieces;
}

const QStringList &Mast01Pieces()
{
    static const QStringList pieces = {
        QStringLiteral("CREATE TABLE Mast01 ( "),
        QStringLiteral("ID     Counter not null,"),
        QStringLiteral("Code   long        null,"),
        QStringLiteral("Busyo  long        null,"),
        QStringLiteral("Sex    bit         null,"),
        QStringLiteral("Name   varchar(60) null,"),
        QStringLiteral("Kana   varchar(50) null,"),
        QStringLiteral("Sdate  datetime    null,"),
        QStringLiteral("Indat  datetime    null,"),
        QStringLiteral("Outdat datetime    null,"),
        QStringLiteral("Yuu    varchar(8)  null,"),
        QStringLiteral("Juu1   varchar(60) null,"),
        QStringLiteral("Juu2   varchar(60) null,"),
        QStringLiteral("TEL    varchar(16) null,"),
        QStringLiteral("FAX    varchar(16) null,"),
        QStringLiteral("Rire   varchar(50) null,"),
        QStringLiteral("Sikaku varchar(50) null,"),
        QStringLiteral("Mem    varchar(60) null,"),
        QStringLiteral("Email  varchar(30) null,"),
        QStringLiteral("Pic    image       null,"),
        QStringLiteral("CONSTRAINT MinKey PRIMARY KEY (ID))"),
    };
    return pieces;
}

// The column pieces lie between the head and the key constraint; each starts with its name.
QStringList ColumnsOf(const QStringList &pieces)
{
    QStringList names;
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i)
        names.append(pieces.at(i).section(QLatin1Char(' '), 0, 0));
    return names;
}
} // namespace

QString CSchema::Mast00Statement()
{
    return Mast00Pieces().join(QString());
}

QString CSchema::Mast01Statement()
{
    return Mast01Pieces().join(QString());
}

QStringList CSchema::Columns(const QString &table)
{
    if (table == QLatin1String("Mast00"))
        return ColumnsOf(Mast00Pieces());
    if (table == QLatin1String("Mast01"))
        return ColumnsOf(Mast01Pieces());
    return {};
}

QStringList CSchema::IndexStatements()
{
    return {
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast01_BusyoCode ON Mast01 (Busyo, Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast01_Code ON Mast01 (Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast00_ParentCode ON Mast00 (Parent, Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast00_Code ON Mast00 (Code)"),
    };
}

void CSchema::EnsureIndexes(CDaoDatabase &db)
{
    if (db.IsReadOnly())
        return;
    if (db.IsServer()) {
        // Opened only with both tables there. Asked first: making an index waits for other users' writes.
        QSqlQuery q(db.Connection());
        if (q.exec(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN "
                                  "('mast01_busyocode', 'mast01_code', 'mast00_parentcode', 'mast00_code')"))
            && q.next() && q.value(0).toInt() == 4)
            return;
        q.finish();
        db.ExecuteAll(IndexStatements());
        return;
    }
    QSqlQuery q(db.Connection());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                               "(type = 'table' AND name IN ('Mast00', 'Mast01')) OR "
                               "(type = 'index' AND name IN ('Mast01_BusyoCode', 'Mast01_Code', "
                               "'Mast00_ParentCode', 'Mast00_Code'))"))
        || !q.next())
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースファイルを開けません。"));
    const int found = q.value(0).toInt();
    q.finish();
    // Both tables and all four indexes: nothing to do. Without both tables this is
    // no register file of ours (yet), and it is left alone.
    if (found == 6 || !HasBothTables(db))
        return;
    db.ExecuteAll(IndexStatements());
}

void CSchema::CreateDatabaseFile(const QString &path)
{
    if (CServerDatabase::IsUri(path)) {
        CreateOnServer(path);
        return;
    }
    CDaoDatabase db;
    db.Create(path, QString::fromLatin1(dbLangGeneral), 0);
    try {
        for (const QString &sql : {Mast00Statement(), Mast01Statement()}) {
            CDaoQueryDef query(&db);
            query.Create(QString(), sql);
            query.Execute(dbFailOnError);
            query.Close();
        }
        db.ExecuteAll(IndexStatements());
        db.Close();
    } catch (const CDaoException &error) {
        db.Close();
        QFile::remove(path);
        throw CDaoException(error.Lead() + QStringLiteral("\nデータベースファイル「%1」を作成できません。")
                                              .arg(CDatabaseCheck::Shown(path)),
                            error.DriverText());
    }
}

void CSchema::CreateOnServer(const QString &uri)
{
    CDaoDatabase db;
    db.Create(uri);
    // One transaction: a failure leaves the database as empty as it was.
    try {
        db.ExecuteAll(QStringList{Mast00Statement(), Mast01Statement()} + IndexStatements()
                      + CServerDatabase::VersionStatements(CDaoDatabase::kSchemaVersion));
    } catch (const CDaoException &error) {
        throw CDaoException(error.Lead() + QStringLiteral("\nデータベース「%1」に表を作成できません。")
                                              .arg(CDatabaseCheck::Shown(uri)),
                            error.DriverText());
    }
}

QStringList CSchema::Lacking(const QSet<QString> &present)
{
    QStringList lacking;
    for (const char *name : {"Mast00", "Mast01"}) {
        const QString table = QLatin1String(name);
        const QString prefix = table.toLower() + QLatin1Char('.');
        QStringList columns;
        for (const QString &column : CSchema::Columns(table))
            if (!present.contains(prefix + column.toLower()))
                columns.append(column);
        if (columns.size() == CSchema::Columns(table).size())
            lacking.append(QStringLiteral("表 %1 がありません。").arg(table));
        else if (!columns.isEmpty())
            lacking.append(QStringLiteral("表 %1 に項目 %2 がありません。").arg(table, columns.join(QStringLiteral(", "))));
    }
    return lacking;
}
