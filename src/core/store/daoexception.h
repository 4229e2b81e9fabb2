#pragma once

#include "store/databaseproblem.h"

#include <QByteArray>
#include <QString>
#include <exception>

class QSqlError;

// Raised by every failing call of the record-set engine. The text is what the
// user reads: a Japanese lead, then the driver's own words when there are any.
class CDaoException final : public std::exception
{
public:
    explicit CDaoException(const QString &message, const QString &driverText = {});

    // Leads with what happened in plain words (in use, read-only, disk full, damaged), then context.
    static CDaoException FromSql(const QSqlError &error, const QString &context);

    QString GetErrorMessage() const;
    // Another user changed what this one was about to overwrite; nothing was written.
    static CDaoException Conflict();
    bool IsConflict() const { return m_problem == EDatabaseProblem::conflict; }
    // What the start-up check found, when it raised this.
    EDatabaseProblem Problem() const { return m_problem; }
    CDaoException &WithProblem(EDatabaseProblem problem)
    {
        m_problem = problem;
        return *this;
    }

    const QString &Lead() const { return m_strMessage; }
    const QString &DriverText() const { return m_strDriver; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_strMessage;
    QString m_strDriver;
    QByteArray m_utf8;
    EDatabaseProblem m_problem = EDatabaseProblem::other;
};
