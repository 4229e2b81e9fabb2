#include "daoquerydef.h"

#include "daodatabase.h"
#include "daoexception.h"
#include "jetdialect.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

CDaoQueryDef::CDaoQueryDef(CDaoDatabase *pDatabase)
    : m_pDatabase(pDatabase)
{
}

void CDaoQueryDef::Create(const QString &name, const QString &sql)
{
    if (!name.isEmpty())
        throw CDaoException(QStringLiteral("保存されるクエリは使用できません。"));
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        throw CDaoException(QStringLiteral("データベースが開かれていません。"));
    m_strSQL = sql;
    m_bOpen = true;
}

void CDaoQueryDef::Execute(int options)
{
    Q_UNUSED(options); // every statement here is all or nothing
    if (!m_bOpen || !m_pDatabase->IsOpen())
        throw CDaoException(QStringLiteral("クエリが開かれていません。"));
    QSqlDatabase db = m_pDatabase->Connection();
    const QString context = QStringLiteral("データベースの更新に失敗しました。");
    if (!db.transaction())
        throw CDaoException::FromSql(db.lastError(), context);
    QSqlQuery q(db);
    if (!q.exec(CJetDialect::ToSqlite(m_strSQL))) {
        const CDaoException error = CDaoException::FromSql(q.lastError(), context);
        q.finish();
        db.rollback();
        throw error;
    }
    m_nAffected = q.numRowsAffected();
    q.finish();
    if (!db.commit()) {
        const CDaoException error = CDaoException::FromSql(db.lastError(), context);
        db.rollback();
        throw error;
    }
}

void CDaoQueryDef::Close()
{
    m_bOpen = false;
}
