#include "csv/csvimportmerge.h"

#include "csv/csvimportplan.h"
#include "register/registerexchange.h"
#include "store/mast01.h"

namespace {
class CProgress final
{
public:
    CProgress(const std::function<bool(int, int)> &progress, int total)
        : m_progress(progress)
        , m_total(total)
    {
    }

    bool Start() { return !m_progress || m_progress(0, m_total); }
    bool Step()
    {
        ++m_done;
        return !m_progress || (m_done % 256 != 0 && m_done != m_total) || m_progress(m_done, m_total);
    }

private:
    const std::function<bool(int, int)> &m_progress;
    int m_total;
    int m_done = 0;
};

void FillEmployee(CMast01 &set, const SCsvImportEmployee &row, const SCsvImportPlan &plan)
{
    auto text = [&row](int column, QString &member) {
        if (row.present[column])
            member = row.texts[column];
    };
    text(CCsvColumns::EmpName, set.m_Name);
    text(CCsvColumns::EmpKana, set.m_Kana);
    text(CCsvColumns::EmpYuu, set.m_Yuu);
    text(CCsvColumns::EmpJuu1, set.m_Juu1);
    text(CCsvColumns::EmpJuu2, set.m_Juu2);
    text(CCsvColumns::EmpTel, set.m_TEL);
    text(CCsvColumns::EmpFax, set.m_FAX);
    text(CCsvColumns::EmpRire, set.m_Rire);
    text(CCsvColumns::EmpSikaku, set.m_Sikaku);
    text(CCsvColumns::EmpMem, set.m_Mem);
    text(CCsvColumns::EmpEmail, set.m_Email);
    if (row.present[CCsvColumns::EmpSex])
        set.m_Sex = row.sex;
    CDateValue *dates[3] = {&set.m_Sdate, &set.m_Indat, &set.m_Outdat};
    for (int d = 0; d < 3; ++d)
        if (row.present[CCsvColumns::EmpSdate + d])
            *dates[d] = row.dates[d];
    if (row.present[CCsvColumns::EmpUnit])
        set.m_Busyo = row.unit < 0 ? 0 : plan.units[size_t(row.unit)].id;
}

bool WriteAll(CRegisterExchange &exchange, SCsvImportPlan &plan, CProgress &progress)
{
    if (!progress.Start())
        return false;
    for (SCsvImportUnit &unit : plan.units) {
        if (unit.isNew)
            unit.id = exchange.AddUnit(unit.parent < 0 ? 0 : plan.units[size_t(unit.parent)].id, unit.code, unit.fields);
        else if (unit.changed)
            exchange.UpdateUnit(unit.id, unit.fields);
        else
            continue;
        if (!progress.Step())
            return false;
    }
    for (const SCsvImportEmployee &row : plan.employees) {
        exchange.WriteEmployee(row.targetId, row.code, [&](CMast01 &set) { FillEmployee(set, row, plan); });
        if (!progress.Step())
            return false;
    }
    return true;
}
} // namespace

bool CCsvImportMerge::Apply(CDaoDatabase &database, SCsvImportPlan &plan, const std::function<bool(int, int)> &progress)
{
    CRegisterExchange exchange(database);
    CProgress steps(progress, plan.WorkSize());
    exchange.Begin();
    try {
        if (!WriteAll(exchange, plan, steps)) {
            exchange.Rollback();
            plan.ForgetNewIds();
            return false;
        }
        exchange.Commit();
    } catch (...) {
        exchange.Rollback();
        plan.ForgetNewIds();
        throw;
    }
    return true;
}
