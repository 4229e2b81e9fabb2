#include "store/mast01.h"

#include "store/daodatabase.h"
#include "store/daoquerydef.h"

CMast01::CMast01(CDaoDatabase *pDatabase)
    : CDaoRecordset(pDatabase)
{
}

QString CMast01::GetDefaultSQL() const
{
    return QStringLiteral("[Mast01]");
}

void CMast01::DoFieldExchange(CDaoFieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[ID]"), m_ID);
    DFX_Long(pFX, QStringLiteral("[Code]"), m_Code);
    DFX_Long(pFX, QStringLiteral("[Busyo]"), m_Busyo);
    DFX_Bool(pFX, QStringLiteral("[Sex]"), m_Sex);
    DFX_Text(pFX, QStringLiteral("[Name]"), m_Name);
    DFX_Text(pFX, QStringLiteral("[Kana]"), m_Kana);
    DFX_DateTime(pFX, QStringLiteral("[Sdate]"), m_Sdate);
    DFX_DateTime(pFX, QStringLiteral("[Indat]"), m_Indat);
    DFX_DateTime(pFX, QStringLiteral("[Outdat]"), m_Outdat);
    DFX_Text(pFX, QStringLiteral("[Yuu]"), m_Yuu);
    DFX_Text(pFX, QStringLiteral("[Juu1]"), m_Juu1);
    DFX_Text(pFX, QStringLiteral("[Juu2]"), m_Juu2);
    DFX_Text(pFX, QStringLiteral("[TEL]"), m_TEL);
    DFX_Text(pFX, QStringLiteral("[FAX]"), m_FAX);
    DFX_Text(pFX, QStringLiteral("[Rire]"), m_Rire);
    DFX_Text(pFX, QStringLiteral("[Sikaku]"), m_Sikaku);
    DFX_Text(pFX, QStringLiteral("[Mem]"), m_Mem);
    DFX_Text(pFX, QStringLiteral("[Email]"), m_Email);
    DFX_LongBinary(pFX, QStringLiteral("[Pic]"), m_Pic);
}

QString CMast01::WithoutUnitCondition()
{
    // Asked through the (Busyo, Code) index: the units nobody has are found among the
    // distinct Busyo values, and only their employees' rows are read. Put plainly,
    // the condition read every row of a register whose photos make it gigabytes.
    return QStringLiteral("ID IN (SELECT ID FROM Mast01 WHERE Busyo = 0 OR Busyo IS NULL OR Busyo IN "
                          "(SELECT DISTINCT Busyo FROM Mast01 WHERE Busyo NOT IN (SELECT ID FROM Mast00)))");
}

void CMast01::ClearDepartment(qint32 busyo)
{
    CDaoQueryDef query(m_pDatabase);
    query.Create(QString(), QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE Busyo = ?"));
    query.SetParamValue(0, busyo);
    query.Execute(dbFailOnError);
    Requery();
    query.Close();
}
