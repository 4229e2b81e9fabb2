#pragma once

#include <QString>

// The password file PostgreSQL's own tools read (~/.pgpass, or the file PGPASSFILE
// names), which libpq consults when a URI carries no password. Written only when
// the user asks for it, readable by the user alone (mode 0600).
class CPgPassFile final
{
public:
    static QString Path();
    // Keeps uri's password for its host, port, database and user, replacing an entry
    // for the same four. False, with error in plain words, when it cannot be written.
    static bool Save(const QString &uri, QString *error);
    // One field as the file writes it: ":" and "\" escaped.
    static QString Escaped(const QString &field);
};
