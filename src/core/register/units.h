#pragma once

#include "register/unitfields.h"
#include "register/unitrow.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class CMast00;
class CRegisterTransaction;

// The organisation units as the windows, printing and CSV ask for them. Each
// write is one register transaction and tells the register what it changed.
class CUnits final
{
public:
    CUnits() = delete;

    static bool Exists(qint32 id);
    // Names from the top down to unit id, each followed by a line feed; empty
    // when the unit is gone.
    static QString Path(qint32 id, bool skipCompany);
    // Names from the company down to unit id, joined by "/"; empty when it is gone.
    static QString SlashPath(qint32 id);
    // Unit id and the units above it, up to its company.
    static QList<qint32> Chain(qint32 id);

    // The units right under parentId (0: the companies), by code, then by ID.
    // pulse is called for each unit read, for a busy indicator.
    static QList<SUnitRow> Children(qint32 parentId, const std::function<void()> &pulse = {});
    static std::optional<SUnitRow> Row(qint32 id);
    // Every unit, by ID, in one read.
    static QList<SUnitRow> All();
    // All the fields of a unit, for the forms; none when it is gone.
    static std::optional<SUnitFields> Fields(qint32 id);

    // A department under parentId, of its company: the name and address of fields.
    // Its ID, or 0 when the unit above is gone (then nothing is written).
    static qint32 AddDepartment(qint32 parentId, const SUnitFields &fields);
    // Corrects the company of that code (the first unit carrying it), or adds one.
    // Returns its ID.
    static qint32 SaveCompany(qint32 code, const SUnitFields &fields);
    // Removes the unit, a company with all its departments, and releases their
    // employees, all or nothing. False when the unit was gone already.
    static bool Delete(qint32 id);
    // How many employees Delete(id) would release; -1 when the unit is gone.
    static int ReleasedByDelete(qint32 id);

    // Inside a write: true when the unit is there, and it then stays there until
    // the write ends; another user's delete of it waits for that.
    static bool Hold(CRegisterTransaction &transaction, qint32 id);
};
