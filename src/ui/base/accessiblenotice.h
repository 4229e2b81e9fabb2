#pragma once

#include <QAccessible>
#include <functional>

class QObject;

// Tells a screen reader that something it reads changed: a name, a description, an
// alert. Qt passes the notice on only while an assistive technology listens; an
// observer (the tests') hears every notice.
class CAccessibleNotice final
{
public:
    CAccessibleNotice() = delete;

    using Observer = std::function<void(QObject *object, QAccessible::Event event)>;

    static void Tell(QObject *object, QAccessible::Event event);
    static void SetObserver(Observer observer);
};
