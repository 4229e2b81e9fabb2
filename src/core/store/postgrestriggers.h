#pragma once

#include "store/writetriggersql.h"

// The triggers on a server: one statement trigger per table and event, reading
// the rows it changed from transition tables, so that a statement over many rows
// records them and notifies once. They run as the register's owner (the writer
// may not be allowed to add history) and pass by a transaction of the program,
// which sets morvek.origin for itself alone.
class CPostgresTriggers final
{
public:
    CPostgresTriggers() = delete;
    static const SWriteTriggerSql &Sql();
};
