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
    // From now on the first write of each day to a file is preceded by its backup;
    // gate, when given, comes first and may refuse the write by throwing.
    static void InstallDailyBackup(std::function<void(const QString &)> gate = {});

    // A copy now, to a place the user chooses.
    static void OnMakeBackup(QWidget *parent, const QString &dbPath);
    // Picks any copy the program made, or a file, and, confirmed, puts it in dbPath's place. releaseFile
    // closes whatever holds the file open. True when the file was replaced.
    static bool OnRestore(QWidget *parent, const QString &dbPath, CDatabaseBackup::EAside why,
                          const std::function<void()> &releaseFile);
    // Checks the file (the whole of it, or its header only); a damaged one is never
    // written to. Offers its newest sound backup. False when start-up must go on without the file.
    static bool CheckAtStart(const QString &dbPath, bool wholeFile = true);
    // The offer for a file found damaged; releaseFile closes what holds it before it
    // is replaced. True when restored.
    static bool OfferRestore(
        const QString &dbPath, const QString &problem, const std::function<void()> &releaseFile = [] {});

private:
    static bool ConfirmRestore(QWidget *parent, const QString &dbPath, const SBackupInfo &chosen);
};
