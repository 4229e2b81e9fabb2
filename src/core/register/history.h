#pragma once

#include "register/historyentry.h"

#include <QList>
#include <functional>

class CDaoDatabase;

// The register's change history as the windows and CSV read it. It is written
// only by the register's own writes, in their transactions; nothing edits it.
class CHistory final
{
public:
    CHistory() = delete;

    // Everything that happened to the employee, newest first, also once they are
    // deleted; units are shown by their path as it stood at each change.
    static QList<SHistoryEntry> OfEmployee(qint32 employeeId);
    // The same for one unit: added, renamed, moved, deleted.
    static QList<SHistoryEntry> OfUnit(qint32 unitId);
    // Every entry of the register on db oldest first, handed one at a time (for 変更履歴.csv).
    static void ForEach(CDaoDatabase &db, const std::function<void(const SHistoryEntry &)> &visit);
    // How many entries the register keeps.
    static qint64 Count();
};
