#pragma once

#include <QtGlobal>
#include <functional>

class CMast01;

// One employee read for a window that shows it, and the question whether a code
// is taken; both read the register afresh.
class CEmployeeLookup final
{
public:
    CEmployeeLookup() = delete;

    // Hands the employee's row to take, the photo readable through m_Pic while
    // take runs; false, taking nothing, when the employee is gone.
    static bool ById(qint32 id, const std::function<void(const CMast01 &employee)> &take);
    // Whether an employee other than exceptId (0: any) holds code: rows that other
    // users added since a window opened count too.
    static bool CodeTakenByAnother(qint32 code, qint32 exceptId);
    // Whether the employee is still there.
    static bool Exists(qint32 id);
};
