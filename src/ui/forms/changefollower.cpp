#include "forms/changefollower.h"

#include "base/errorreport.h"
#include "register/register.h"

#include <QApplication>
#include <QWidget>

namespace {
// While the user holds a menu, a drag or a modal window, how often to look again.
constexpr int kRetryMs = 100;
} // namespace

CChangeFollower::CChangeFollower(QWidget *owner, Apply apply, ApplyNow now)
    : QObject(owner)
    , m_pOwner(owner)
    , m_apply(std::move(apply))
    , m_now(std::move(now))
{
    m_turn.setSingleShot(true);
    connect(&m_turn, &QTimer::timeout, this, &CChangeFollower::OnTurn);
    connect(&CRegister::Instance(), &CRegister::Changed, this, &CChangeFollower::OnChanged);
}

CChangeFollower::~CChangeFollower() = default;

bool CChangeFollower::MayChange(const QWidget *owner)
{
    if (QApplication::activePopupWidget() || QWidget::mouseGrabber())
        return false;
    const QWidget *modal = QApplication::activeModalWidget();
    return !modal || !owner || modal == owner->window() || modal->isAncestorOf(owner);
}

void CChangeFollower::OnChanged(const SRegisterChange &change)
{
    // The change is kept already: a failure to show it is not the writer's.
    bool shown = false;
    try {
        shown = !change.elsewhere && m_now && m_now(change);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
    // Others still waiting would show an older state of the same rows after it.
    if (shown && m_waiting.IsEmpty())
        return;
    m_waiting.Add(change);
    if (!m_turn.isActive())
        m_turn.start(0);
}

void CChangeFollower::OnTurn()
{
    if (m_waiting.IsEmpty())
        return;
    if (!MayChange(m_pOwner)) {
        m_turn.start(kRetryMs);
        return;
    }
    const CRegisterChanges changes = std::exchange(m_waiting, {});
    try {
        m_apply(changes);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
}
