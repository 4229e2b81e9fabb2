#include "store/serveruri.h"

#include <QRegularExpression>
#include <QUrl>

QUrl CServerUri::Parsed(const QString &uri)
{
    return QUrl(uri, QUrl::StrictMode);
}

QString CServerUri::Shown(const QString &uri)
{
    const QUrl url = Parsed(uri);
    if (!url.isValid()) {
        // Whatever was typed, but never a password.
        static const QRegularExpression password(QStringLiteral("^([A-Za-z]+://[^:/@]*):[^@/]*@"));
        return QString(uri).replace(password, QStringLiteral("\\1@"));
    }
    return url.toString(QUrl::RemovePassword | QUrl::RemoveQuery);
}

QString CServerUri::Server(const QString &uri)
{
    const QUrl url = Parsed(uri);
    const QString host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    return QStringLiteral("%1:%2").arg(host).arg(url.port(5432));
}

QString CServerUri::DatabaseName(const QString &uri)
{
    return Parsed(uri).path().mid(1);
}

QString CServerUri::UserName(const QString &uri)
{
    return Parsed(uri).userName();
}
