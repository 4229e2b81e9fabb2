#pragma once

#include <QObject>
#include <functional>

class CMorvekView;
class CRegisterChanges;
struct SEmployeeRow;
struct SRegisterChange;

// Keeps the rows of the unit a list shows as the register has them: the rows
// told of are read again, not the whole unit, unless nobody can say what changed.
class CListFollower final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListFollower)

public:
    explicit CListFollower(CMorvekView *list);
    ~CListFollower() override;

    // Whether an employee's row belongs to the list of unitId; 0: the employees
    // without a unit, among them those whose unit is gone.
    static std::function<bool(const SEmployeeRow &)> Belongs(qint32 unitId);

private:
    bool ApplyNow(const SRegisterChange &change);
    void Apply(const CRegisterChanges &changes);
    void FollowUnits(const CRegisterChanges &changes);
    void FollowEmployees(const CRegisterChanges &changes);
    void ReadAgain();

    CMorvekView *m_pList;
};
