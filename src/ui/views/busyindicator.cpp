#include "views/busyindicator.h"

#include "base/frameservices.h"
#include "forms/busyanimation.h"

#include <QApplication>

namespace {
int g_shown = 0; // guards showing the cursor and clip now
// Reading the clock for every row would cost more than the row.
constexpr unsigned kPulsesPerLook = 32;
} // namespace

CBusyIndicator::CBusyIndicator(int delayMs)
    : m_nDelay(delayMs)
{
    m_clock.start();
}

CBusyIndicator::~CBusyIndicator()
{
    if (!m_bShown)
        return;
    QApplication::restoreOverrideCursor();
    if (--g_shown == 0) {
        if (CFrameServices *services = CFrameServices::Instance())
            services->SetBusyAnimation(false);
    }
}

void CBusyIndicator::Show()
{
    m_bShown = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (g_shown++ == 0) {
        if (CFrameServices *services = CFrameServices::Instance())
            services->SetBusyAnimation(true);
    }
}

void CBusyIndicator::Pulse()
{
    if (m_nPulses++ % kPulsesPerLook != 0 && m_nDelay > 0)
        return;
    const qint64 now = m_clock.elapsed();
    if (!m_bShown) {
        if (now < m_nDelay)
            return;
        Show();
        m_nLastStep = now;
        return;
    }
    if (now - m_nLastStep >= CBusyAnimation::kFrameInterval) {
        m_nLastStep = now;
        if (CFrameServices *services = CFrameServices::Instance())
            services->StepBusyAnimation();
    }
}
