#pragma once

#include "printlayout/listprintchoice.h"

#include <QWidget>

class QCheckBox;
class QRadioButton;

// The print dialog's tab for the employee list: the whole company, or the
// selected unit and those under it grouped by unit, with or without a new page
// for each unit right under it.
class CListOptionsTab final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListOptionsTab)

public:
    explicit CListOptionsTab(const CListPrintChoice &choice, QWidget *parent = nullptr);
    CListPrintChoice Choice() const;

    QRadioButton *CompanyButton() const { return m_pCompany; }
    QRadioButton *ByUnitButton() const { return m_pByUnit; }
    QCheckBox *BreakBox() const { return m_pBreak; }

private:
    QRadioButton *m_pCompany;
    QRadioButton *m_pByUnit;
    QCheckBox *m_pBreak;
};
