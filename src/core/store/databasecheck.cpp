#include "store/databasecheck.h"

#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daoexception.h"
#include "store/databasefault.h"
#include "store/sqlitebackend.h"

CDatabaseCheck::SFinding CDatabaseCheck::InspectFile(const QString &path)
{
    return CSqliteBackend::InspectFile(path);
}

CDatabaseCheck::SFinding CDatabaseCheck::InspectConnection(const QSqlDatabase &db)
{
    return CSqliteBackend::InspectConnection(db);
}

CDatabaseCheck::SFinding CDatabaseCheck::FromSqlError(const QSqlError &error)
{
    return CDatabaseFault::FromSqlError(error);
}

QString CDatabaseCheck::Cause(EProblem problem, const QString &path)
{
    return CDatabaseFault::Cause(problem, path);
}

QString CDatabaseCheck::Shown(const QString &path)
{
    return CDaoBackends::For(path).Shown(path);
}

CDaoException CDatabaseCheck::OpenFailure(const QString &path, const SFinding &finding)
{
    if (finding.problem == EProblem::noPath)
        return CDaoException(Cause(finding.problem, path), finding.detail).WithProblem(finding.problem);
    const CDaoBackend &backend = CDaoBackends::For(path);
    return CDaoException(backend.OpenFailureLead().arg(backend.Shown(path)) + QLatin1Char('\n')
                             + Cause(finding.problem, path),
                         finding.detail)
        .WithProblem(finding.problem);
}

CDaoException CDatabaseCheck::CreateFailure(const QString &path, const SFinding &finding)
{
    const CDaoBackend &backend = CDaoBackends::For(path);
    return CDaoException(backend.CreateFailureLead().arg(backend.Shown(path)) + QLatin1Char('\n')
                             + Cause(finding.problem, path),
                         finding.detail)
        .WithProblem(finding.problem);
}
