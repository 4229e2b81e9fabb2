#pragma once

#include "store/writetriggersql.h"

// The triggers on a file: SQLite has row triggers only. Each skips the row while
// MorvekWriter holds an origin, which a transaction of the program sets as it
// begins and clears before it commits, so that no other connection ever sees it set.
class CSqliteTriggers final
{
public:
    CSqliteTriggers() = delete;
    static const SWriteTriggerSql &Sql();
};
