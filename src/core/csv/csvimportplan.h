#pragma once

#include "csv/csvcolumns.h"
#include "csv/csvtable.h"
#include "dates/datevalue.h"

#include <QList>
#include <QString>
#include <vector>

enum class ECsvExisting { Update, Skip };
// What an employee row whose unit path names a unit that is not there gets.
enum class ECsvMissingUnits { Refuse, Create };

// How an import is planned, as the user chose.
struct SCsvPlanChoices {
    ECsvExisting existing = ECsvExisting::Update;
    ECsvMissingUnits missing = ECsvMissingUnits::Refuse;
    // Where departments named without their company go (made when it is not there); empty for none.
    QString company;
    // A postal code or telephone number a spreadsheet turned into a number gets its leading 0 back.
    bool restoreZeros = false;
    // An empty 住所1 from the 〒, with the postal data the program keeps.
    bool fillAddresses = false;
    // An empty ふりがな from the 氏名, with the reading suggester.
    bool fillReadings = false;
};

// One file (or workbook sheet) of an import as read: which field each column holds,
// and its rows.
struct SCsvImportTable {
    bool present = false;
    bool units = false; // the units' table, else the employees'
    // A workbook's rows end at their last cell with text: a shorter row's missing cells
    // are empty. A CSV record must have every column.
    bool rowsMayEndEarly = false;
    QString file;
    QStringList headers; // as the file gives them
    QList<int> columns;  // column of each field, by header; -1 for a column not read
    QStringList skipped; // headers of the columns not read
    QList<SCsvRecord> records;
};

// A unit as the import will leave it.
struct SCsvImportUnit {
    qint32 id = 0;   // 0 until a new unit is written
    int parent = -1; // index in the plan's units; -1 for a company, -2 for a lost parent
    qint32 code = 0;
    QString fields[6]; // name, postal code, address 1 and 2, telephone, fax
    bool isNew = false;
    bool changed = false;
};

// An employee row the import will write.
struct SCsvImportEmployee {
    qint32 targetId = 0; // 0 for a new employee
    qint32 code = 0;
    bool sex = false;
    int unit = -1; // index in the plan's units; -1 for no unit
    CDateValue dates[3];
    QString texts[CCsvColumns::EmployeeColumnCount];
    bool present[CCsvColumns::EmployeeColumnCount] = {};
};

// What the checks accepted: the register's units with those to add or change,
// and the employee rows to write.
struct SCsvImportPlan {
    std::vector<SCsvImportUnit> units;
    std::vector<SCsvImportEmployee> employees;

    int WorkSize() const;
    // After a write that was undone, new units have no ID again.
    void ForgetNewIds();
};
