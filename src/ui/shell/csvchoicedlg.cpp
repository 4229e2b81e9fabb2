#include "shell/csvchoicedlg.h"

#include "forms/dialogtemplate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CCsvChoiceDlg::CCsvChoiceDlg(const QString &title, const QString &question, const QString &first, const QString &second,
                             QWidget *parent)
    : QDialog(parent)
    , m_pFirst(new QRadioButton(first, this))
    , m_pSecond(new QRadioButton(second, this))
{
    setWindowTitle(title);
    m_pFirst->setChecked(true);
    QDialogButtonBox *buttons = CDialogTemplate::OkCancel(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(question, this));
    layout->addWidget(m_pFirst);
    layout->addWidget(m_pSecond);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CCsvChoiceDlg::IsSecondChosen() const
{
    return m_pSecond->isChecked();
}
