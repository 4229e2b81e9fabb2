#include "views/transferdlg.h"

#include "views/focusframe.h"
#include "views/rowimages.h"
#include "base/modalseam.h"
#include "dates/datevalue.h"
#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"
#include "forms/toneservice.h"
#include "register/employees.h"
#include "register/units.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>

namespace {
const QString kTitle = QStringLiteral("社員の異動");
const QString kCount = QStringLiteral("選択した %1 人を異動します。");
const QString kNoUnit = QStringLiteral("異動先の部課を選んでください。");
const QString kNoDay = QStringLiteral("異動日を正しい日付で入力してください。");
constexpr int kIdRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;

const SFieldDesc kFields[] = {
    {QStringLiteral("異動日を入力してください。この日から異動先に所属します。（和暦 平成 10/1/1=100101 年号の切替 "
                    "PageUp 、PageDown です。)"),
     FIELD_DATE, 6, QStringLiteral("異動日")},
};
constexpr int kFieldRects[1][4] = {{45, 145, 60, 14}};

QTreeWidgetItem *MakeItem(const SUnitRow &unit)
{
    auto *item = new QTreeWidgetItem(QStringList(unit.strName));
    item->setIcon(0, CRowImages::Icon(unit.IsCompany() ? CRowImages::company : CRowImages::department));
    item->setData(0, kIdRole, unit.nID);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}
} // namespace

CTransferDlg::CTransferDlg(int employeeCount, QWidget *parent)
    : CFuncKeyDialog(parent)
{
    m_nFieldCount = 1;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 200, 186);
    form.AddStatic(kCount.arg(employeeCount), 7, 7, 186, 10);
    form.AddStatic(QStringLiteral("異動先："), 7, 21, 40, 10);
    form.AddStatic(QStringLiteral("異動日："), 7, 148, 36, 10);
    m_pUnits = new QTreeWidget(this);
    m_pUnits->setHeaderHidden(true);
    m_pUnits->setIconSize(QSize(16, 16));
    m_pUnits->setUniformRowHeights(true);
    m_pUnits->setAccessibleName(QStringLiteral("異動先"));
    m_pUnits->setItemDelegate(new CFocusFrame(m_pUnits));
    form.Place(m_pUnits, 7, 33, 186, 106);
    CreateFields(form, kFieldRects);
    AddOkCancel(form, 166, 143);
    m_pUnits->installEventFilter(this);
    connect(m_pUnits, &QTreeWidget::itemExpanded, this, &CTransferDlg::LoadChildren);
    connect(m_pUnits, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { LoadChildren(item); });
}

void CTransferDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    Field(FieldDate)->SetEraMode(true);
    SetupFields(kFields);
    Field(FieldDate)->SetDate(CDateValue::CurrentTime());
    for (const SUnitRow &unit : CUnits::Children(0))
        m_pUnits->addTopLevelItem(MakeItem(unit));
    // The unit asked for is opened down to, as the company window's tree does.
    QTreeWidgetItem *current = nullptr;
    const QList<qint32> chain = m_nUnit != 0 ? CUnits::Chain(m_nUnit) : QList<qint32>();
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        QTreeWidgetItem *next = nullptr;
        const int count = current ? current->childCount() : m_pUnits->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem *item = current ? current->child(i) : m_pUnits->topLevelItem(i);
            if (item->data(0, kIdRole).toInt() == *it)
                next = item;
        }
        if (!next)
            break;
        LoadChildren(next);
        if (current)
            current->setExpanded(true);
        current = next;
    }
    m_pUnits->setCurrentItem(current ? current : m_pUnits->topLevelItem(0));
    m_pUnits->setFocus(Qt::OtherFocusReason);
    PutFuncKeyCaptions(PlainCaptions());
}

// Down below the last unit goes on to 異動日, as Enter and Down go from field to
// field in the forms; Up there comes back.
bool CTransferDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pUnits && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QTreeWidgetItem *current = m_pUnits->currentItem();
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier
            && (!current || !m_pUnits->itemBelow(current))) {
            Field(FieldDate)->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return CFuncKeyDialog::eventFilter(watched, event);
}

void CTransferDlg::LoadChildren(QTreeWidgetItem *item)
{
    if (!item || item->data(0, kLoadedRole).toBool())
        return;
    item->setData(0, kLoadedRole, true);
    for (const SUnitRow &unit : CUnits::Children(item->data(0, kIdRole).toInt()))
        item->addChild(MakeItem(unit));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void CTransferDlg::Refuse(const QString &reason, QWidget *back)
{
    ShowRefusalText(reason);
    CToneService::Play(CToneService::Tone::Rejected);
    MorvekMessageBox(reason, QMessageBox::Ok, QMessageBox::Critical, kTitle, this);
    back->setFocus(Qt::OtherFocusReason);
}

void CTransferDlg::accept()
{
    const QTreeWidgetItem *item = m_pUnits->currentItem();
    if (!item) {
        Refuse(kNoUnit, m_pUnits);
        return;
    }
    const CEraDateEdit *field = Field(FieldDate);
    const QDate day = field->GetFieldText().size() == 6 ? field->GetDate().Date() : QDate();
    const QString problem = day.isValid() ? CEmployees::EffectiveDateProblem(day) : kNoDay;
    if (!problem.isEmpty()) {
        Refuse(problem, Field(FieldDate));
        return;
    }
    m_nUnit = item->data(0, kIdRole).toInt();
    m_effective = day == QDate::currentDate() ? QDate() : day;
    CFuncKeyDialog::accept();
}
