#pragma once

#include "store/databasefinding.h"

#include <QString>

class QSqlError;

// The engines' errors sorted into the problems the user is told about, and the
// sentence for each. Below the exception, which words every failure with it.
class CDatabaseFault final
{
public:
    static SDatabaseFinding FromSqlError(const QSqlError &error);
    // What a failed call on a server means, from its SQLSTATE or libpq's words.
    static SDatabaseFinding FromServerError(const QString &state, const QString &text);

    // One sentence for the user; path names the file for the causes that mention
    // its folder, and the server for those that mention it.
    static QString Cause(EDatabaseProblem problem, const QString &path);
    // A server that answered before and is gone now: what a window shows and a write is refused with.
    static QString LostText();
};
