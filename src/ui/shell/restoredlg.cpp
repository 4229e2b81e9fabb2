#include "shell/restoredlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CRestoreDlg::CRestoreDlg(const QList<SBackupInfo> &backups, QWidget *parent)
    : QDialog(parent)
    , m_backups(backups)
    , m_pList(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから復元"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("復元するバックアップを選んでください。"), this));
    m_pList->setRootIsDecorated(false);
    m_pList->setHeaderLabels({QStringLiteral("作成日時"), QStringLiteral("部課"), QStringLiteral("社員")});
    for (const SBackupInfo &backup : m_backups) {
        auto *item = new QTreeWidgetItem(
            m_pList, {DateText(backup.taken), QString::number(backup.units), QString::number(backup.employees)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, backup.path);
    }
    m_pList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_pList);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("復元"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    SelectRow(0);
    resize(420, 320);
}

void CRestoreDlg::SelectRow(int row)
{
    if (QTreeWidgetItem *item = m_pList->topLevelItem(row))
        m_pList->setCurrentItem(item);
}

SBackupInfo CRestoreDlg::Chosen() const
{
    const int row = m_pList->indexOfTopLevelItem(m_pList->currentItem());
    return row >= 0 && row < m_backups.size() ? m_backups[row] : SBackupInfo();
}

QString CRestoreDlg::DateText(const QDateTime &taken)
{
    return taken.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}
