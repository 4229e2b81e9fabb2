#include "store/changelog.h"

#include "store/daodatabase.h"

#include <QSqlDatabase>

QStringList CChangeLog::CreateStatements()
{
    // Stamp: local time as text, so that neither engine shifts it; Eff: the day it
    // takes effect as yyyymmdd, compared as a number.
    return {
        QStringLiteral("CREATE TABLE ChangeLog ( Seq Counter not null, Stamp varchar(19) null, Eff long null, "
                       "Who varchar(64) null, Kind long null, Target long null, Field varchar(8) null, "
                       "OldUnit long null, NewUnit long null, OldVal text null, NewVal text null, Shot text null, "
                       "CONSTRAINT ChangeKey PRIMARY KEY (Seq))"),
        // The one index: the reads of a past day take what changed after it, and a
        // write's entries, all of today, go at its end, which keeps bulk moves cheap.
        QStringLiteral("CREATE INDEX ChangeLog_Kind ON ChangeLog (Kind, Eff)"),
    };
}

bool CChangeLog::Exists(CDaoDatabase &db)
{
    // Asked of the driver: a failed query would spoil a server's open transaction.
    return db.Connection().tables().contains(QStringLiteral("ChangeLog"), Qt::CaseInsensitive);
}

void CChangeLog::Ensure(CDaoDatabase &db)
{
    if (db.IsReadOnly() || Exists(db))
        return;
    if (db.CountOf(QStringLiteral("SELECT count(*) FROM Mast00 WHERE ID = 0")) < 0
        || db.CountOf(QStringLiteral("SELECT count(*) FROM Mast01 WHERE ID = 0")) < 0)
        return;
    db.ExecuteAll(CreateStatements());
}

const QStringList &CChangeLog::EmployeeColumns()
{
    static const QStringList columns = {
        QStringLiteral("Code"),  QStringLiteral("Busyo"), QStringLiteral("Sex"),    QStringLiteral("Name"),
        QStringLiteral("Kana"),  QStringLiteral("Sdate"), QStringLiteral("Indat"),  QStringLiteral("Outdat"),
        QStringLiteral("Yuu"),   QStringLiteral("Juu1"),  QStringLiteral("Juu2"),   QStringLiteral("TEL"),
        QStringLiteral("FAX"),   QStringLiteral("Rire"),  QStringLiteral("Sikaku"), QStringLiteral("Mem"),
        QStringLiteral("Email"),
    };
    return columns;
}

const QStringList &CChangeLog::UnitColumns()
{
    static const QStringList columns = {
        QStringLiteral("Parent"), QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Yuu"),
        QStringLiteral("Juu1"),   QStringLiteral("Juu2"), QStringLiteral("TEL"),  QStringLiteral("FAX"),
    };
    return columns;
}

QString CChangeLog::OtherProgram()
{
    return QStringLiteral("ほかのプログラム");
}
