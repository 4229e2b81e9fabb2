#pragma once

#include <QString>

// Every process of the program that uses a register file holds it shared, so
// that what a killed run left behind is cleared only by a process that is alone
// with the register: another one may still be writing those files.
class CRegisterUse final
{
public:
    // This process uses dbPath until it ends. False when the hold cannot be taken
    // (a folder that cannot be written); the register is usable all the same.
    static bool Hold(const QString &dbPath);
    // No other process holds dbPath. Never blocks for long: a process in the way is not waited for.
    static bool Alone(const QString &dbPath);
    // Where the hold lives; inside the backups folder.
    static QString LockPath(const QString &dbPath);
};
