#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Puts a restored copy in a register's place so that a kill at any moment leaves
// either the old register or the restored one under its name, never none: the old
// file is first kept aside by a link (or a copy), then the copy is renamed over the
// name in one step. A plan beside the register names the file kept aside, so that
// the next start can finish a swap a kill interrupted.
class CRestoreSwap final
{
public:
    enum class EStep { planned, keptAside, journalsCleared, replaced, done };
    // Called after each step; true stops there, as a kill would.
    using Interrupt = std::function<bool(EStep)>;
    enum class ERecovery { none, finished, rolledBack };

    // incoming: a sound copy beside dbPath (IncomingPath), ready to be renamed.
    // Returns false only when interrupt stopped it. Throws CDaoException on failure,
    // dbPath then as it was.
    static bool Run(const QString &dbPath, const QString &aside, const Interrupt &interrupt = {});
    // A swap left half done is finished when its plan was written, otherwise undone.
    static ERecovery Recover(const QString &dbPath);

    static QString IncomingPath(const QString &dbPath);
    static QString PlanPath(const QString &dbPath);

private:
    static void KeepAside(const QString &dbPath, const QString &aside);
    static void Replace(const QString &dbPath);
};
