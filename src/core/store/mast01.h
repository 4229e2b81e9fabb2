#pragma once

#include "store/daofieldexchange.h"
#include "store/daorecordset.h"
#include "dates/datevalue.h"

#include <QString>

class CDaoDatabase;

// The employees. Busyo holds the ID of the employee's unit, 0 for none.
class CMast01 final : public CDaoRecordset
{
public:
    explicit CMast01(CDaoDatabase *pDatabase = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(CDaoFieldExchange *pFX) override;

    // The employees the program lists as without a unit: Busyo 0, or naming a
    // unit that is gone (they would otherwise appear nowhere).
    static QString WithoutUnitCondition();

    // Takes every employee of one unit out of it, in one statement.
    void ClearDepartment(qint32 busyo);

    qint32 m_ID = 0;
    qint32 m_Code = 0;
    qint32 m_Busyo = 0;
    bool m_Sex = false; // false 男, true 女
    QString m_Name;
    QString m_Kana;
    CDateValue m_Sdate = CDateValue::Zero();
    CDateValue m_Indat = CDateValue::Zero();
    CDateValue m_Outdat = CDateValue::Zero();
    QString m_Yuu;
    QString m_Juu1;
    QString m_Juu2;
    QString m_TEL;
    QString m_FAX;
    QString m_Rire;
    QString m_Sikaku;
    QString m_Mem;
    QString m_Email;
    CDaoLongBinary m_Pic; // packed DIB, read when looked at
};
