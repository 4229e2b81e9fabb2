#pragma once

#include <QString>

// Turns the table definitions the program issues (Jet's dialect: Counter, long,
// bit, datetime, image) into what SQLite understands. Other statements pass unchanged.
class CJetDialect final
{
public:
    static QString ToSqlite(const QString &sql);
    // The same for PostgreSQL, for every statement: names lose their brackets
    // (the server folds them alike everywhere), definitions get the server's
    // types, and each table's key constraint a name of its own.
    static QString ToPostgres(const QString &sql);
};
