#pragma once

#include "register/registerchanges.h"

#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

// Brings what the register tells of changes to one window: a change made in
// this program may be shown at once; the rest (and any made elsewhere) are
// gathered and shown once per turn of the event loop, and not before a menu, a
// drag or a modal window over the owner has closed, so that nothing moves under
// the user's hand.
class CChangeFollower final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChangeFollower)

public:
    // Shows what was gathered; a failure is reported, not the writer's.
    using Apply = std::function<void(const CRegisterChanges &changes)>;
    // A change of this program shown at once: true when nothing is left to show.
    using ApplyNow = std::function<bool(const SRegisterChange &change)>;

    CChangeFollower(QWidget *owner, Apply apply, ApplyNow now = {});
    ~CChangeFollower() override;

    bool IsWaiting() const { return !m_waiting.IsEmpty(); }
    // Whether the owner may change under the user now: no menu is open, no
    // mouse held by a drag, no modal window above the owner's.
    static bool MayChange(const QWidget *owner);

private:
    void OnChanged(const SRegisterChange &change);
    void OnTurn();

    QWidget *m_pOwner;
    Apply m_apply;
    ApplyNow m_now;
    CRegisterChanges m_waiting;
    QTimer m_turn;
};
