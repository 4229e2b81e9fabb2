#pragma once

#include "dates/datevalue.h"

#include <QString>

// One employee as the lists show it: the picture follows the sex; the rest fills
// the columns of the details style.
struct SEmployeeRow {
    qint32 nID = 0;
    bool bFemale = false;
    QString strName;
    qint32 nCode = 0;
    qint32 nBusyo = 0;
    QString strKana{};
    CDateValue indat{};
    QString strTel{};
    QString strUnitPath{}; // the unit's names from the company down, joined by "/"; empty for none
};
