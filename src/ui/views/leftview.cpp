#include "views/leftview.h"

#include "views/busyindicator.h"
#include "views/morvekview.h"
#include "views/rowimages.h"
#include "base/commandids.h"
#include "base/modalseam.h"
#include "base/errorreport.h"
#include "employee/employeesearchdlg.h"
#include "register/searchpager.h"
#include "employee/startcodedlg.h"
#include "forms/deptdlg.h"
#include "printlayout/companylistjob.h"
#include "store/daoexception.h"
#include "store/mast01.h"
#include "store/daocolumnsubset.h"
#include "store/daotransaction.h"
#include "store/setopener.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <iterator>
#include <memory>

namespace {
constexpr int kIdRole = Qt::UserRole;
// Where a menu opened from the keyboard appears, from the tree's top left corner.
constexpr QPoint kKeyboardMenuOffset(5, 5);

const QString kDeleteCaption = QStringLiteral("削除");
const QString kAskDeleteCompany = QStringLiteral("会社全体を削除しますか？");
const QString kLowerLevelExists = QStringLiteral("下階層が存在します削除できません！");
const QString kAskDelete = QStringLiteral("削除しますか？");
const QString kCompanyAsUpper = QStringLiteral("会社");
const QString kSearchCaption = QStringLiteral("検索");
const QString kNoUnit = QStringLiteral("社員「%1」はどの部課にも所属していません。");
const QString kUnitGone = QStringLiteral("社員「%1」の所属部課が見つかりません。");
const QString kUnitDeleted = QStringLiteral("この部課は他のユーザーが削除しました。");
const QString kNotDeleted = QStringLiteral("削除できませんでした。データは何も変更されていません。");

struct SMenuEntry {
    const char16_t *text;
    int id;
    void (CLeftView::*handler)();
};
const SMenuEntry kMenu102[] = {
    {u"部課追加", ID_ADD_DEPT, &CLeftView::OnAddDept},
    {u"部課訂正", ID_EDIT_DEPT, &CLeftView::OnEditDept},
    {u"部課削除", ID_DELETE_DEPT, &CLeftView::OnDeleteDept},
    {nullptr, 0, nullptr},
    {u"検索", ID_SEARCH, &CLeftView::OnSearch},
};

QString IdCondition(qint32 id)
{
    return QStringLiteral("ID=%1").arg(id);
}

QTreeWidgetItem *NextSibling(QTreeWidgetItem *item)
{
    if (QTreeWidgetItem *parent = item->parent())
        return parent->child(parent->indexOfChild(item) + 1);
    QTreeWidget *tree = item->treeWidget();
    return tree->topLevelItem(tree->indexOfTopLevelItem(item) + 1);
}

void FillForm(CDeptDlg &dlg, const CMast00 &unit, bool withName)
{
    if (withName)
        dlg.m_strName = unit.m_Name;
    dlg.m_strYuu = unit.m_Yuu;
    dlg.m_strJuu1 = unit.m_Juu1;
    dlg.m_strJuu2 = unit.m_Juu2;
    dlg.m_strTel = unit.m_TEL;
    dlg.m_strFax = unit.m_FAX;
}

void TakeForm(CMast00 &unit, const CDeptDlg &dlg)
{
    unit.m_Name = dlg.m_strName;
    unit.m_Yuu = dlg.m_strYuu;
    unit.m_Juu1 = dlg.m_strJuu1;
    unit.m_Juu2 = dlg.m_strJuu2;
    unit.m_TEL = dlg.m_strTel;
    unit.m_FAX = dlg.m_strFax;
}
} // namespace

CLeftView::CLeftView(CMorvekDoc *pDocument, QWidget *parent)
    : QTreeWidget(parent)
    , m_pDocument(pDocument)
    , m_pPrintJob(std::make_unique<CCompanyListJob>())
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::currentItemChanged, this, &CLeftView::OnSelChanged);
    // A database that cannot be read leaves the tree empty; the window still opens.
    try {
        LoadChildUnits(0);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
}

CLeftView::~CLeftView()
{
    // The base class empties the tree after this part is gone.
    disconnect(this, &QTreeWidget::currentItemChanged, this, &CLeftView::OnSelChanged);
}

qint32 CLeftView::UnitId(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kIdRole).toInt() : 0;
}

void CLeftView::LoadChildUnits(qint32 parentId)
{
    m_rsUnits.m_strSort = QStringLiteral("Parent , Code , ID");
    const QString condition = QStringLiteral("Parent = %1").arg(parentId);
    CBusyIndicator busy;
    // An item shows the name and keeps the ID; the rest of the row is not read.
    const CDaoColumnSubset columns(m_rsUnits, {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Code"),
                                               QStringLiteral("Name")});
    CSetOpener open(m_rsUnits);
    if (parentId == 0)
        clear();
    for (bool found = m_rsUnits.FindFirst(condition); found; found = m_rsUnits.FindNext(condition)) {
        InsertUnitItem();
        busy.Pulse();
    }
}

void CLeftView::InsertUnitItem()
{
    // Children are read only for the selected item, so that is where they go.
    QTreeWidgetItem *parent = m_rsUnits.m_Parent != 0 ? currentItem() : nullptr;
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    const int image = m_rsUnits.m_Parent != 0 ? CRowImages::department : CRowImages::company;
    item->setText(0, m_rsUnits.m_Name);
    item->setIcon(0, CRowImages::Icon(image));
    item->setData(0, kIdRole, m_rsUnits.m_ID);
}

void CLeftView::InsertChildItem(QTreeWidgetItem *parent)
{
    auto *item = new QTreeWidgetItem(parent);
    item->setText(0, m_rsUnits.m_Name);
    item->setIcon(0, CRowImages::Icon(CRowImages::department));
    item->setData(0, kIdRole, m_rsUnits.m_ID);
}

void CLeftView::OnSelChanged(QTreeWidgetItem *current)
{
    if (!current) {
        // Nothing selected any more (the unit was removed or the tree rebuilt):
        // rows of units that may be gone would mislead.
        if (m_pListView)
            m_pListView->ClearContents();
        return;
    }
    const qint32 id = UnitId(current);
    if (!UnitStillThere(current)) {
        if (m_pListView)
            m_pListView->ClearContents();
        return;
    }
    if (current->childCount() == 0)
        LoadChildUnits(id);
    if (m_pListView)
        m_pListView->ShowUnitContents(m_rsUnits, id);
}

void CLeftView::SelectUnit(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (currentItem() == item)
        OnSelChanged(item);
    else
        setCurrentItem(item);
}

void CLeftView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    // A right click selects the unit its menu is for; on empty ground it does nothing.
    if (QTreeWidgetItem *item = itemAt(event->position().toPoint()))
        setCurrentItem(item);
}

void CLeftView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        OnContextMenu(viewport()->mapToGlobal(kKeyboardMenuOffset));
    else if (itemAt(event->pos()))
        OnContextMenu(event->globalPos());
}

void CLeftView::focusInEvent(QFocusEvent *event)
{
    // Focus alone would make the first company current and fill the list; the
    // list stays empty until the user picks a unit (the arrow keys still start
    // from the top).
    const bool hadCurrent = currentItem() != nullptr;
    const QSignalBlocker quiet(this);
    QTreeWidget::focusInEvent(event);
    if (!hadCurrent && currentItem())
        selectionModel()->clearCurrentIndex();
}

void CLeftView::OnContextMenu(const QPoint &screenPoint)
{
    std::unique_ptr<QMenu> menu(CreateContextMenu(this));
    menu->exec(screenPoint);
}

QMenu *CLeftView::CreateContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    for (const SMenuEntry &entry : kMenu102) {
        if (!entry.text) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf16(entry.text));
        action->setData(entry.id);
        connect(action, &QAction::triggered, this, entry.handler);
    }
    return menu;
}

bool CLeftView::FindSelectedUnit()
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected)
        return false;
    if (m_rsUnits.FindFirst(IdCondition(UnitId(selected))))
        return true;
    UnitGone(selected);
    return false;
}

bool CLeftView::UnitExists(qint32 unitId)
{
    CMast00 units;
    units.m_strSort = QStringLiteral("ID");
    units.SetColumnSubset({QStringLiteral("ID")});
    CSetOpener open(units);
    return units.FindFirst(IdCondition(unitId));
}

void CLeftView::TellUnitDeleted(QWidget *parent)
{
    MorvekMessageBox(kUnitDeleted, QMessageBox::Ok, QMessageBox::Information, QString(), parent);
}

bool CLeftView::UnitStillThere(QTreeWidgetItem *item)
{
    if (UnitExists(UnitId(item)))
        return true;
    UnitGone(item);
    return false;
}

void CLeftView::UnitGone(QTreeWidgetItem *item)
{
    TellUnitDeleted(this);
    // Not now: the caller may be inside the tree's own selection change, or still
    // hold the item.
    const QPersistentModelIndex index(indexFromItem(item));
    QTimer::singleShot(0, this, [this, index] { ForgetGoneUnit(index); });
}

void CLeftView::ForgetGoneUnit(const QPersistentModelIndex &index)
{
    QTreeWidgetItem *gone = index.isValid() ? itemFromIndex(index) : nullptr;
    if (!gone)
        return;
    // A company deleted elsewhere takes its departments with it.
    QTreeWidgetItem *above = gone->parent();
    while (above && !UnitExists(UnitId(above))) {
        gone = above;
        above = above->parent();
    }
    bool holdsSelection = false;
    for (const QTreeWidgetItem *item = currentItem(); item && !holdsSelection; item = item->parent())
        holdsSelection = item == gone;
    // Selected before the removal, so that the tree does not pick a neighbour of its own.
    if (holdsSelection)
        setCurrentItem(above);
    delete gone;
}

void CLeftView::OnAddDept()
{
    CDeptDlg dlg(this);
    QTreeWidgetItem *selected = currentItem();
    m_rsUnits.m_strSort = QStringLiteral("ID");
    CSetOpener open(m_rsUnits);
    if (!FindSelectedUnit())
        return;
    const qint32 parentId = m_rsUnits.m_ID;
    const qint32 code = m_rsUnits.m_Code;
    // A new department starts with the address of the unit above it.
    dlg.m_strUpper = m_rsUnits.m_Name;
    FillForm(dlg, m_rsUnits, false);
    if (CModalSeam::Exec(dlg) != QDialog::Accepted)
        return;
    m_rsUnits.AddNew();
    m_rsUnits.m_Parent = parentId;
    m_rsUnits.m_Code = code;
    TakeForm(m_rsUnits, dlg);
    m_rsUnits.Update();
    m_rsUnits.Requery();
    m_rsUnits.MoveLast();
    InsertChildItem(selected);
    // The list may show another unit after a double-click there.
    if (m_pListView && m_pListView->GetCurrentUnit() == parentId)
        m_pListView->AddUnitRow(m_rsUnits);
}

void CLeftView::OnEditDept()
{
    CDeptDlg dlg(this);
    QTreeWidgetItem *selected = currentItem();
    m_rsUnits.m_strSort = QStringLiteral("ID");
    CSetOpener open(m_rsUnits);
    if (!FindSelectedUnit())
        return;
    if (m_rsUnits.m_Parent == 0)
        dlg.m_strUpper = kCompanyAsUpper;
    else if (selected->parent())
        dlg.m_strUpper = selected->parent()->text(0);
    FillForm(dlg, m_rsUnits, true);
    if (CModalSeam::Exec(dlg) != QDialog::Accepted)
        return;
    m_rsUnits.Edit();
    TakeForm(m_rsUnits, dlg);
    try {
        m_rsUnits.Update();
    } catch (const CDaoException &error) {
        // Another user's change stays, and the tree shows it.
        if (error.IsConflict())
            selected->setText(0, m_rsUnits.m_Name);
        throw;
    }
    selected->setText(0, dlg.m_strName);
}

void CLeftView::OnDeleteDept()
{
    QTreeWidgetItem *selected = currentItem();
    {
        m_rsUnits.m_strSort = QStringLiteral("ID");
        CSetOpener openUnits(m_rsUnits);
        if (!FindSelectedUnit())
            return;
        const bool company = m_rsUnits.m_Parent == 0;
        if (!company && selected->childCount() > 0) {
            // Loaded children stand for the database: a unit's level is read when
            // it is selected, and the commands act on the selected unit.
            MorvekMessageBox(kLowerLevelExists, QMessageBox::Ok, QMessageBox::Critical, kDeleteCaption, this);
            return;
        }
        if (MorvekMessageBox(company ? kAskDeleteCompany : kAskDelete, QMessageBox::Ok | QMessageBox::Cancel,
                             QMessageBox::Question, kDeleteCaption, this) != QMessageBox::Ok)
            return;
        // The release of the employees and the removal of the units stand or fall together.
        try {
            if (company)
                m_rsUnits.DeleteCompanyReleasingEmployees(m_rsUnits.m_Code);
            else
                m_rsUnits.DeleteDepartmentReleasingEmployees(m_rsUnits.m_ID);
        } catch (const CDaoException &error) {
            throw CDaoException(kNotDeleted, error.DriverText());
        }
    }
    // With the set closed, the selection moving on reads the next unit afresh.
    delete selected;
    if (m_pListView)
        m_pListView->FillUnaffiliatedList();
}

void CLeftView::OnSearch()
{
    SearchEmployee();
}

void CLeftView::SearchEmployee()
{
    CStartCodeDlg startDlg(this);
    CEmployeeSearchDlg searchDlg(this);
    CMast01 employees;
    employees.m_strSort = QStringLiteral("Code");
    if (CModalSeam::Exec(startDlg) != QDialog::Accepted)
        return;
    CSetOpener open(employees);
    searchDlg.m_nStartCode = startDlg.GetStartCode();
    if (CModalSeam::Exec(searchDlg) != QDialog::Accepted
        || !employees.FindFirst(QStringLiteral("ID = %1").arg(searchDlg.m_nSelectedID)))
        return;
    // Saying nothing would look as if the search had failed.
    const QString who = CSearchPager::FormatLine(employees.m_Code, employees.m_Name);
    if (employees.m_Busyo == 0)
        MorvekMessageBox(kNoUnit.arg(who), QMessageBox::Ok, QMessageBox::Information, kSearchCaption, this);
    else if (!RevealUnit(employees.m_Busyo))
        MorvekMessageBox(kUnitGone.arg(who), QMessageBox::Ok, QMessageBox::Information, kSearchCaption, this);
}

bool CLeftView::PrepareCompanyPrintJob()
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected || !UnitStillThere(selected))
        return false;
    CBusyIndicator busy;
    return m_pPrintJob->PrepareCompanyPrintJob(UnitId(selected));
}

void CLeftView::AssignEmployeeToUnit(qint32 employeeId, QTreeWidgetItem *item)
{
    AssignEmployeesToUnit({employeeId}, item);
}

bool CLeftView::AssignEmployeesToUnit(const QList<qint32> &employeeIds, QTreeWidgetItem *item)
{
    // Off before the writes, which may fail: a highlight would outlive the drop.
    SetDropHighlight(nullptr);
    if (!item)
        return false;
    const qint32 unitId = UnitId(item);
    // An employee is never put into a unit that is gone.
    if (!UnitStillThere(item))
        return false;
    CDaoTransaction transaction;
    {
        CMast01 employees;
        employees.Open();
        for (qint32 id : employeeIds) {
            if (!employees.FindFirst(QStringLiteral("ID = %1").arg(id)))
                continue;
            employees.Edit();
            employees.m_Busyo = unitId;
            employees.Update();
        }
    }
    transaction.Commit();
    return true;
}

bool CLeftView::RevealUnit(qint32 unitId)
{
    m_rsUnits.m_strSort = QStringLiteral("Code , ID");
    CBusyIndicator busy;
    CSetOpener open(m_rsUnits);
    QList<qint32> chain;
    m_rsUnits.GetUnitChain(unitId, &chain);
    QTreeWidgetItem *item = topLevelItem(0);
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        while (item && UnitId(item) != *it)
            item = NextSibling(item);
        if (!item)
            return false;
        // The unit itself is shown even when it was selected already: the list
        // may have moved on to another unit since.
        if (std::next(it) == chain.crend())
            SelectUnit(item);
        else
            setCurrentItem(item);
        item->setExpanded(true);
        item = item->child(0);
    }
    return !chain.isEmpty();
}

void CLeftView::SetDropHighlight(QTreeWidgetItem *item)
{
    const QModelIndex index = item ? indexFromItem(item) : QModelIndex();
    if (index == m_dropHighlight)
        return;
    if (m_dropHighlight.isValid())
        update(m_dropHighlight);
    m_dropHighlight = index;
    if (index.isValid())
        update(index);
}

QTreeWidgetItem *CLeftView::GetDropHighlight() const
{
    return m_dropHighlight.isValid() ? itemFromIndex(m_dropHighlight) : nullptr;
}

void CLeftView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem row = option;
    if (m_dropHighlight.isValid() && index == m_dropHighlight)
        row.state |= QStyle::State_Selected;
    QTreeWidget::drawRow(painter, row, index);
}
