#include "register/namesearch.h"

#include "register/nameindex.h"
#include "register/register.h"
#include "store/daocolumnsubset.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"
#include "store/mast00.h"
#include "store/namefold.h"
#include "store/setopener.h"

#include <QHash>
#include <QStringList>

namespace {
// The rows of the IDs in one statement: a server answers once, not once an employee.
QHash<qint32, SNameMatch> Rows(CDaoDatabase &db, const QList<qint32> &ids)
{
    QHash<qint32, SNameMatch> rows;
    if (ids.isEmpty())
        return rows;
    QStringList marks;
    for (qsizetype i = 0; i < ids.size(); ++i)
        marks << QStringLiteral("?");
    CDaoStatement q(db, QStringLiteral("SELECT ID, Code, Name, Kana, Busyo FROM Mast01 WHERE ID IN (%1)")
                            .arg(marks.join(QStringLiteral(", "))));
    for (qsizetype i = 0; i < ids.size(); ++i)
        q.Bind(int(i), ids.at(i));
    q.Exec();
    while (q.Next()) {
        const qint32 id = qint32(q.Int64(0));
        rows.insert(id, {id, qint32(q.Int64(1)), q.Text(2), q.Text(3), qint32(q.Int64(4)), {}});
    }
    q.Finish();
    return rows;
}

// Each unit's path once, through one set.
void PutPaths(QList<SNameMatch> &matches)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Name")});
    const CSetOpener open(units);
    QHash<qint32, QString> paths;
    for (SNameMatch &match : matches) {
        if (match.nUnit == 0)
            continue;
        auto it = paths.find(match.nUnit);
        if (it == paths.end()) {
            QStringList names = units.GetUnitPath(match.nUnit, false).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            it = paths.insert(match.nUnit, names.join(QLatin1Char('/')));
        }
        match.strPath = *it;
    }
}
} // namespace

SNameSearchResult CNameSearch::Find(const QString &text, int limit)
{
    const QString folded = CNameFold::Fold(text);
    if (folded.isEmpty())
        return {};
    const auto db = CRegister::Connection();
    int total = 0;
    const QList<qint32> ids = CNameIndex::Instance().Match(*db, folded, limit, &total);
    const QHash<qint32, SNameMatch> rows = Rows(*db, ids);
    SNameSearchResult result;
    for (qint32 id : ids) {
        // One removed by another program since the index was read is left out.
        if (const auto it = rows.constFind(id); it != rows.cend())
            result.matches.append(*it);
    }
    PutPaths(result.matches);
    result.nMore = qMax(0, total - int(ids.size()));
    return result;
}
