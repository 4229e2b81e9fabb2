#include "busyindicator.h"

#include "app/frameservices.h"

#include <QApplication>

CBusyIndicator::CBusyIndicator()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetBusyAnimation(true);
}

CBusyIndicator::~CBusyIndicator()
{
    QApplication::restoreOverrideCursor();
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetBusyAnimation(false);
}
