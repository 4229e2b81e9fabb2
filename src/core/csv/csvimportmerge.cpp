#include "csv/csvimportmerge.h"

#include "csv/csvimportplan.h"
#include "register/registerexchange.h"
#include "store/mast01.h"

#include <utility>

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

bool Differs(const QString &member, const SCsvImportEmployee &row, int column)
{
    return row.present[column] && member != row.texts[column];
}

// The zero date stands for none, as an empty cell does.
bool SameDate(const CDateValue &stored, const CDateValue &read)
{
    const auto none = [](const CDateValue &date) { return !date.IsValid() || date == CDateValue::Zero(); };
    return none(stored) ? none(read) : stored == read;
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

bool CCsvImportMerge::Changes(const CMast01 &set, const SCsvImportEmployee &row, const SCsvImportPlan &plan)
{
    const std::pair<const QString *, int> texts[] = {
        {&set.m_Name, CCsvColumns::EmpName}, {&set.m_Kana, CCsvColumns::EmpKana},  {&set.m_Yuu, CCsvColumns::EmpYuu},
        {&set.m_Juu1, CCsvColumns::EmpJuu1}, {&set.m_Juu2, CCsvColumns::EmpJuu2},  {&set.m_TEL, CCsvColumns::EmpTel},
        {&set.m_FAX, CCsvColumns::EmpFax},   {&set.m_Rire, CCsvColumns::EmpRire},  {&set.m_Sikaku, CCsvColumns::EmpSikaku},
        {&set.m_Mem, CCsvColumns::EmpMem},   {&set.m_Email, CCsvColumns::EmpEmail}};
    for (const auto &[member, column] : texts) {
        if (Differs(*member, row, column))
            return true;
    }
    if (row.present[CCsvColumns::EmpSex] && set.m_Sex != row.sex)
        return true;
    const CDateValue *dates[3] = {&set.m_Sdate, &set.m_Indat, &set.m_Outdat};
    for (int d = 0; d < 3; ++d) {
        if (row.present[CCsvColumns::EmpSdate + d] && !SameDate(*dates[d], row.dates[d]))
            return true;
    }
    if (!row.present[CCsvColumns::EmpUnit])
        return false;
    if (row.unit < 0)
        return set.m_Busyo != 0;
    const SCsvImportUnit &unit = plan.units[size_t(row.unit)];
    return unit.isNew || set.m_Busyo != unit.id;
}

bool CCsvImportMerge::Apply(CDaoDatabase &database, SCsvImportPlan &plan, const std::function<bool(int, int)> &progress)
{
    // Every row as the register holds it already: no write, and so no backup before one.
    if (plan.WorkSize() == 0)
        return true;
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
