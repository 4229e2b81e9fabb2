#include "store/daoexception.h"

#include "store/databasecheck.h"

#include <QSqlError>

CDaoException::CDaoException(const QString &message, const QString &driverText)
    : m_strMessage(message), m_strDriver(driverText), m_utf8(GetErrorMessage().toUtf8())
{
}

CDaoException CDaoException::FromSql(const QSqlError &error, const QString &context)
{
    // What happened comes first (read-only, disk full, damaged), then what could not be done.
    const CDatabaseCheck::SFinding found = CDatabaseCheck::FromSqlError(error);
    if (found.problem == CDatabaseCheck::EProblem::other)
        return CDaoException(context, error.text());
    QString lead = CDatabaseCheck::Cause(found.problem, {});
    if (!context.isEmpty())
        lead += QLatin1Char('\n') + context;
    return CDaoException(lead, error.text());
}

CDaoException CDaoException::Conflict()
{
    return CDaoException(CDatabaseCheck::Cause(CDatabaseCheck::EProblem::conflict, {}))
        .WithProblem(CDatabaseCheck::EProblem::conflict);
}

QString CDaoException::GetErrorMessage() const
{
    if (m_strDriver.trimmed().isEmpty())
        return m_strMessage;
    return m_strMessage + QStringLiteral("\n\n") + m_strDriver;
}
