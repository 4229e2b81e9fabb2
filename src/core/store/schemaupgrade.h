#pragma once

class CDaoDatabase;

// Brings a file written by an earlier version up to the current schema, in one
// transaction that keeps every row and every ID. A read-only file is left as it
// is: it can still be read, and nothing can be added to it.
class CSchemaUpgrade final
{
public:
    static void Run(CDaoDatabase &db);
};
