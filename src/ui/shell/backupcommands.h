#pragma once

#include "backup/databasebackup.h"

#include <QString>
#include <functional>

class QWidget;

// The backup commands of the ﾌｧｲﾙ menu, the daily backup before the first write,
// and the offer to restore when the file is found damaged at start. The work is
// done by CDatabaseBackup; these ask and report.
class CBackupCommands final
{
public:
    // From now on the first write of each day to a file is preceded by its backup.
    static void InstallDailyBackup();

    // A copy now, to a place the user chooses.
    static void OnMakeBackup(QWidget *parent, const QString &dbPath);
    // Picks a sound backup and, confirmed, puts it in dbPath's place. releaseFile
    // closes whatever holds the file open. True when the file was replaced.
    static bool OnRestore(QWidget *parent, const QString &dbPath, CDatabaseBackup::EAside why,
                          const std::function<void()> &releaseFile);
    // Checks the file; a damaged one is never written to. Offers its newest sound
    // backup. False when start-up must go on without the file.
    static bool CheckAtStart(const QString &dbPath);
};
