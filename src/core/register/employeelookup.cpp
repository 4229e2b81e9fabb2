#include "register/employeelookup.h"

#include "store/daocolumnsubset.h"
#include "store/daofind.h"
#include "store/mast01.h"
#include "store/setopener.h"

bool CEmployeeLookup::ById(qint32 id, const std::function<void(const CMast01 &employee)> &take)
{
    CMast01 employee;
    const CSetOpener open(employee);
    if (!employee.FindById(id))
        return false;
    take(employee);
    return true;
}

bool CEmployeeLookup::CodeTakenByAnother(qint32 code, qint32 exceptId)
{
    CMast01 others;
    const CDaoColumnSubset columns(others, {QStringLiteral("ID"), QStringLiteral("Code")});
    const CSetOpener open(others);
    return others.FindFirst(CDaoFind(QStringLiteral("Code"), CDaoFind::EOp::equal, code)
                                .And(QStringLiteral("ID"), CDaoFind::EOp::notEqual, exceptId));
}

bool CEmployeeLookup::Exists(qint32 id)
{
    CMast01 employee;
    const CDaoColumnSubset columns(employee, {QStringLiteral("ID")});
    const CSetOpener open(employee);
    return employee.FindById(id);
}
