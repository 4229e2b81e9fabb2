#pragma once

#include <QString>

// Turns the table definitions the program issues (Jet's dialect: Counter, long,
// bit, datetime, image) into what SQLite understands. Other statements pass unchanged.
class CJetDialect final
{
public:
    static QString ToSqlite(const QString &sql);
};
