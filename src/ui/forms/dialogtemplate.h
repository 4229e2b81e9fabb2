#pragma once

#include "forms/dialogunits.h"

#include <QString>

class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// Lays a form out from its template's numbers, in dialog units of the template
// font. Controls take the focus in the order they are added; statics are added
// first so that they stay beneath the controls.
class CDialogTemplate final
{
public:
    // Gives the dialog the template font and its fixed client size.
    CDialogTemplate(QDialog *dialog, int cx, int cy);

    const CDialogUnits &Units() const { return m_units; }

    // A label sized to its text unless a size is given.
    QLabel *AddStatic(const QString &text, int x, int y, int cx = 0, int cy = 0);
    QGroupBox *AddGroupBox(const QString &title, int x, int y, int cx, int cy);
    QPushButton *AddButton(const QString &text, int x, int y, int cx, int cy);
    // Places a control made by the form.
    void Place(QWidget *control, int x, int y, int cx, int cy);

    // A label's text as a field's name: without its colon and mnemonic mark.
    static QString LabelName(const QString &text);
    // Each label of dialog that shows the name of a control beside it becomes that
    // control's buddy, so that a screen reader and the label's mnemonic agree.
    static void PairLabels(QWidget *dialog);
    // OK and ｷｬﾝｾﾙ in the program's words, accepting and rejecting the dialog.
    static QDialogButtonBox *OkCancel(QDialog *dialog);

private:
    QDialog *m_pDialog;
    CDialogUnits m_units;
};
