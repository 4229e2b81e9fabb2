#pragma once

#include <QString>

// The two table definitions exactly as the program issues them.
class CSchema final
{
public:
    static QString Mast00Statement();
    static QString Mast01Statement();
    // Makes a new database file holding both tables, empty; on failure no file remains.
    static void CreateDatabaseFile(const QString &path);
};
