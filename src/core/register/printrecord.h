#pragma once

#include "dates/datevalue.h"

#include <QString>

// One employee as a print job keeps it: the employee's own items, and the unit
// items the print shows. The photo is not kept: it is read when the employee's
// page is drawn.
class CPrintRecord final
{
public:
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
