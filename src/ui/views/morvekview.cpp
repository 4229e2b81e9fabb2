#include "views/morvekview.h"

#include "views/busyindicator.h"
#include "views/employeedrag.h"
#include "views/leftview.h"
#include "views/rowdelegate.h"
#include "views/rowimages.h"
#include "views/unitcontentsmodel.h"
#include "base/errorreport.h"
#include "base/modalseam.h"
#include "employee/employeeviewdlg.h"
#include "views/unaffiliateddlg.h"
#include "printlayout/cardprintjob.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/daocolumnsubset.h"
#include "store/daotransaction.h"
#include "store/setopener.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
// Cells of the small-icon and list columns, in characters of the view's font.
constexpr int kListCellChars = 18;
constexpr int kCellGap = 2;

using SRow = CUnitContentsModel::SRow;

SRow CurrentEmployee(const CMast01 &employees)
{
    return CUnitContentsModel::EmployeeRow(employees.m_ID, employees.m_Sex, employees.m_Name);
}

// Unit 0 stands for no unit, and so for a unit that is gone.
QString EmployeesOf(qint32 unitId)
{
    return unitId == 0 ? CMast01::WithoutUnitCondition() : QStringLiteral("Busyo = %1").arg(unitId);
}

QString SortFor(qint32 unitId)
{
    return unitId == 0 ? QStringLiteral("Code") : QStringLiteral("Busyo,Code");
}

// What a row of the list shows: nothing else is read while it is filled.
const QStringList kEmployeeRowColumns = {QStringLiteral("ID"), QStringLiteral("Sex"), QStringLiteral("Name")};
const QStringList kUnitRowColumns = {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Code"),
                                     QStringLiteral("Name")};
} // namespace

CMorvekView::CMorvekView(CMorvekDoc *pDocument, QWidget *parent)
    : QListView(parent)
    , m_pDocument(pDocument)
    , m_pModel(new CUnitContentsModel(this))
    , m_pHeader(new QHeaderView(Qt::Horizontal, this))
    , m_pDelegate(new CRowDelegate(m_pHeader, this))
    , m_pDrag(std::make_unique<CEmployeeDrag>(this))
    , m_pEmployees(std::make_unique<CMast01>())
    , m_pPrintJob(std::make_unique<CCardPrintJob>(pDocument))
{
    setModel(m_pModel);
    setItemDelegate(m_pDelegate);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setResizeMode(Adjust);
    setUniformItemSizes(true);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);

    m_pHeader->setModel(m_pModel);
    m_pHeader->setSectionsMovable(false);
    m_pHeader->setSectionsClickable(false);
    m_pHeader->setStretchLastSection(false);
    m_pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pHeader->hide();
    connect(m_pHeader, &QHeaderView::sectionResized, this, [this] {
        scheduleDelayedItemsLayout();
        viewport()->update();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_pHeader, &QHeaderView::setOffset);

    SetViewStyle(EViewStyle::icon);
    CreateUnaffiliatedWindow();
}

CMorvekView::~CMorvekView() = default;

void CMorvekView::SetViewStyle(EViewStyle style)
{
    m_nStyle = style;
    const bool report = style == EViewStyle::report;
    const QFontMetrics metrics(font());
    const int line = qMax(kSmallIcon, metrics.height()) + 4;
    setViewMode(style == EViewStyle::icon ? IconMode : ListMode);
    // The view mode sets these its own way; rows never move, and they leave by our drag.
    setMovement(Static);
    setDragEnabled(true);
    viewport()->setAcceptDrops(false);
    setIconSize(style == EViewStyle::icon ? QSize(kLargeIcon, kLargeIcon) : QSize(kSmallIcon, kSmallIcon));
    // Icons run in rows, the list in columns, the report one row a line.
    setFlow(style == EViewStyle::icon || style == EViewStyle::smallIcon ? LeftToRight : TopToBottom);
    setWrapping(!report);
    setWordWrap(style == EViewStyle::icon);
    QSize cell;
    if (style == EViewStyle::icon)
        cell = CRowImages::IconCell(font());
    else if (!report)
        cell = QSize(kSmallIcon + metrics.averageCharWidth() * kListCellChars + 12, line);
    setGridSize(cell);
    m_pDelegate->SetCellSize(cell.isValid() ? cell - QSize(kCellGap, kCellGap) : cell);
    m_pDelegate->SetColumns(report);
    m_pHeader->setVisible(report);
    if (report && !m_bColumnsSized && isVisible())
        InsertColumns();
    updateGeometries();
    scheduleDelayedItemsLayout();
}

void CMorvekView::Arrange()
{
    doItemsLayout();
}

void CMorvekView::InsertColumns()
{
    // Two thirds for the name, a third for the kind, of the width the list has
    // when its columns are first seen.
    m_bColumnsSized = true;
    const int width = viewport()->width();
    m_pHeader->resizeSection(CUnitContentsModel::nameColumn, width / 6 * 4);
    m_pHeader->resizeSection(CUnitContentsModel::kindColumn, width / 6 * 2);
}

void CMorvekView::showEvent(QShowEvent *event)
{
    QListView::showEvent(event);
    if (m_nStyle == EViewStyle::report && !m_bColumnsSized)
        InsertColumns();
}

void CMorvekView::updateGeometries()
{
    if (m_pHeader->isHidden()) {
        setViewportMargins(0, 0, 0, 0);
    } else {
        const int height = m_pHeader->sizeHint().height();
        setViewportMargins(0, height, 0, 0);
        const QRect area = viewport()->geometry();
        m_pHeader->setGeometry(area.left(), area.top() - height, area.width(), height);
        m_pHeader->setOffset(horizontalScrollBar()->value());
    }
    QListView::updateGeometries();
}

int CMorvekView::RowImage(int row) const
{
    return row >= 0 && row < m_pModel->rowCount() ? m_pModel->Row(row).nImage : CRowImages::company;
}

void CMorvekView::ShowUnitContents(CMast00 &units, qint32 unitId)
{
    m_pDrag->Reset();
    CBusyIndicator busy;
    units.m_strSort = QStringLiteral("Parent , Code , ID");
    const QString condition = QStringLiteral("Parent = %1").arg(unitId);
    std::vector<SRow> rows;
    {
        const CDaoColumnSubset columns(units, kUnitRowColumns);
        CSetOpener open(units);
        for (bool found = units.FindFirst(condition); found; found = units.FindNext(condition)) {
            rows.push_back(CUnitContentsModel::UnitRow(units.m_ID, units.m_Parent == 0, units.m_Name));
            busy.Pulse();
        }
    }
    m_pModel->Assign(std::move(rows));
    AddEmployeeRows(unitId);
}

void CMorvekView::AddUnitRow(const CMast00 &units)
{
    m_pModel->Append(CUnitContentsModel::UnitRow(units.m_ID, units.m_Parent == 0, units.m_Name));
}

void CMorvekView::AddEmployeeRows(qint32 unitId)
{
    m_pEmployees->m_strSort = SortFor(unitId);
    m_nCurrentUnit = unitId;
    const QString condition = EmployeesOf(unitId);
    CBusyIndicator busy;
    std::vector<SRow> rows;
    {
        const CDaoColumnSubset columns(*m_pEmployees, kEmployeeRowColumns);
        CSetOpener open(*m_pEmployees);
        for (bool found = m_pEmployees->FindFirst(condition); found; found = m_pEmployees->FindNext(condition)) {
            rows.push_back(CurrentEmployee(*m_pEmployees));
            busy.Pulse();
        }
    }
    // One insertion, which the view lays out once.
    m_pModel->Append(std::move(rows));
}

void CMorvekView::AddEmployeeRow(CUnitContentsModel &list)
{
    list.Append(CurrentEmployee(*m_pEmployees));
}

void CMorvekView::ClearContents()
{
    m_pDrag->Reset();
    m_pModel->Clear();
    m_nCurrentUnit = 0;
}

// Filled when first needed, not while the company window opens: on a large
// register this walk is most of the start-up.
void CMorvekView::CreateUnaffiliatedWindow()
{
    m_unaffiliatedWnd = new CUnaffiliatedDlg(this);
    m_bUnaffiliatedFilled = false;
}

void CMorvekView::FillUnaffiliatedList()
{
    if (!m_unaffiliatedWnd)
        return;
    CBusyIndicator busy;
    // A set of its own: the view's may be open in another order.
    CMast01 employees;
    employees.m_strSort = SortFor(0);
    employees.SetColumnSubset(kEmployeeRowColumns);
    employees.Open();
    const QString condition = EmployeesOf(0);
    std::vector<SRow> rows;
    for (bool found = employees.FindFirst(condition); found; found = employees.FindNext(condition)) {
        rows.push_back(CurrentEmployee(employees));
        busy.Pulse();
    }
    m_unaffiliatedWnd->GetModel()->Assign(std::move(rows));
    m_bUnaffiliatedFilled = true;
}

void CMorvekView::EnsureUnaffiliatedFilled()
{
    if (m_unaffiliatedWnd && !m_bUnaffiliatedFilled)
        FillUnaffiliatedList();
}

void CMorvekView::SyncUnaffiliatedRow(qint32 employeeId)
{
    // Not filled yet: the first filling reads the employee as the database has it.
    if (!m_unaffiliatedWnd || !m_bUnaffiliatedFilled)
        return;
    CUnitContentsModel *window = m_unaffiliatedWnd->GetModel();
    int row = window->rowCount() - 1;
    while (row >= 0 && window->Row(row).nId != employeeId)
        --row;
    // A fresh set on the view's connection answers by key, without the view's keyset.
    CSetOpener open(*m_pEmployees);
    CMast01 employee(m_pEmployees->m_pDatabase);
    employee.Open();
    const bool without = employee.FindFirst(QStringLiteral("ID = %1 AND (%2)").arg(employeeId).arg(EmployeesOf(0)));
    if (without && row < 0)
        window->Append(CurrentEmployee(employee));
    else if (!without && row >= 0)
        window->RemoveRow(row);
}

void CMorvekView::ShowUnaffiliatedWindow()
{
    if (!m_unaffiliatedWnd)
        return;
    EnsureUnaffiliatedFilled();
    m_unaffiliatedWnd->show();
    m_unaffiliatedWnd->raise();
    m_unaffiliatedWnd->activateWindow();
}

bool CMorvekView::AssignEmployeeToCurrentUnit(qint32 employeeId)
{
    QList<qint32> placed;
    return AssignEmployeesToCurrentUnit({employeeId}, &placed) && !placed.isEmpty();
}

bool CMorvekView::AssignEmployeesToCurrentUnit(const QList<qint32> &employeeIds, QList<qint32> *placed)
{
    placed->clear();
    // The list may still show a unit another user has deleted since.
    if (m_nCurrentUnit != 0 && !CLeftView::UnitExists(m_nCurrentUnit)) {
        CLeftView::TellUnitDeleted(this);
        ClearContents();
        return false;
    }
    CDaoTransaction transaction;
    {
        CSetOpener open(*m_pEmployees);
        for (qint32 id : employeeIds) {
            if (!m_pEmployees->FindFirst(QStringLiteral("ID = %1").arg(id)))
                continue;
            m_pEmployees->Edit();
            m_pEmployees->m_Busyo = m_nCurrentUnit;
            try {
                m_pEmployees->Update();
            } catch (...) {
                // The set outlives the drop: it must not stay in the middle of an edit.
                m_pEmployees->CancelUpdate();
                throw;
            }
            placed->append(id);
        }
    }
    transaction.Commit();
    return true;
}

void CMorvekView::ReadAgainAfterFailure(const QList<qint32> &employeeIds)
{
    // Called while the failure is on its way to the user: a second one must not replace it.
    try {
        CMast00 units;
        ShowUnitContents(units, m_nCurrentUnit);
        for (qint32 id : employeeIds)
            SyncUnaffiliatedRow(id);
    } catch (const std::exception &) {
    }
}

void CMorvekView::ReleaseEmployee(qint32 employeeId)
{
    // Filled before the release, so the released employee is listed once.
    EnsureUnaffiliatedFilled();
    CSetOpener open(*m_pEmployees);
    if (m_pEmployees->FindFirst(QStringLiteral("ID = %1").arg(employeeId))) {
        m_pEmployees->Edit();
        m_pEmployees->m_Busyo = 0;
        m_pEmployees->Update();
    }
    // Only after the write: a release that failed shows nobody as released.
    SyncUnaffiliatedRow(employeeId);
}

bool CMorvekView::CanPrint() const
{
    const std::vector<int> rows = SelectedRows();
    return std::any_of(rows.begin(), rows.end(), [this](int row) { return CRowImages::IsEmployee(RowImage(row)); });
}

bool CMorvekView::PreparePrintJob()
{
    CBusyIndicator busy;
    m_pPrintJob->Clear();
    m_pPrintJob->SetCardPrintHeader();
    for (int row : SelectedRows()) {
        if (CRowImages::IsEmployee(RowImage(row)))
            m_pPrintJob->AddCardRecord(m_pModel->Row(row).nId);
    }
    return !m_pPrintJob->IsEmpty();
}

std::vector<int> CMorvekView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CMorvekView::keyPressEvent(QKeyEvent *event)
{
    // Whatever modifier is held, as the key-down notification knows none.
    if (event->key() == Qt::Key_Delete)
        OnKeyDownList();
    else
        QListView::keyPressEvent(event);
}

void CMorvekView::OnKeyDownList()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    // One opening for the whole selection; each release finds the set open.
    CSetOpener open(*m_pEmployees);
    int removed = 0;
    for (int row : rows) {
        const int current = row - removed;
        if (!CRowImages::IsEmployee(RowImage(current)))
            continue;
        ReleaseEmployee(m_pModel->Row(current).nId);
        // Shown without a unit, they still belong in this list.
        if (m_nCurrentUnit != 0) {
            m_pModel->RemoveRow(current);
            ++removed;
        }
    }
}

void CMorvekView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QListView::mouseDoubleClickEvent(event);
        return;
    }
    OnDblClkList(indexAt(event->position().toPoint()));
}

void CMorvekView::OnDblClkList(const QModelIndex &index)
{
    // The empty area counts as a unit row with ID 0: the companies and the
    // employees without a unit.
    const int image = index.isValid() ? RowImage(index.row()) : CRowImages::company;
    const qint32 id = index.isValid() ? m_pModel->Row(index.row()).nId : 0;
    if (CRowImages::IsEmployee(image)) {
        OpenEmployeeView(id);
        return;
    }
    // A unit another user deleted is not offered again.
    if (id != 0 && !CLeftView::UnitExists(id)) {
        CLeftView::TellUnitDeleted(this);
        m_pModel->RemoveRow(index.row());
        return;
    }
    CMast00 units;
    units.Open();
    ShowUnitContents(units, id);
    units.Close();
}

void CMorvekView::OpenEmployeeView(qint32 employeeId)
{
    CSetOpener open(*m_pEmployees);
    // A row whose employee is gone opens nothing.
    if (!m_pEmployees->FindFirst(QStringLiteral("ID = %1").arg(employeeId)))
        return;
    CMast00 units;
    CSetOpener openUnits(units);
    CEmployeeViewDlg dlg(this);
    dlg.m_strTitle = units.GetUnitPath(m_pEmployees->m_Busyo, true);
    dlg.m_nEmployeeID = employeeId;
    CModalSeam::Exec(dlg);
}

void CMorvekView::mousePressEvent(QMouseEvent *event)
{
    m_pressPoint = event->position().toPoint();
    QListView::mousePressEvent(event);
}

void CMorvekView::startDrag(Qt::DropActions)
{
    OnBeginDrag(indexAt(m_pressPoint), viewport()->mapToGlobal(m_pressPoint));
}

void CMorvekView::OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint)
{
    if (!index.isValid() || !CRowImages::IsEmployee(RowImage(index.row())))
        return; // units never move
    const QPixmap picture = CEmployeeDrag::Picture(index, iconSize(), font(), palette().color(QPalette::Base));
    m_pDrag->Begin(index.row(), picture, screenPoint);
}

void CMorvekView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pDrag->IsDragging())
        m_pDrag->Move(event->globalPosition().toPoint());
    else
        QListView::mouseMoveEvent(event);
}

void CMorvekView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pDrag->IsDragging() && event->button() == Qt::LeftButton)
        OnDrop(event->globalPosition().toPoint());
    else
        QListView::mouseReleaseEvent(event);
}

void CMorvekView::SetDropHighlight(int row)
{
    const QModelIndex index = row >= 0 ? m_pModel->index(row, 0) : QModelIndex();
    const QModelIndex old = m_pDelegate->DropRow();
    if (index == old)
        return;
    m_pDelegate->SetDropRow(index);
    if (old.isValid())
        update(old);
    if (index.isValid())
        update(index);
}

int CMorvekView::GetDropHighlight() const
{
    const QModelIndex index = m_pDelegate->DropRow();
    return index.isValid() ? index.row() : -1;
}

void CMorvekView::OnDrop(const QPoint &screenPoint)
{
    CLeftView *tree = CEmployeeDrag::TreeOf(m_pDrag->End(screenPoint));
    QTreeWidgetItem *target = m_pDrag->DropItem();
    // The highlight goes now, whether the writes below succeed or not.
    m_pDrag->Reset();
    // Over no unit, nobody moves: the rows stay where the user sees them.
    if (!tree || !target)
        return;
    std::vector<int> rows;
    QList<qint32> ids;
    for (int row : SelectedRows()) {
        if (CRowImages::IsEmployee(RowImage(row))) {
            rows.push_back(row);
            ids.append(m_pModel->Row(row).nId);
        }
    }
    // All of them move or none does; the rows leave only once the moves are written.
    try {
        if (!tree->AssignEmployeesToUnit(ids, target))
            return;
    } catch (...) {
        ReadAgainAfterFailure(ids);
        throw;
    }
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        m_pModel->RemoveRow(*row);
    for (qint32 id : ids)
        SyncUnaffiliatedRow(id);
    // Shows the target's contents, also when it is the unit shown already.
    tree->SelectUnit(target);
}
