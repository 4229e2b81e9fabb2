#pragma once

#include <QString>

class QUrl;

// The parts of a server's connection URI ("postgresql://user@host:5432/register")
// that messages name; the password never shows.
class CServerUri final
{
public:
    static QUrl Parsed(const QString &uri);
    // The URI without its password, as the user may read it.
    static QString Shown(const QString &uri);
    // "host:port" of the URI.
    static QString Server(const QString &uri);
    static QString DatabaseName(const QString &uri);
    static QString UserName(const QString &uri);
};
