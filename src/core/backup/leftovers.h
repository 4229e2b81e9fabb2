#pragma once

#include <QString>
#include <QStringList>

// What killed runs leave beside a register and in its backups folder: half
// copies (".part" and their journals), a restored copy never put in place, a
// register an import was filling. Cleared only while no other process of the
// program holds the register, since a live one may be writing them.
class CLeftovers final
{
public:
    struct SResult {
        bool cleared = false; // false: another process holds the register, nothing touched
        int files = 0;
        qint64 bytes = 0;
        bool restoreFinished = false; // a restore a kill interrupted was completed
    };

    static QStringList Find(const QString &dbPath);
    // Settles a half-done restore, then removes the leftovers.
    static SResult Clear(const QString &dbPath);
    // The file an import into a new register fills until it is complete.
    static QString ImportingPath(const QString &dbPath);
};
