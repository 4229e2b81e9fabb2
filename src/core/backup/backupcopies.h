#pragma once

#include "backup/databasebackup.h"

#include <QList>
#include <QString>
#include <QStringList>

// Every copy of a register the program made and can still find: the daily
// backups, the registers a restore kept aside, and the copies the user had
// written elsewhere, which the backups folder remembers in a list of its own.
class CBackupCopies final
{
public:
    // Newest first, each inspected; a copy that no longer opens is left out, but a
    // damaged register kept aside is listed, marked, so the user sees where it went.
    static QList<SBackupInfo> List(const QString &dbPath);
    // The registers a restore put aside, by their names.
    static QStringList Aside(const QString &dbPath);
    // A copy written with ﾊﾞｯｸｱｯﾌﾟ作成, remembered for the restore list.
    static void NoteManual(const QString &dbPath, const QString &copyPath);
    // The remembered manual copies that are still there.
    static QStringList Manual(const QString &dbPath);
    static QString ManualListPath(const QString &dbPath);
};
