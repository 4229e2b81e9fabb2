#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Every modal dialog and message box of the program runs through here, so that
// tests can answer them instead of a person.
class CModalSeam final
{
public:
    using Responder = std::function<int(QDialog &)>;

    static int Exec(QDialog &dialog);
    // Tests install a responder; an empty one restores the real dialogs.
    static void SetResponder(Responder responder);
};

// The program's message box: caption "Morvek" unless one is given; the default
// button is the box's own choice unless one is given.
QMessageBox::StandardButton MorvekMessageBox(const QString &text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                             QMessageBox::Icon icon = QMessageBox::Warning, const QString &caption = {},
                                             QWidget *parent = nullptr,
                                             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
