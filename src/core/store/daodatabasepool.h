#pragma once

#include <QString>
#include <memory>

class CDaoDatabase;

// One connection per database file, shared by the record sets that have no
// database of their own. A connection lives while some set holds it, and the
// one used last a while longer; the next set that asks for the same file gets
// the same connection, unless the file was replaced in between.
class CDaoDatabasePool final
{
public:
    // Opens the file on first use (adding missing indexes when it is writable).
    static std::shared_ptr<CDaoDatabase> Acquire(const QString &path);
    // True while the connection still stands for what is at path now.
    static bool IsCurrent(const CDaoDatabase &db, const QString &path);
    // Closes the shared connection to path, for a caller about to move or replace
    // the file: left open, it would write to the file moved away, and put its
    // journal beside whatever then stands at path. Sets still holding it reopen.
    static void Release(const QString &path);
    // How many shared connections are open (for tests).
    static int OpenCount();
};
