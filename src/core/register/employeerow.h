#pragma once

#include <QString>

// One employee as the lists show it: the picture follows the sex.
struct SEmployeeRow {
    qint32 nID = 0;
    bool bFemale = false;
    QString strName;
};
