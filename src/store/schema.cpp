#include "schema.h"

#include "daodatabase.h"
#include "daoquerydef.h"

#include <QFile>
#include <QStringList>

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
        db.Close();
    } catch (...) {
        db.Close();
        QFile::remove(path);
        throw;
    }
}
