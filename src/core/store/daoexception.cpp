#include "store/daoexception.h"

#include "store/databasefault.h"

#include <QSqlError>

CDaoException::CDaoException(const QString &message, const QString &driverText)
    : m_strMessage(message)
    , m_strDriver(driverText)
    , m_utf8(GetErrorMessage().toUtf8())
{
}

CDaoException CDaoException::FromSql(const QSqlError &error, const QString &context)
{
    // What happened comes first (read-only, disk full, damaged), then what could not be done.
    const SDatabaseFinding found = CDatabaseFault::FromSqlError(error);
    if (found.problem == EDatabaseProblem::other)
        return CDaoException(context, error.text());
    // A statement on a connection that stood: the server went away under it, which
    // the watch tells and mends; the driver's words would only puzzle.
    if (found.problem == EDatabaseProblem::serverUnreachable)
        return CDaoException(CDatabaseFault::LostText()).WithProblem(found.problem);
    QString lead = CDatabaseFault::Cause(found.problem, {});
    if (!context.isEmpty())
        lead += QLatin1Char('\n') + context;
    return CDaoException(lead, error.text());
}

CDaoException CDaoException::Conflict()
{
    return CDaoException(CDatabaseFault::Cause(EDatabaseProblem::conflict, {})).WithProblem(EDatabaseProblem::conflict);
}

QString CDaoException::GetErrorMessage() const
{
    if (m_strDriver.trimmed().isEmpty())
        return m_strMessage;
    return m_strMessage + QStringLiteral("\n\n") + m_strDriver;
}
