#include "store/tabledefinitions.h"

namespace {
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

QString CTableDefinitions::Mast00Statement()
{
    return Mast00Pieces().join(QString());
}

QString CTableDefinitions::Mast01Statement()
{
    return Mast01Pieces().join(QString());
}

QStringList CTableDefinitions::Columns(const QString &table)
{
    if (table == QLatin1String("Mast00"))
        return ColumnsOf(Mast00Pieces());
    if (table == QLatin1String("Mast01"))
        return ColumnsOf(Mast01Pieces());
    return {};
}

QStringList CTableDefinitions::IndexStatements()
{
    return {
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast01_BusyoCode ON Mast01 (Busyo, Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast01_Code ON Mast01 (Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast00_ParentCode ON Mast00 (Parent, Code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS Mast00_Code ON Mast00 (Code)"),
    };
}

QStringList CTableDefinitions::Lacking(const QSet<QString> &present)
{
    QStringList lacking;
    for (const char *name : {"Mast00", "Mast01"}) {
        const QString table = QLatin1String(name);
        const QString prefix = table.toLower() + QLatin1Char('.');
        QStringList columns;
        for (const QString &column : Columns(table))
            if (!present.contains(prefix + column.toLower()))
                columns.append(column);
        if (columns.size() == Columns(table).size())
            lacking.append(QStringLiteral("表 %1 がありません。").arg(table));
        else if (!columns.isEmpty())
            lacking.append(QStringLiteral("表 %1 に項目 %2 がありません。").arg(table, columns.join(QStringLiteral(", "))));
    }
    return lacking;
}
