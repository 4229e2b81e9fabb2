#include "printlayout/printrecord.h"

#include "store/mast00.h"
#include "store/mast01.h"

CPrintRecord CPrintRecord::FromEmployee(const CMast01 &employees)
{
    CPrintRecord record;
    record.m_ID = employees.m_ID;
    record.m_Code = employees.m_Code;
    record.m_Busyo = employees.m_Busyo;
    record.m_Sex = employees.m_Sex;
    record.m_Name = employees.m_Name;
    record.m_Kana = employees.m_Kana;
    record.m_Sdate = employees.m_Sdate;
    record.m_Indat = employees.m_Indat;
    record.m_Outdat = employees.m_Outdat;
    record.m_Yuu = employees.m_Yuu;
    record.m_Juu1 = employees.m_Juu1;
    record.m_Juu2 = employees.m_Juu2;
    record.m_TEL = employees.m_TEL;
    record.m_FAX = employees.m_FAX;
    return record;
}

void CPrintRecord::TakeUnit(CMast00 &units)
{
    m_Yuu.clear();
    m_Juu1.clear();
    m_Juu2.clear();
    m_TEL.clear();
    m_FAX.clear();
    m_strPath.clear();
    m_strCompany.clear();
    // A card of an employee whose unit is gone shows no unit items rather than
    // those of the employee before.
    if (!units.FindFirst(QStringLiteral("ID = %1").arg(m_Busyo)))
        return;
    m_Yuu = units.m_Yuu;
    m_Juu1 = units.m_Juu1;
    m_Juu2 = units.m_Juu2;
    m_TEL = units.m_TEL;
    m_FAX = units.m_FAX;
    m_strPath = units.GetUnitPath(m_Busyo, true);
    units.GetUnitChain(m_Busyo);
    m_strCompany = units.m_Name;
}
