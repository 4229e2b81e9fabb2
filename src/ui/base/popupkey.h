#pragma once

class QKeyEvent;
class QWidget;

// Shift+F10 opens a widget's pop-up menu as the menu key does: Qt turns only
// the latter into a context-menu event by itself.
class CPopupKey final
{
public:
    CPopupKey() = delete;

    // True when the key was Shift+F10 and the widget was sent a keyboard context-menu event.
    static bool Handle(QWidget *widget, const QKeyEvent *event);
};
