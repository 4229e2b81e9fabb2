#pragma once

#include <QString>

class QUrl;

// The parts of a server's connection URI ("postgresql://user@host:5432/register")
// that messages name; the password never shows.
class CServerUri final
{
public:
    static QUrl Parsed(const QString &uri);
    // The URI without its password, its query and fragment, as the user may read it.
    static QString Shown(const QString &uri);
    // The URI to remember: all of it but the password.
    static QString WithoutPassword(const QString &uri);
    static QString Password(const QString &uri);
    // uri with password put in (an empty one changes nothing).
    static QString WithPassword(const QString &uri, const QString &password);
    // "host:port" of the URI.
    static QString Server(const QString &uri);
    static QString DatabaseName(const QString &uri);
    static QString UserName(const QString &uri);

private:
    static QString WithoutQuery(const QString &text);
};
