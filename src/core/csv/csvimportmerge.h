#pragma once

#include <functional>

class CDaoDatabase;
class CMast01;
struct SCsvImportEmployee;
struct SCsvImportPlan;

// Writes a checked plan into the register, all or nothing: the new and changed
// units first, parents before children, then the employees.
class CCsvImportMerge final
{
public:
    CCsvImportMerge() = delete;

    // progress(done, total) may answer false to cancel: then nothing is written
    // and the answer is false. Database errors are thrown, with nothing written.
    static bool Apply(CDaoDatabase &database, SCsvImportPlan &plan, const std::function<bool(int, int)> &progress);
    // Whether writing row over the employee set holds would change anything.
    static bool Changes(const CMast01 &set, const SCsvImportEmployee &row, const SCsvImportPlan &plan);
};
