// The checks every import table must pass once read, for the import's fuzz targets.
#pragma once

#include "fuzzrequire.h"
#include "csv/csvimportcheck.h"
#include "csv/csvimporter.h"
#include "sheet/readbudget.h"

// What a reader gave is bounded as its limits say; the checks then plan it against an
// empty register without failing.
inline void CheckTables(SCsvImportTable &units, SCsvImportTable &employees)
{
    for (const SCsvImportTable *table : {&units, &employees}) {
        Require(table->headers.size() <= CCsvTable::MaxFields);
        for (const SCsvRecord &record : table->records) {
            Require(record.fields.size() <= CCsvTable::MaxFields);
            for (const QString &field : record.fields)
                Require(field.size() <= CReadBudget::MaxCellLength);
        }
    }
    SCsvImportPlan plan;
    SCsvImportSummary summary;
    CCsvImportCheck check(plan, summary, {ECsvExisting::Update, ECsvMissingUnits::Create, QStringLiteral("本社"), true});
    if (units.present)
        check.CheckUnits(units);
    if (employees.present)
        check.CheckEmployees(employees);
    Require(summary.Refused() <= units.records.size() + employees.records.size());
}
