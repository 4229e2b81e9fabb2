#include "store/serveruri.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

QUrl CServerUri::Parsed(const QString &uri)
{
    return QUrl(uri, QUrl::StrictMode);
}

QString CServerUri::Shown(const QString &uri)
{
    // Taken apart by hand: a password holding an unencoded "/", "#", "?" or "@"
    // leads a URL parser to take part of it for the host or the path.
    const int scheme = uri.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return uri.contains(u'@') || uri.contains(u':') ? QString() : uri;
    const QString lead = uri.left(scheme).toLower() + QStringLiteral("://");
    const QString rest = uri.mid(scheme + 3);
    const int at = rest.lastIndexOf(u'@');
    if (at < 0)
        return lead + WithoutQuery(rest);
    static const QRegularExpression userEnd(QStringLiteral("[:@/?#]"));
    const QString before = rest.left(at);
    const int userEndAt = before.indexOf(userEnd);
    const QString user = userEndAt < 0 ? before : before.left(userEndAt);
    // A password in the query ("?password=…@…") would otherwise show its tail.
    const bool passwordInQuery = before.contains(u'?') && before.contains(QLatin1String("password"), Qt::CaseInsensitive);
    return lead + user + QLatin1Char('@') + (passwordInQuery ? QString() : WithoutQuery(rest.mid(at + 1)));
}

QString CServerUri::WithoutQuery(const QString &text)
{
    return text.section(u'?', 0, 0).section(u'#', 0, 0);
}

QString CServerUri::WithoutPassword(const QString &uri)
{
    QUrl url = Parsed(uri);
    if (!url.isValid())
        return Shown(uri);
    url.setPassword(QString());
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("password"));
    url.setQuery(query);
    return url.toString();
}

QString CServerUri::Password(const QString &uri)
{
    const QUrl url = Parsed(uri);
    const QString inQuery = QUrlQuery(url).queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    return url.password().isEmpty() ? inQuery : url.password();
}

QString CServerUri::WithPassword(const QString &uri, const QString &password)
{
    QUrl url = Parsed(uri);
    if (password.isEmpty() || !url.isValid())
        return uri;
    url.setPassword(password, QUrl::DecodedMode);
    return url.toString();
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
