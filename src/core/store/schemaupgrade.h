#pragma once

#include <QString>

class QSqlDatabase;

// Brings a file written by an earlier version up to the current schema, in one
// transaction that keeps every row and every ID. A read-only file is left as it
// is: it can still be read, and nothing can be added to it.
class CSchemaUpgrade final
{
public:
    // name is the file, for the message should it fail.
    static void Run(const QSqlDatabase &connection, const QString &name, bool readOnly);
};
