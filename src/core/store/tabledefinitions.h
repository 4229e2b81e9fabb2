#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The two tables exactly as the program defines them (in its own dialect, which
// each engine translates), the indexes behind its finds, and the layout's version.
class CTableDefinitions final
{
public:
    // The version this build writes into new databases and can read; opening an
    // earlier file brings it up to this one. 2: IDs are never handed out twice.
    static constexpr int kVersion = 2;

    static QString Mast00Statement();
    static QString Mast01Statement();
    // The columns a table of ours must have, in the order the statement makes them.
    static QStringList Columns(const QString &table);
    // What of our two tables is missing from "table.column" names (lower case), in Japanese.
    static QStringList Lacking(const QSet<QString> &present);
    // The indexes behind the finds the program makes; the tables stay as defined.
    static QStringList IndexStatements();
};
