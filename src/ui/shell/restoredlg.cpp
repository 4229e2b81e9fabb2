#include "shell/restoredlg.h"

#include "base/modalseam.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから復元");
}

CRestoreDlg::CRestoreDlg(const QList<SBackupInfo> &copies, QWidget *parent)
    : QDialog(parent)
    , m_copies(copies)
    , m_pList(new QTreeWidget(this))
    , m_pFile(new QPushButton(QStringLiteral("ファイルを選択..."), this))
{
    setWindowTitle(kTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(m_copies.isEmpty() ? QStringLiteral("このデータベースのバックアップはありません。\n"
                                                                     "「ファイルを選択...」で復元するファイルを選べます。")
                                                    : QStringLiteral("復元するバックアップを選んでください。"),
                                 this));
    m_pList->setAccessibleName(QStringLiteral("バックアップ"));
    m_pList->setRootIsDecorated(false);
    m_pList->setHeaderLabels(
        {QStringLiteral("作成日時"), QStringLiteral("種類"), QStringLiteral("部課"), QStringLiteral("社員")});
    for (const SBackupInfo &copy : m_copies) {
        const bool restorable = copy.Restorable();
        auto *item = new QTreeWidgetItem(m_pList, {DateText(copy.taken), KindText(copy.kind),
                                                   restorable ? QString::number(copy.units) : QString(),
                                                   restorable ? QString::number(copy.employees) : QString()});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, copy.path);
        if (!restorable)
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
    m_pList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_pList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(m_pList);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("復元"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->addButton(m_pFile, QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_pFile, &QPushButton::clicked, this, &CRestoreDlg::OnChooseFile);
    for (int row = 0; row < m_copies.size(); ++row) {
        if (m_copies[row].Restorable()) {
            SelectRow(row);
            break;
        }
    }
    resize(560, 320);
}

void CRestoreDlg::SelectRow(int row)
{
    if (QTreeWidgetItem *item = m_pList->topLevelItem(row); item && (item->flags() & Qt::ItemIsSelectable))
        m_pList->setCurrentItem(item);
}

SBackupInfo CRestoreDlg::Chosen() const
{
    if (!m_picked.path.isEmpty())
        return m_picked;
    const int row = m_pList->indexOfTopLevelItem(m_pList->currentItem());
    return row >= 0 && row < m_copies.size() && m_copies[row].Restorable() ? m_copies[row] : SBackupInfo();
}

void CRestoreDlg::OnChooseFile()
{
    QFileDialog dialog(this, QStringLiteral("復元するファイルを選択"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ChooseFile(dialog.selectedFiles().constFirst());
}

bool CRestoreDlg::ChooseFile(const QString &path)
{
    SBackupInfo info = CDatabaseBackup::Inspect(path);
    info.kind = SBackupInfo::EKind::chosen;
    if (!info.taken.isValid())
        info.taken = QFileInfo(path).lastModified();
    if (!info.Ok()) {
        MorvekMessageBox(QStringLiteral("「%1」は Morvek のデータベースとして使えないため、復元できません。\n%2")
                             .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), info.problem),
                         QMessageBox::Ok, QMessageBox::Warning, kTitle, this);
        return false;
    }
    m_picked = info;
    accept();
    return true;
}

QString CRestoreDlg::DateText(const QDateTime &taken)
{
    return taken.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString CRestoreDlg::KindText(SBackupInfo::EKind kind)
{
    switch (kind) {
    case SBackupInfo::EKind::daily:
        return QStringLiteral("毎日のバックアップ");
    case SBackupInfo::EKind::beforeRestore:
        return QStringLiteral("復元前のファイル");
    case SBackupInfo::EKind::damaged:
        return QStringLiteral("壊れたファイル（復元できません）");
    case SBackupInfo::EKind::manual:
        return QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ作成");
    case SBackupInfo::EKind::chosen:
        return QStringLiteral("選択したファイル");
    }
    return {};
}
