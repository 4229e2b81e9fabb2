#include "views/leftview.h"

#include "views/focusframe.h"
#include "views/busyindicator.h"
#include "views/employeedrag.h"
#include "views/employeedrop.h"
#include "views/rowimages.h"
#include "views/treefollower.h"
#include "views/unitdeletednotice.h"
#include "base/commandids.h"
#include "base/errorreport.h"
#include "base/modalseam.h"
#include "base/popupkey.h"
#include "employee/employeesearchdlg.h"
#include "employee/namesearchdlg.h"
#include "employee/startcodedlg.h"
#include "forms/deptdlg.h"
#include "printlayout/companylistjob.h"
#include "register/employeelookup.h"
#include "register/employees.h"
#include "register/searchpager.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "store/daoexception.h"
#include "store/mast01.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <iterator>
#include <memory>

namespace {
constexpr int kIdRole = Qt::UserRole;
// Where a menu opened from the keyboard appears, from the tree's top left corner.
constexpr QPoint kKeyboardMenuOffset(5, 5);

const QString kDeleteCaption = QStringLiteral("削除");
const QString kAskDeleteCompany = QStringLiteral("会社「%1」全体を削除しますか？");
const QString kLowerLevelExists = QStringLiteral("下階層が存在します削除できません！");
const QString kAskDelete = QStringLiteral("「%1」を削除しますか？");
const QString kReleasedWith = QStringLiteral("\n所属する社員 %1 人の所属を解除します。");
const QString kCompanyAsUpper = QStringLiteral("会社");
const QString kSearchCaption = QStringLiteral("検索");
const QString kNoUnit = QStringLiteral("社員「%1」はどの部課にも所属していません。");
const QString kUnitGone = QStringLiteral("社員「%1」の所属部課が見つかりません。");
const QString kNotThen = QStringLiteral("社員「%1」は基準日には登録されていません。");
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
    {u"名前で検索", ID_NAME_SEARCH, &CLeftView::OnNameSearch}, // before 検索, which stays last
    {u"検索", ID_SEARCH, &CLeftView::OnSearch},
};

QTreeWidgetItem *NextSibling(QTreeWidgetItem *item)
{
    if (QTreeWidgetItem *parent = item->parent())
        return parent->child(parent->indexOfChild(item) + 1);
    QTreeWidget *tree = item->treeWidget();
    return tree->topLevelItem(tree->indexOfTopLevelItem(item) + 1);
}

void FillForm(CDeptDlg &dlg, const SUnitFields &unit, bool withName)
{
    if (withName)
        dlg.m_strName = unit.strName;
    dlg.m_strYuu = unit.strYuu;
    dlg.m_strJuu1 = unit.strJuu1;
    dlg.m_strJuu2 = unit.strJuu2;
    dlg.m_strTel = unit.strTel;
    dlg.m_strFax = unit.strFax;
}

void TakeForm(SUnitFields &unit, const CDeptDlg &dlg)
{
    unit.strName = dlg.m_strName;
    unit.strYuu = dlg.m_strYuu;
    unit.strJuu1 = dlg.m_strJuu1;
    unit.strJuu2 = dlg.m_strJuu2;
    unit.strTel = dlg.m_strTel;
    unit.strFax = dlg.m_strFax;
}

bool WriteFromForm(CDeptDlg &dlg, const std::function<void()> &write)
{
    // A write refused for any cause but another user's change opens the form again
    // with what was typed.
    for (;;) {
        if (CModalSeam::Exec(dlg) != QDialog::Accepted)
            return false;
        try {
            write();
            return true;
        } catch (const CDaoException &error) {
            if (error.IsConflict())
                throw;
            CErrorReport::Report(error);
        }
    }
}
} // namespace

CLeftView::CLeftView(CMorvekDoc *pDocument, QWidget *parent)
    : QTreeWidget(parent)
    , m_pDocument(pDocument)
    , m_pPrintJob(std::make_unique<CCompanyListJob>())
{
    setHeaderHidden(true);
    setColumnCount(1);
    setAccessibleName(QStringLiteral("会社と部課"));
    setItemDelegate(new CFocusFrame(this));
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // A deep tree scrolls sideways instead of cutting its names off.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTreeWidget::currentItemChanged, this, &CLeftView::OnSelChanged);
    // A level not read yet is read when its unit is opened, as when it is selected.
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (item->childCount() == 0)
            LoadChildUnits(UnitId(item));
    });
    // Its units follow what the register tells of changes, here or elsewhere.
    new CTreeFollower(this);
    // A database that cannot be read leaves the tree empty; the window still opens.
    // Without one at all the user was told why when it was left out: not again.
    try {
        LoadChildUnits(0);
    } catch (const CDaoException &error) {
        if (error.Problem() != EDatabaseProblem::noPath)
            CErrorReport::Report(error);
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

QTreeWidgetItem *CLeftView::ItemOf(qint32 unitId) const
{
    if (UnitId(currentItem()) == unitId)
        return currentItem();
    for (QTreeWidgetItemIterator it(const_cast<CLeftView *>(this)); *it; ++it) {
        if (UnitId(*it) == unitId)
            return *it;
    }
    return nullptr;
}

void CLeftView::LoadChildUnits(qint32 parentId)
{
    CBusyIndicator busy;
    // An item shows the name and keeps the ID; the rest of the row is not read.
    const QList<SUnitRow> units = m_shown.Children(parentId, [&busy] { busy.Pulse(); });
    if (parentId == 0)
        clear();
    // Children are read for the selected item, so that is where they mostly go.
    QTreeWidgetItem *parent = parentId == 0 ? nullptr : ItemOf(parentId);
    if (parentId != 0 && !parent)
        return;
    for (const SUnitRow &unit : units) {
        InsertUnitItem(parent, unit);
        busy.Pulse();
    }
    // Read now: the arrow shows only where there is something to open.
    if (parent)
        parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void CLeftView::InsertUnitItem(QTreeWidgetItem *parent, const SUnitRow &unit)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, unit.strName);
    item->setIcon(0, CRowImages::Icon(unit.IsCompany() ? CRowImages::company : CRowImages::department));
    item->setData(0, kIdRole, unit.nID);
    // Its level is read when it is opened or selected; until then it may hold units.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void CLeftView::SetAsOf(CShownRegister::AsOf asOf)
{
    const qint32 selected = UnitId(currentItem());
    m_shown.SetAsOf(std::move(asOf));
    m_pPrintJob->SetAsOf(m_shown.GetAsOf());
    LoadChildUnits(0);
    // The user's place is kept where the unit stood then too.
    if (selected != 0 && m_shown.Exists(selected))
        RevealUnit(selected);
}

void CLeftView::OnSelChanged(QTreeWidgetItem *current)
{
    // Nothing selected any more (the unit was removed or the tree rebuilt), or a
    // unit that is gone: rows of units that may be gone would mislead.
    if (!current || !UnitStillThere(current)) {
        emit SelectionCleared();
        return;
    }
    const qint32 id = UnitId(current);
    if (current->childCount() == 0)
        LoadChildUnits(id);
    emit UnitSelected(id);
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

void CLeftView::keyPressEvent(QKeyEvent *event)
{
    if (!CPopupKey::Handle(this, event))
        QTreeWidget::keyPressEvent(event);
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
        // Nothing of a past day is changed.
        action->setEnabled(!m_shown.IsAsOf() || entry.id == ID_NAME_SEARCH || entry.id == ID_SEARCH);
        connect(action, &QAction::triggered, this, entry.handler);
    }
    return menu;
}

bool CLeftView::UnitStillThere(QTreeWidgetItem *item)
{
    if (m_shown.Exists(UnitId(item)))
        return true;
    UnitGone(item);
    return false;
}

void CLeftView::UnitGone(QTreeWidgetItem *item)
{
    CUnitDeletedNotice::Tell(this);
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
    while (above && !m_shown.Exists(UnitId(above))) {
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
    QTreeWidgetItem *selected = currentItem();
    if (!selected || m_shown.RefuseEdit(this))
        return;
    const qint32 parentId = UnitId(selected);
    const std::optional<SUnitFields> upper = CUnits::Fields(parentId);
    if (!upper) {
        UnitGone(selected);
        return;
    }
    CDeptDlg dlg(this);
    // A new department starts with the address of the unit above it.
    dlg.m_strUpper = upper->strName;
    FillForm(dlg, *upper, false);
    qint32 added = 0;
    const bool written = WriteFromForm(dlg, [&] {
        SUnitFields fields;
        TakeForm(fields, dlg);
        added = CUnits::AddDepartment(parentId, fields);
    });
    // Its item, and its row in a list showing the unit above, come as the register tells of it.
    if (written && added == 0)
        UnitGone(selected);
}

void CLeftView::OnEditDept()
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected || m_shown.RefuseEdit(this))
        return;
    CUnitEditor editor(UnitId(selected));
    if (!editor.IsThere()) {
        UnitGone(selected);
        return;
    }
    CDeptDlg dlg(this);
    if (editor.Fields().nParent == 0)
        dlg.m_strUpper = kCompanyAsUpper;
    else if (selected->parent())
        dlg.m_strUpper = selected->parent()->text(0);
    FillForm(dlg, editor.Fields(), true);
    try {
        WriteFromForm(dlg, [&] {
            SUnitFields corrected = editor.Fields();
            TakeForm(corrected, dlg);
            editor.Write(corrected);
        });
    } catch (const CDaoException &error) {
        // Another user's change stays, and the tree shows it.
        if (error.IsConflict())
            selected->setText(0, editor.Fields().strName);
        throw;
    }
}

void CLeftView::OnDeleteDept()
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected || m_shown.RefuseEdit(this))
        return;
    const std::optional<SUnitRow> unit = CUnits::Row(UnitId(selected));
    if (!unit) {
        UnitGone(selected);
        return;
    }
    if (!unit->IsCompany() && selected->childCount() > 0) {
        // Loaded children stand for the database: a unit's level is read when
        // it is selected, and the commands act on the selected unit.
        MorvekMessageBox(kLowerLevelExists, QMessageBox::Ok, QMessageBox::Critical, kDeleteCaption, this);
        return;
    }
    const int released = CUnits::ReleasedByDelete(unit->nID);
    QString ask = (unit->IsCompany() ? kAskDeleteCompany : kAskDelete).arg(unit->strName);
    if (released > 0)
        ask += kReleasedWith.arg(released);
    // Cancel is the default: Enter moves through the forms, and a second one must not delete.
    if (MorvekMessageBox(ask, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Question, kDeleteCaption, this,
                         QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    CBusyIndicator busy(released > 1 ? 0 : CBusyIndicator::kDelay);
    busy.Pulse();
    // The release of the employees and the removal of the units stand or fall
    // together; the items leave the tree as the register tells of it.
    bool deleted = false;
    try {
        deleted = CUnits::Delete(unit->nID);
    } catch (const CDaoException &error) {
        throw CDaoException(kNotDeleted, error.DriverText());
    }
    if (!deleted)
        UnitGone(selected);
}

void CLeftView::OnSearch()
{
    SearchEmployee();
}

void CLeftView::SearchEmployee()
{
    CStartCodeDlg startDlg(this);
    CEmployeeSearchDlg searchDlg(this);
    if (CModalSeam::Exec(startDlg) != QDialog::Accepted)
        return;
    searchDlg.m_nStartCode = startDlg.GetStartCode();
    if (CModalSeam::Exec(searchDlg) != QDialog::Accepted)
        return;
    if (RevealEmployeeUnit(searchDlg.m_nSelectedID))
        emit EmployeeRevealed(searchDlg.m_nSelectedID);
}

bool CLeftView::RevealEmployeeUnit(qint32 employeeId)
{
    QString who;
    qint32 busyo = 0;
    if (!CEmployeeLookup::ById(employeeId, [&](const CMast01 &employee) {
            who = CSearchPager::FormatLine(employee.m_Code, employee.m_Name);
            busyo = employee.m_Busyo;
        }))
        return false;
    // On a past day they are looked for where they stood then.
    const std::optional<qint32> then = m_shown.UnitOfEmployee(employeeId, busyo);
    if (!then) {
        MorvekMessageBox(kNotThen.arg(who), QMessageBox::Ok, QMessageBox::Information, kSearchCaption, this);
        return false;
    }
    busyo = *then;
    // Saying nothing would look as if the search had failed.
    if (busyo == 0)
        MorvekMessageBox(kNoUnit.arg(who), QMessageBox::Ok, QMessageBox::Information, kSearchCaption, this);
    else if (!RevealUnit(busyo))
        MorvekMessageBox(kUnitGone.arg(who), QMessageBox::Ok, QMessageBox::Information, kSearchCaption, this);
    else
        return true;
    return false;
}

void CLeftView::OnNameSearch()
{
    SearchEmployeeByName();
}

void CLeftView::SearchEmployeeByName()
{
    CNameSearchDlg searchDlg(this);
    if (CModalSeam::Exec(searchDlg) == QDialog::Accepted && RevealEmployeeUnit(searchDlg.m_nSelectedID))
        emit EmployeeRevealed(searchDlg.m_nSelectedID);
}

bool CLeftView::PrepareCompanyPrintJob()
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected || !UnitStillThere(selected))
        return false;
    CBusyIndicator busy;
    return m_pPrintJob->PrepareCompanyPrintJob(UnitId(selected));
}

bool CLeftView::PrepareUnitPrintJob(bool breakPerTopUnit)
{
    QTreeWidgetItem *selected = currentItem();
    if (!selected || !UnitStillThere(selected))
        return false;
    CBusyIndicator busy;
    return m_pPrintJob->PrepareUnitPrintJob(UnitId(selected), breakPerTopUnit);
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
    CBusyIndicator busy(employeeIds.size() > 1 ? 0 : CBusyIndicator::kDelay);
    busy.Pulse();
    // An employee is never put into a unit that is gone.
    if (CEmployees::Move(employeeIds, UnitId(item)) == CEmployees::EMove::unitGone) {
        UnitGone(item);
        return false;
    }
    return true;
}

bool CLeftView::RevealUnit(qint32 unitId)
{
    CBusyIndicator busy;
    const QList<qint32> chain = m_shown.Chain(unitId);
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
        scrollToItem(item);
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

void CLeftView::TrackDrag(const QPoint &screenPoint)
{
    SetDropHighlight(CEmployeeDrag::IsOver(this, screenPoint) ? itemAt(viewport()->mapFromGlobal(screenPoint)) : nullptr);
}

void CLeftView::EndDragTracking()
{
    SetDropHighlight(nullptr);
}

void CLeftView::TakeDrop(CEmployeeDrop *drop)
{
    if (drop->IsAccepted() || !CEmployeeDrag::IsOver(this, drop->ScreenPoint()) || m_shown.RefuseEdit(this))
        return;
    QTreeWidgetItem *target = itemAt(viewport()->mapFromGlobal(drop->ScreenPoint()));
    // Over no unit nobody moves: the rows stay where the user sees them.
    if (!target || !AssignEmployeesToUnit(drop->Ids(), target))
        return;
    drop->Accept();
    // Shows the target's contents, also when it is the unit shown already.
    SelectUnit(target);
}

void CLeftView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem row = option;
    if (m_dropHighlight.isValid() && index == m_dropHighlight)
        row.state |= QStyle::State_Selected;
    QTreeWidget::drawRow(painter, row, index);
}
