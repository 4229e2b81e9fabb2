#include "busyindicator.h"

#include "app/frameservices.h"
#include "forms/busyanimation.h"

#include <QApplication>
#include <QElapsedTimer>

namespace {
int g_depth = 0;
QElapsedTimer g_sinceFrame;
} // namespace

CBusyIndicator::CBusyIndicator()
{
    if (g_depth++ > 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetBusyAnimation(true);
    g_sinceFrame.start();
}

CBusyIndicator::~CBusyIndicator()
{
    if (--g_depth > 0)
        return;
    QApplication::restoreOverrideCursor();
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetBusyAnimation(false);
}

void CBusyIndicator::Tick()
{
    if (g_depth == 0 || g_sinceFrame.elapsed() < CBusyAnimation::kFrameInterval)
        return;
    g_sinceFrame.restart();
    if (CFrameServices *services = CFrameServices::Instance())
        services->StepBusyAnimation();
}
