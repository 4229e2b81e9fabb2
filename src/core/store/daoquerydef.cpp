#include "store/daoquerydef.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"

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
    m_params.clear();
    m_bOpen = true;
}

void CDaoQueryDef::Execute(int options)
{
    if (!m_bOpen || !m_pDatabase->IsOpen())
        throw CDaoException(QStringLiteral("クエリが開かれていません。"));
    m_nAffected = m_pDatabase->ExecuteAll(QList<CDaoDatabase::SBoundStatement>{{m_strSQL, m_params}}, options);
}

void CDaoQueryDef::SetParamValue(int index, const QVariant &value)
{
    if (index < 0 || index > 999)
        throw CDaoException(QStringLiteral("クエリのパラメーター番号が正しくありません。"));
    if (m_params.size() <= index)
        m_params.resize(index + 1);
    m_params[index] = value;
}

void CDaoQueryDef::Close()
{
    m_bOpen = false;
}
