#include "store/sqlitechannel.h"

#include "store/daodatabase.h"
#include "store/writetriggers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

CSqliteChannel::CSqliteChannel(std::shared_ptr<CDaoDatabase> database)
    : CChangeChannel(std::move(database))
    , m_bTriggered(CWriteTriggers::Exist(Connection()))
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
    // Rows pruned before they were read, or, without the triggers, another program
    // that keeps no journal: nobody can say what changed. With them, a write that
    // left no row changed nothing a window shows (a transaction that wrote nothing
    // but its own mark, say).
    const bool read = ReadJournal(&payloads, &gap);
    if (gap || (!read && !m_bTriggered))
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
