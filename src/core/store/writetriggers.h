#pragma once

class CDaoDatabase;

// Other programs (sqlite3, psql, a script, an older Morvek) write the register
// behind the program's back: triggers on Mast00 and Mast01 add their changes to
// the history as "ほかのプログラム", tell the listeners, and mark the folded names
// of the employees they touched as to be folded again. The program's own writes
// keep their cheaper path (a bulk move writes its history a chunk at a time) and
// mark their transaction so that the triggers pass them by.
class CWriteTriggers final
{
public:
    CWriteTriggers() = delete;

    // On a register without them: makes them, in one transaction. Does nothing on
    // a read-only connection or without the tables they write to.
    static void Ensure(CDaoDatabase &db);
    static bool Exist(CDaoDatabase &db);
    // Inside a transaction of the program, before its first write, and once more
    // before its commit. Throw CDaoException; a register without the triggers
    // needs no mark.
    static void MarkOwn(CDaoDatabase &db);
    static void UnmarkOwn(CDaoDatabase &db);
};
