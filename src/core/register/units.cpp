#include "register/units.h"

#include "store/daocolumnsubset.h"
#include "store/mast00.h"
#include "store/setopener.h"

namespace {
const QStringList kTreeColumns = {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Name")};
} // namespace

bool CUnits::Exists(qint32 id)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, {QStringLiteral("ID")});
    const CSetOpener open(units);
    return units.FindById(id);
}

QString CUnits::Path(qint32 id, bool skipCompany)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, kTreeColumns);
    const CSetOpener open(units);
    return units.GetUnitPath(id, skipCompany);
}

QList<qint32> CUnits::Chain(qint32 id)
{
    CMast00 units;
    const CDaoColumnSubset columns(units, kTreeColumns);
    const CSetOpener open(units);
    QList<qint32> chain;
    units.GetUnitChain(id, &chain);
    return chain;
}
