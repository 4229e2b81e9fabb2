#include "print/listoptionstab.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QVBoxLayout>

CListOptionsTab::CListOptionsTab(const CListPrintChoice &choice, QWidget *parent)
    : QWidget(parent)
    , m_pCompany(new QRadioButton(QStringLiteral("会社全体の社員一覧"), this))
    , m_pByUnit(new QRadioButton(QStringLiteral("選択した部課とその下の部課の社員一覧（部課ごと）"), this))
    , m_pBreak(new QCheckBox(QStringLiteral("すぐ下の部課ごとに改ページする"), this))
{
    // The print dialog names the tab after the window title.
    setWindowTitle(QStringLiteral("社員一覧"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pCompany);
    layout->addWidget(m_pByUnit);
    layout->addWidget(m_pBreak);
    layout->addStretch();
    m_pCompany->setChecked(!choice.m_bByUnit);
    m_pByUnit->setChecked(choice.m_bByUnit);
    m_pBreak->setChecked(choice.m_bBreakPerTopUnit);
    m_pBreak->setEnabled(choice.m_bByUnit);
    connect(m_pByUnit, &QRadioButton::toggled, m_pBreak, &QCheckBox::setEnabled);
}

CListPrintChoice CListOptionsTab::Choice() const
{
    CListPrintChoice choice;
    choice.m_bByUnit = m_pByUnit->isChecked();
    choice.m_bBreakPerTopUnit = m_pBreak->isChecked();
    return choice;
}
