#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CDaoDatabase;

// One employee as a search by name looks through them: the folded name, reading
// and telephone digits (CNameFold::Words) beside the code that orders the results.
struct SFoldedName {
    qint32 nID = 0;
    qint32 nCode = 0;
    QString strWords;
};

// Row 0 of the side table: a count raised by every change, and a token made
// afresh whenever the table is filled anew, so that a register made again under
// the same name is not taken for the one held.
struct SFoldStamp {
    qint64 nValue = -1; // -1: no table
    QString strToken;
    bool operator==(const SFoldStamp &) const = default;
};

// The side table Mast01Fold: the folded text of every employee, kept beside
// Mast01 so that Mast01 keeps its columns. Its row 0 holds a stamp that every
// change of the table raises, so that a copy held in memory knows when it is old.
class CFoldedNames final
{
public:
    CFoldedNames() = delete;

    // The table and its stamp row, for a new register.
    static QStringList CreateStatements();
    // On a register made before the table, or written meanwhile by a build that
    // does not keep it or by another program: makes or refills it, in one transaction. Does nothing on a
    // read-only connection or without both tables of ours.
    static void Ensure(CDaoDatabase &db);
    // Refills the table from Mast01, inside the caller's transaction.
    static void Rebuild(CDaoDatabase &db);
    // Brings the rows of these employees up to date from Mast01 (those gone lose
    // theirs), inside the caller's transaction; returns the rows written.
    static QList<SFoldedName> Refresh(CDaoDatabase &db, const QList<qint32> &ids);
    // Raises the stamp, inside the caller's transaction; returns its new value.
    static qint64 Bump(CDaoDatabase &db);
    // The stamp as the register holds it now.
    static SFoldStamp Stamp(CDaoDatabase &db);
    // Every row in code order, then by ID; rows another program's write left
    // without words (through the triggers) are folded from Mast01 here.
    static QList<SFoldedName> All(CDaoDatabase &db);
    // The same folded from Mast01 itself, for a register without the table that
    // cannot be given one (opened read-only).
    static QList<SFoldedName> FoldEmployees(CDaoDatabase &db);

private:
    // Folds rows (those at the positions given) from the employees they stand for.
    static void FoldAgain(CDaoDatabase &db, const QList<qsizetype> &which, QList<SFoldedName> *rows);
};
