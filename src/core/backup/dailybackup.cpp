#include "backup/dailybackup.h"

#include "backup/databasebackup.h"
#include "store/daobackend.h"
#include "store/daobackends.h"

#include <QFileInfo>
#include <QStringList>

CDailyBackup::CDailyBackup(Clock clock)
    : m_clock(std::move(clock))
{
}

QString CDailyBackup::BeforeWrite(const QString &dbPath)
{
    if (!CDaoBackends::For(dbPath).KeepsBackups())
        return {};
    const QDateTime now = m_clock();
    const QString key = QFileInfo(dbPath).absoluteFilePath();
    if (m_covered.value(key) == now.date())
        return {};
    m_covered.insert(key, now.date());
    const QStringList backups = CDatabaseBackup::List(dbPath);
    if (!backups.isEmpty() && CDatabaseBackup::TakenAt(backups.constFirst()).date() == now.date())
        return {};
    return CDatabaseBackup::MakeBackup(dbPath, now);
}
