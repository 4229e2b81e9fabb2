#include "register/idchunks.h"

#include "store/daostatement.h"

#include <QSet>

namespace {
QString Marks(qsizetype count)
{
    QString marks;
    marks.reserve(count * 2);
    for (qsizetype i = 0; i < count; ++i)
        marks += i == 0 ? QStringLiteral("?") : QStringLiteral(",?");
    return marks;
}
} // namespace

QList<qint32> CIdChunks::Unique(const QList<qint32> &ids)
{
    QList<qint32> unique;
    unique.reserve(ids.size());
    QSet<qint32> seen;
    seen.reserve(ids.size());
    for (qint32 id : ids) {
        if (!seen.contains(id)) {
            seen.insert(id);
            unique.append(id);
        }
    }
    return unique;
}

QList<CDaoDatabase::SBoundStatement> CIdChunks::Statements(const QString &sql, const QVariantList &lead,
                                                           const QList<qint32> &ids)
{
    QList<CDaoDatabase::SBoundStatement> statements;
    for (qsizetype from = 0; from < ids.size(); from += kChunk) {
        const QList<qint32> chunk = ids.mid(from, kChunk);
        QVariantList values = lead;
        values.reserve(lead.size() + chunk.size());
        for (qint32 id : chunk)
            values.append(id);
        statements.append({sql.arg(Marks(chunk.size())), values});
    }
    return statements;
}

void CIdChunks::ForEachRow(CDaoDatabase &db, const QString &sql, const QList<qint32> &ids,
                           const std::function<void(const CDaoStatement &)> &onRow)
{
    for (const CDaoDatabase::SBoundStatement &statement : Statements(sql, {}, ids)) {
        CDaoStatement q(db, statement.sql);
        for (int i = 0; i < statement.values.size(); ++i)
            q.Bind(i, statement.values[i]);
        q.Exec();
        while (q.Next())
            onRow(q);
        q.Finish();
    }
}

QList<qint32> CIdChunks::Select(CDaoDatabase &db, const QString &sql, const QList<qint32> &ids)
{
    QList<qint32> found;
    ForEachRow(db, sql, ids, [&found](const CDaoStatement &row) { found.append(qint32(row.Int64(0))); });
    return found;
}
