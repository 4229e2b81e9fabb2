#pragma once

#include "register/unitfields.h"

#include <memory>

class CMast00;

// One unit as a form shows it and corrects it. A correction writes a field only
// while it still holds what was read here; otherwise "他のユーザーが変更しました。",
// nothing is written, and Fields() then shows the unit as it is now.
class CUnitEditor final
{
public:
    explicit CUnitEditor(qint32 id);
    ~CUnitEditor();
    CUnitEditor(const CUnitEditor &) = delete;
    CUnitEditor &operator=(const CUnitEditor &) = delete;

    // False when the unit was gone when read.
    bool IsThere() const { return m_bThere; }
    const SUnitFields &Fields() const { return m_fields; }

    // Writes the name and the address lines of fields that differ from Fields(),
    // in one register transaction; the unit's place and code stay.
    void Write(const SUnitFields &fields);

private:
    void TakeRow();

    std::unique_ptr<CMast00> m_pUnits; // open on the unit while the form runs
    SUnitFields m_fields;
    bool m_bThere = false;
};
