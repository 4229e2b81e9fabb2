#include "views/listfollower.h"

#include "views/listcolumns.h"
#include "views/morvekview.h"
#include "views/roworder.h"
#include "views/rowsstate.h"
#include "views/unitcontentsmodel.h"
#include "forms/changefollower.h"
#include "register/employeerow.h"
#include "register/employees.h"
#include "register/units.h"

#include <QHash>
#include <memory>

CListFollower::CListFollower(CMorvekView *list)
    : QObject(list)
    , m_pList(list)
{
    new CChangeFollower(
        list, [this](const CRegisterChanges &changes) { Apply(changes); },
        [this](const SRegisterChange &change) { return ApplyNow(change); });
}

CListFollower::~CListFollower() = default;

std::function<bool(const SEmployeeRow &)> CListFollower::Belongs(qint32 unitId)
{
    if (unitId != 0)
        return [unitId](const SEmployeeRow &row) { return row.nBusyo == unitId; };
    // Each unit asked once for the rows of one change.
    auto known = std::make_shared<QHash<qint32, bool>>();
    return [known](const SEmployeeRow &row) {
        if (row.nBusyo == 0)
            return true;
        auto found = known->find(row.nBusyo);
        if (found == known->end())
            found = known->insert(row.nBusyo, CUnits::Exists(row.nBusyo));
        return !found.value();
    };
}

bool CListFollower::ApplyNow(const SRegisterChange &change)
{
    using EKind = SRegisterChange::EKind;
    // Those put into the unit shown join at the next turn: a drop puts them where
    // they were let go before that.
    if (change.kind == EKind::employeesMoved && change.unit == m_pList->GetCurrentUnit())
        return false;
    Apply(CRegisterChanges(change));
    return true;
}

void CListFollower::Apply(const CRegisterChanges &changes)
{
    // A past day shows what was kept then; today comes back with 今日.
    if (!m_pList->ShowsUnit() || m_pList->Shown().IsAsOf())
        return;
    if (changes.IsEverything()) {
        ReadAgain();
        return;
    }
    FollowUnits(changes);
    FollowEmployees(changes);
}

void CListFollower::FollowUnits(const CRegisterChanges &changes)
{
    CUnitContentsModel *model = m_pList->GetModel();
    const qint32 shown = m_pList->GetCurrentUnit();
    for (qint32 id : changes.UnitsDeleted())
        model->RemoveRow(model->UnitRowOf(id));
    for (qint32 id : changes.UnitsTouched()) {
        const std::optional<SUnitRow> unit = CUnits::Row(id);
        const int row = model->UnitRowOf(id);
        if (!unit || unit->nParent != shown)
            model->RemoveRow(row);
        else if (row >= 0)
            model->RenameUnit(id, unit->strName);
        else
            model->Append(CUnitContentsModel::UnitRow(id, unit->IsCompany(), unit->strName));
    }
}

void CListFollower::FollowEmployees(const CRegisterChanges &changes)
{
    CUnitContentsModel *model = m_pList->GetModel();
    const qint32 shown = m_pList->GetCurrentUnit();
    QList<qint32> readAgain = changes.EmployeesTouched();
    QSet<qint32> leaving = changes.EmployeesDeleted();
    const QList<std::pair<qint32, qint32>> moves = changes.EmployeesMoved();
    const QSet<qint32> listed = moves.isEmpty() ? QSet<qint32>() : model->EmployeeIds();
    for (const auto &[id, unit] : moves) {
        // One moved away needs no reading, nor one a drop put in its place already.
        if (unit != shown)
            leaving.insert(id);
        else if (!listed.contains(id))
            readAgain.append(id);
    }
    model->RemoveEmployees(leaving);
    if (readAgain.isEmpty())
        return;
    // Those joining take their place in the order the list shows.
    const CListColumns *columns = m_pList->GetColumns();
    const int column = columns->SortColumn();
    const Qt::SortOrder order = columns->SortOrder();
    model->FollowEmployees(readAgain, CEmployees::Rows(readAgain), Belongs(shown),
                           [column, order](const CUnitContentsModel::SRow &a, const CUnitContentsModel::SRow &b) {
                               return CRowOrder::Before(a, b, column, order);
                           });
}

void CListFollower::ReadAgain()
{
    const CRowsState state(m_pList);
    m_pList->ShowUnitContents(m_pList->GetCurrentUnit());
    state.Restore(m_pList);
}
