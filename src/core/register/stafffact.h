#pragma once

#include "dates/datevalue.h"

#include <QDate>

// What the organisation chart and the staff figures count of one employee.
struct SStaffFact {
    qint32 nID = 0;
    qint32 nUnit = 0; // 0: in no unit (CStaffSnapshot also takes a unit that is gone for none)
    bool bFemale = false;
    CDateValue birth{};
    CDateValue joined{};
    CDateValue left{};

    // Joined by the end of day (or no day given) and not left by then.
    bool InServiceOn(const QDate &day) const
    {
        return !(joined.IsValid() && joined.Date() > day) && !(left.IsValid() && left.Date() <= day);
    }
};
