#pragma once

#include <QString>

class CDaoDatabase;

// Makes the program's two tables, and keeps the indexes beside them.
class CSchema final
{
public:
    // Makes a new database file holding both tables, empty; on failure no file remains.
    // A PostgreSQL URI names an empty database, which gets both tables and the indexes.
    static void CreateDatabaseFile(const QString &path);
    // Adds missing indexes to a register made by an earlier build, in one transaction.
    // Does nothing on a read-only connection or a file without both tables.
    static void EnsureIndexes(CDaoDatabase &db);
};
