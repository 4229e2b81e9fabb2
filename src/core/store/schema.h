#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class CDaoDatabase;

// The two table definitions exactly as the program issues them.
class CSchema final
{
public:
    static QString Mast00Statement();
    static QString Mast01Statement();
    // The columns a table of ours must have, in the order the statement makes them.
    static QStringList Columns(const QString &table);
    // What of our two tables is missing from "table.column" names (lower case), in Japanese.
    static QStringList Lacking(const QSet<QString> &present);
    // The indexes behind the finds the program makes; the tables stay as defined.
    static QStringList IndexStatements();
    // Makes a new database file holding both tables, empty; on failure no file remains.
    // A PostgreSQL URI names an empty database, which gets both tables and the indexes.
    static void CreateDatabaseFile(const QString &path);
    static void CreateOnServer(const QString &uri);
    // Adds missing indexes to a file made by an earlier build, in one transaction.
    // Does nothing on a read-only connection or a file without both tables.
    static void EnsureIndexes(CDaoDatabase &db);
};
