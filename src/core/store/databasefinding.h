#pragma once

#include "store/databaseproblem.h"

#include <QString>

// What a look at a database found: nothing wrong, or a problem and the words behind it.
struct SDatabaseFinding {
    EDatabaseProblem problem = EDatabaseProblem::none;
    QString detail; // the engine's or the check's own words, shown after the cause
    bool Ok() const { return problem == EDatabaseProblem::none; }
};
