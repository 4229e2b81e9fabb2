#pragma once

#include <QString>
#include <QStringList>

// The two table definitions exactly as the program issues them.
class CSchema final
{
public:
    static QString Mast00Statement();
    static QString Mast01Statement();
    // The columns a table of ours must have, in the order the statement makes them.
    static QStringList Columns(const QString &table);
    // Makes a new database file holding both tables, empty; on failure no file remains.
    static void CreateDatabaseFile(const QString &path);
};
