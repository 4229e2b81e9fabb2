#include "base/popupkey.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

bool CPopupKey::Handle(QWidget *widget, const QKeyEvent *event)
{
    if (event->key() != Qt::Key_F10 || (event->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
        return false;
    const QPoint at = widget->rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &menu);
    return true;
}
