#include "store/sqlitechannel.h"

#include "store/daodatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

CSqliteChannel::CSqliteChannel(std::shared_ptr<CDaoDatabase> database)
    : CChangeChannel(std::move(database))
{
    m_nVersion = DataVersion();
    QSqlQuery q(Connection().Connection());
    if (q.exec(QStringLiteral("SELECT max(Seq) FROM %1").arg(QLatin1String(kTable))) && q.next())
        m_nSeen = q.value(0).toLongLong();
}

CSqliteChannel::~CSqliteChannel() = default;

QString CSqliteChannel::CreateStatement()
{
    // Origin: empty for a row another program's write left through the triggers.
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Seq INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Origin TEXT NOT NULL, Payload TEXT NOT NULL)")
        .arg(QLatin1String(kTable));
}

qint64 CSqliteChannel::DataVersion() const
{
    QSqlQuery q(Connection().Connection());
    if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

bool CSqliteChannel::Poll()
{
    if (!Connection().IsOpen())
        return true;
    const qint64 version = DataVersion();
    if (version < 0 || version == m_nVersion)
        return true;
    m_nVersion = version;
    QStringList payloads;
    bool gap = false;
    // Another program that keeps no journal, or rows pruned before they were read:
    // nobody can say what changed.
    if (!ReadJournal(&payloads, &gap) || gap)
        payloads = QStringList{QString()};
    for (const QString &payload : std::as_const(payloads))
        emit Arrived(payload);
    return true;
}

bool CSqliteChannel::ReadJournal(QStringList *payloads, bool *gap)
{
    QSqlQuery q(Connection().Connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Seq, Origin, Payload FROM %1 WHERE Seq > ? ORDER BY Seq").arg(QLatin1String(kTable)));
    q.addBindValue(m_nSeen);
    if (!q.exec())
        return false;
    const QString own = Origin();
    bool any = false;
    while (q.next()) {
        const qint64 seq = q.value(0).toLongLong();
        *gap = *gap || seq != m_nSeen + 1;
        m_nSeen = seq;
        any = true;
        if (q.value(1).toString() != own)
            payloads->append(q.value(2).toString());
    }
    return any;
}
