#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>

// The first write of each day to a file is preceded by a backup of it; a
// backup already taken that day, by this run or an earlier one, is enough.
class CDailyBackup final
{
public:
    using Clock = std::function<QDateTime()>;

    explicit CDailyBackup(Clock clock = &QDateTime::currentDateTime);

    // The path of the backup made now, or empty when today's exists. Throws
    // CDaoException when the copy fails; that day is not tried again.
    QString BeforeWrite(const QString &dbPath);

private:
    Clock m_clock;
    QHash<QString, QDate> m_covered; // file -> the day its backup was taken or tried
};
