#pragma once

#include <QString>
#include <QStringList>

// An engine's triggers that record other programs' writes (CWriteTriggers), in
// the engine's own SQL: they bypass the program's dialect.
struct SWriteTriggerSql {
    QStringList create; // run in one transaction
    QString probe;      // a count that is 1 once they are there
    QString mark;       // binds the writer's origin; runs after a transaction of ours begins
    QString unmark;     // before it commits; empty where the mark ends with the transaction
};
