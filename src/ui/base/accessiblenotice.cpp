#include "base/accessiblenotice.h"

namespace {
CAccessibleNotice::Observer &CurrentObserver()
{
    static CAccessibleNotice::Observer observer;
    return observer;
}
} // namespace

void CAccessibleNotice::Tell(QObject *object, QAccessible::Event event)
{
    if (const auto &observer = CurrentObserver())
        observer(object, event);
    QAccessibleEvent notice(object, event);
    QAccessible::updateAccessibility(&notice);
}

void CAccessibleNotice::SetObserver(Observer observer)
{
    CurrentObserver() = std::move(observer);
}
