#pragma once

#include "dates/datevalue.h"

#include <QString>

class CMast00;
class CMast01;

// One employee as a print job keeps it. The photo is not kept: it is read when
// the employee's page is drawn.
class CPrintRecord final
{
public:
    // The employee items of the current row of employees (the table or a query on it).
    static CPrintRecord FromEmployee(const CMast01 &employees);
    // Address, telephone and fax of the unit with the employee's Busyo, the unit
    // path below the company and the company's name; all empty when the unit is gone.
    void TakeUnit(CMast00 &units);

    qint32 m_ID = 0;
    qint32 m_Code = 0;
    qint32 m_Busyo = 0;
    bool m_Sex = false;
    QString m_Name;
    QString m_Kana;
    CDateValue m_Sdate;
    CDateValue m_Indat;
    CDateValue m_Outdat;
    QString m_Yuu;
    QString m_Juu1;
    QString m_Juu2;
    QString m_TEL;
    QString m_FAX;
    QString m_strPath;
    QString m_strCompany;
};
