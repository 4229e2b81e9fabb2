#include "base/frameservices.h"

namespace {
CFrameServices *g_services = nullptr;
}

CFrameServices *CFrameServices::Instance()
{
    return g_services;
}

void CFrameServices::Register(CFrameServices *services)
{
    g_services = services;
}
