#pragma once

#include <QList>
#include <QString>

// The organisation units as windows, printing and CSV ask for them.
class CUnits final
{
public:
    CUnits() = delete;

    static bool Exists(qint32 id);
    // Names from the top down to unit id, each followed by a line feed; empty
    // when the unit is gone.
    static QString Path(qint32 id, bool skipCompany);
    // Unit id and the units above it, up to its company.
    static QList<qint32> Chain(qint32 id);
};
