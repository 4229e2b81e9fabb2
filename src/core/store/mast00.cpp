#include "store/mast00.h"

#include "store/daofieldexchange.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daoquerydef.h"

#include <QSet>

CMast00::CMast00(CDaoDatabase *pDatabase)
    : CDaoRecordset(pDatabase)
{
}

QString CMast00::GetDefaultSQL() const
{
    return QStringLiteral("[Mast00]");
}

void CMast00::DoFieldExchange(CDaoFieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[ID]"), m_ID);
    DFX_Long(pFX, QStringLiteral("[Parent]"), m_Parent);
    DFX_Long(pFX, QStringLiteral("[Code]"), m_Code);
    DFX_Text(pFX, QStringLiteral("[Name]"), m_Name);
    DFX_Text(pFX, QStringLiteral("[Yuu]"), m_Yuu);
    DFX_Text(pFX, QStringLiteral("[Juu1]"), m_Juu1);
    DFX_Text(pFX, QStringLiteral("[Juu2]"), m_Juu2);
    DFX_Text(pFX, QStringLiteral("[TEL]"), m_TEL);
    DFX_Text(pFX, QStringLiteral("[FAX]"), m_FAX);
}

void CMast00::DeleteCompanyByCode(qint32 code)
{
    CDaoQueryDef query(m_pDatabase);
    query.Create(QString(), QStringLiteral("DELETE FROM Mast00 WHERE Code = ?"));
    query.SetParamValue(0, code);
    query.Execute(dbFailOnError);
    Requery();
    query.Close();
}

void CMast00::DeleteCompanyReleasingEmployees(qint32 code)
{
    if (!IsOpen())
        throw CDaoException(QStringLiteral("レコードセットが開かれていません。"));
    m_pDatabase->ExecuteAll({
        {QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE Busyo IN (SELECT ID FROM Mast00 WHERE Code = ?)"), {code}},
        {QStringLiteral("DELETE FROM Mast00 WHERE Code = ?"), {code}},
    });
    Requery();
}

void CMast00::DeleteDepartmentReleasingEmployees(qint32 id)
{
    if (!IsOpen())
        throw CDaoException(QStringLiteral("レコードセットが開かれていません。"));
    m_pDatabase->ExecuteAll({
        {QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE Busyo = ?"), {id}},
        {QStringLiteral("DELETE FROM Mast00 WHERE ID = ?"), {id}},
    });
    Requery();
}

QString CMast00::GetUnitPath(qint32 id, bool skipCompany)
{
    QString path;
    if (!FindById(id))
        return path;
    QSet<qint32> seen;
    // A damaged file may hold a loop of parents; each unit is named once.
    while (!seen.contains(m_ID)) {
        seen.insert(m_ID);
        path.prepend(m_Name + QLatin1Char('\n'));
        const qint32 parent = m_Parent;
        if (!FindById(parent))
            break;
        if (skipCompany && m_Parent == 0)
            break;
    }
    return path;
}

void CMast00::GetUnitChain(qint32 id, QList<qint32> *chain)
{
    if (chain)
        chain->append(id);
    if (!FindById(id))
        return;
    QSet<qint32> seen{m_ID};
    while (m_Parent != 0) {
        // A missing parent ends the walk on the last unit found, named once.
        if (!FindById(m_Parent) || seen.contains(m_ID))
            break;
        seen.insert(m_ID);
        if (chain)
            chain->append(m_ID);
    }
}
