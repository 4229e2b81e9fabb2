#include "register/namesearch.h"

#include "register/nameindex.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daostatement.h"
#include "store/namefold.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

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

// The units are read whole in one statement (a company has hundreds at most, not
// thousands of employees): a find per unit and level costs more on a large register.
void PutPaths(CDaoDatabase &db, QList<SNameMatch> &matches)
{
    if (std::none_of(matches.cbegin(), matches.cend(), [](const SNameMatch &match) { return match.nUnit != 0; }))
        return;
    struct SUnit {
        qint32 nParent;
        QString strName;
    };
    QHash<qint32, SUnit> units;
    CDaoStatement q(db, QStringLiteral("SELECT ID, Parent, Name FROM Mast00"));
    q.Exec();
    while (q.Next())
        units.insert(qint32(q.Int64(0)), {qint32(q.Int64(1)), q.Text(2)});
    q.Finish();
    QHash<qint32, QString> paths;
    for (SNameMatch &match : matches) {
        auto it = paths.find(match.nUnit);
        if (it == paths.end()) {
            QStringList names;
            // Bounded: a loop of parents left by another program must not hang the search.
            for (auto unit = units.constFind(match.nUnit); unit != units.cend() && names.size() < units.size();
                 unit = units.constFind(unit->nParent))
                names.prepend(unit->strName);
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
    PutPaths(*db, result.matches);
    result.nMore = qMax(0, total - int(ids.size()));
    return result;
}
