#pragma once

#include "register/registerchange.h"

#include <QList>
#include <QString>

class CDaoDatabase;

// One write's changes as other programs read them: a line each, "kind unit id,id,...".
// Kinds go by name, so that a build with more of them is still read by this one.
class CChangePayload final
{
public:
    CChangePayload() = delete;

    // What a write kept, in at most limit bytes of UTF-8: a write too large to
    // tell goes as everything.
    static QString Encode(const QList<SRegisterChange> &changes, qsizetype limit);
    // The changes a payload tells, each marked as made elsewhere; a payload that
    // cannot be read, or none at all, tells everything.
    static QList<SRegisterChange> Decode(const QString &payload);
    // Tells other programs and users what a write changed, inside its transaction
    // on db, so that they hear of it only if it is kept. Throws CDaoException.
    static void Announce(CDaoDatabase &db, const QList<SRegisterChange> &changes);
};
