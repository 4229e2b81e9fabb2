#pragma once

#include <QString>

class CDaoBackend;

// The engines the program knows, and which one keeps a given database.
class CDaoBackends final
{
public:
    // A server's for a "postgresql://" URI, otherwise a file's.
    static const CDaoBackend &For(const QString &name);
    // The server's engine, for the command that opens a register on one.
    static const CDaoBackend &Server();
};
