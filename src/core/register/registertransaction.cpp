#include "register/registertransaction.h"

#include "register/changepayload.h"
#include "register/nameindex.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/foldednames.h"
#include "store/writetriggers.h"

namespace {
CRegisterTransaction::BegunHook &Hook()
{
    static CRegisterTransaction::BegunHook hook;
    return hook;
}

// The employees whose folded names a change touches.
QList<qint32> EmployeesNamed(const QList<SRegisterChange> &changes)
{
    using EKind = SRegisterChange::EKind;
    QList<qint32> ids;
    for (const SRegisterChange &change : changes) {
        if (change.kind == EKind::employeeAdded || change.kind == EKind::employeeChanged
            || change.kind == EKind::employeeDeleted)
            ids += change.ids;
    }
    return ids;
}
} // namespace

CDaoTransaction CRegisterTransaction::Begin()
{
    CRegister::RefuseWhenLost();
    try {
        return CDaoTransaction();
    } catch (const CDaoException &error) {
        if (error.Problem() == EDatabaseProblem::serverUnreachable)
            throw CRegister::LostError();
        throw;
    }
}

CRegisterTransaction::CRegisterTransaction()
    : m_transaction(Begin())
    // The transaction holds the shared connection, so the pool hands out that one.
    , m_pDatabase(CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath()))
{
    // A copy: the hook may put another in its place.
    if (const BegunHook hook = Hook())
        hook();
    // On a file this takes the write lock: from here on no other writer comes between.
    CWriteTriggers::MarkOwn(*m_pDatabase);
}

void CRegisterTransaction::SetBegunHook(BegunHook hook)
{
    Hook() = std::move(hook);
}

void CRegisterTransaction::Commit()
{
    const QList<qint32> named = EmployeesNamed(m_changes);
    qint64 stamp = -1;
    QList<SFoldedName> rows;
    // The folded names follow inside the write, or the write fails: kept without
    // them, a search would go on finding the old name.
    if (!named.isEmpty()) {
        rows = CFoldedNames::Refresh(*m_pDatabase, named);
        stamp = CFoldedNames::Bump(*m_pDatabase);
    }
    CChangePayload::Announce(*m_pDatabase, m_changes);
    CWriteTriggers::UnmarkOwn(*m_pDatabase);
    m_transaction.Commit();
    if (!named.isEmpty())
        CNameIndex::Instance().Follow(*m_pDatabase, stamp, named, rows);
    const QList<SRegisterChange> changes = std::exchange(m_changes, {});
    for (const SRegisterChange &change : changes)
        CRegister::Instance().Notify(change);
}
