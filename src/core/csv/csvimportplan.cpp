#include "csv/csvimportplan.h"

int SCsvImportPlan::WorkSize() const
{
    int size = int(employees.size());
    for (const SCsvImportUnit &unit : units)
        if (unit.isNew || unit.changed)
            ++size;
    return size;
}

void SCsvImportPlan::ForgetNewIds()
{
    for (SCsvImportUnit &unit : units)
        if (unit.isNew)
            unit.id = 0;
}
