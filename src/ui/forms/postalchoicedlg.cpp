#include "forms/postalchoicedlg.h"

#include "forms/dialogtemplate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CPostalChoiceDlg::CPostalChoiceDlg(const QString &title, const QString &question, const QStringList &items, QWidget *parent)
    : QDialog(parent)
    , m_pList(new QListWidget(this))
{
    setWindowTitle(title);
    auto *label = new QLabel(question, this);
    label->setBuddy(m_pList);
    m_pList->addItems(items);
    m_pList->setCurrentRow(0);
    m_pList->setAccessibleName(question);
    m_pList->setMinimumWidth(m_pList->sizeHintForColumn(0) + 40);
    // Enter or a double click takes the row, as OK does.
    connect(m_pList, &QListWidget::itemActivated, this, &QDialog::accept);
    QDialogButtonBox *buttons = CDialogTemplate::OkCancel(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
}

int CPostalChoiceDlg::Chosen() const
{
    return m_pList->currentRow();
}
