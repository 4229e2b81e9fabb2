#include "store/postgreschannel.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

CPostgresChannel::CPostgresChannel(std::shared_ptr<CDaoDatabase> database)
    : CChangeChannel(std::move(database))
    , m_pListener(std::make_unique<CDaoDatabase>())
{
    m_pListener->Open(Connection().GetName());
    QSqlDriver *driver = m_pListener->Connection().driver();
    if (!driver->subscribeToNotification(QString::fromLatin1(kName)))
        throw CDaoException::FromSql(driver->lastError(), QStringLiteral("変更の知らせを受け取れません。"));
    connect(driver, &QSqlDriver::notification, this, &CPostgresChannel::OnNotification);
}

CPostgresChannel::~CPostgresChannel()
{
    // Closing ends the subscription with the session.
    if (m_pListener->IsOpen())
        disconnect(m_pListener->Connection().driver(), &QSqlDriver::notification, this, &CPostgresChannel::OnNotification);
}

QString CPostgresChannel::Notice(const QString &payload)
{
    return Origin() + QLatin1Char('\n') + payload;
}

bool CPostgresChannel::Poll()
{
    if (!m_pListener->IsOpen())
        return false;
    if (++m_nPolls % kProbeEvery == 0) {
        // Nothing else runs on this connection, so a statement disturbs no query.
        QSqlQuery q(m_pListener->Connection());
        if (!q.exec(QStringLiteral("SELECT 1")))
            return false;
    }
    // A connection libpq found broken stays so: Qt's driver never connects again by itself.
    return m_pListener->Connection().driver()->isOpen();
}

void CPostgresChannel::OnNotification(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload)
{
    Q_UNUSED(source); // the listening connection writes nothing
    const QString text = payload.toString();
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    // Our own writes reached the windows when they were kept.
    if (name != QLatin1String(kName) || text.left(end) == Origin())
        return;
    emit Arrived(end < 0 ? QString() : text.mid(end + 1));
}
