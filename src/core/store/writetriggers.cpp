#include "store/writetriggers.h"

#include "store/changechannel.h"
#include "store/changelog.h"
#include "store/daobackend.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
bool Run(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (!q.prepare(sql))
        return false;
    for (const QVariant &value : values)
        q.addBindValue(value);
    return q.exec();
}

// The mark's statement failed because the register has no triggers (a file made
// before them that could not be given them): then there is nothing to pass by.
bool LacksTriggers(CDaoDatabase &db, const QSqlQuery &failed)
{
    return failed.lastError().text().contains(QLatin1String("no such table"), Qt::CaseInsensitive)
        && !CWriteTriggers::Exist(db);
}

void Mark(CDaoDatabase &db, const QString &sql, const QVariantList &values)
{
    if (sql.isEmpty())
        return;
    QSqlQuery q(db.Connection());
    if (!Run(q, sql, values) && !LacksTriggers(db, q))
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースの更新を始められません。"));
}
} // namespace

bool CWriteTriggers::Exist(CDaoDatabase &db)
{
    return db.CountOf(db.Backend().WriteTriggers().probe) > 0;
}

void CWriteTriggers::Ensure(CDaoDatabase &db)
{
    if (db.IsReadOnly() || !CChangeLog::Exists(db) || Exist(db))
        return;
    if (db.CountOf(QStringLiteral("SELECT count(*) FROM Mast01Fold WHERE ID = 0")) < 0)
        return;
    const SWriteTriggerSql &sql = db.Backend().WriteTriggers();
    db.BeginTrans();
    try {
        QSqlQuery q(db.Connection());
        for (const QString &statement : sql.create) {
            if (!q.exec(statement))
                throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースの更新に失敗しました。"));
        }
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

void CWriteTriggers::MarkOwn(CDaoDatabase &db)
{
    Mark(db, db.Backend().WriteTriggers().mark, {CChangeChannel::Origin()});
}

void CWriteTriggers::UnmarkOwn(CDaoDatabase &db)
{
    Mark(db, db.Backend().WriteTriggers().unmark, {});
}
