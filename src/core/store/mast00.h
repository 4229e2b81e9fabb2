#pragma once

#include "store/daorecordset.h"

#include <QList>
#include <QString>

class CDaoDatabase;

// The organisation units: a company (Parent 0) and its departments, one tree per company.
class CMast00 final : public CDaoRecordset
{
public:
    explicit CMast00(CDaoDatabase *pDatabase = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(CDaoFieldExchange *pFX) override;

    // Removes the company row and all its departments in one statement.
    void DeleteCompanyByCode(qint32 code);
    // Removes the company with its departments and takes their employees out of
    // them (Busyo 0), all in one step: left pointing at removed units, they would
    // appear in no list.
    void DeleteCompanyReleasingEmployees(qint32 code);
    // Removes one department and takes its employees out of it, all or nothing.
    void DeleteDepartmentReleasingEmployees(qint32 id);
    // Names from the top down to unit id, each followed by a line feed.
    QString GetUnitPath(qint32 id, bool skipCompany);
    // Leaves the set on the company above unit id; collects the IDs on the way.
    void GetUnitChain(qint32 id, QList<qint32> *chain = nullptr);

    qint32 m_ID = 0;
    qint32 m_Parent = 0;
    qint32 m_Code = 0;
    QString m_Name;
    QString m_Yuu;
    QString m_Juu1;
    QString m_Juu2;
    QString m_TEL;
    QString m_FAX;
};
