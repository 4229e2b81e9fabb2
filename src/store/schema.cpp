#include "schema.h"

#include "daodatabase.h"
#include "daoquerydef.h"

#include "daoexception.h"

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
} // namespace

QString CSchema::Mast00Statement()
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
    return pieces.join(QString());
}

QString CSchema::Mast01Statement()
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
    return pieces.join(QString());
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
    } catch (...) {
        db.Close();
        QFile::remove(path);
        throw;
    }
}
