#include "views/morvekview.h"

#include "views/busyindicator.h"
#include "views/employeedrag.h"
#include "views/facecache.h"
#include "views/listcolumns.h"
#include "views/listfollower.h"
#include "views/rowdelegate.h"
#include "views/rowimages.h"
#include "views/unaffiliateddlg.h"
#include "views/unitcontentsmodel.h"
#include "views/unitdeletednotice.h"
#include "base/modalseam.h"
#include "base/popupkey.h"
#include "employee/employeeviewdlg.h"
#include "printlayout/cardprintjob.h"
#include "register/employeelookup.h"
#include "register/employees.h"
#include "register/units.h"
#include "store/mast01.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <algorithm>

namespace {
constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
// Cells of the small-icon and list columns, in characters of the view's font.
constexpr int kListCellChars = 18;
constexpr int kCellGap = 2;

using SRow = CUnitContentsModel::SRow;

const QString kAskRelease = QStringLiteral("選択した %1 人の所属を解除しますか？");
const QString kConfirmCaption = QStringLiteral("確認");

SRow UnitRowOf(const SUnitRow &unit)
{
    return CUnitContentsModel::UnitRow(unit.nID, unit.IsCompany(), unit.strName);
}
} // namespace

CMorvekView::CMorvekView(CMorvekDoc *pDocument, QWidget *parent)
    : CEmployeeDragSource(new CUnitContentsModel, parent)
    , m_pDocument(pDocument)
    , m_pModel(GetModel())
    , m_pHeader(new QHeaderView(Qt::Horizontal, this))
    , m_pDelegate(new CRowDelegate(m_pHeader, this))
    , m_pColumns(nullptr)
    , m_pFaces(new CFaceCache(this))
    // Filled when first needed, not while the company window opens: on a large
    // register this walk is most of the start-up.
    , m_unaffiliatedWnd(new CUnaffiliatedDlg(this))
    , m_pPrintJob(std::make_unique<CCardPrintJob>(pDocument))
{
    setItemDelegate(m_pDelegate);
    // The employees without a unit show their faces too, from the same cache.
    m_unaffiliatedWnd->GetModel()->SetFaces(m_pFaces);
    setAccessibleName(QStringLiteral("社員一覧"));
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setResizeMode(Adjust);
    setUniformItemSizes(true);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);

    m_pHeader->setModel(m_pModel);
    m_pColumns = new CListColumns(m_pHeader, m_pModel, this);
    m_pHeader->setStretchLastSection(false);
    m_pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pHeader->hide();
    const auto relayout = [this] {
        scheduleDelayedItemsLayout();
        viewport()->update();
    };
    connect(m_pHeader, &QHeaderView::sectionResized, this, relayout);
    connect(m_pHeader, &QHeaderView::sectionMoved, this, relayout);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_pHeader, &QHeaderView::setOffset);
    // Its rows follow what the register tells of changes, here or elsewhere.
    new CListFollower(this);

    SetViewStyle(EViewStyle::icon);
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
    // Faces in the icon styles; the details style reads as a table.
    m_pModel->SetFaces(report ? nullptr : m_pFaces);
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
    m_bColumnsSized = true;
    m_pColumns->SetDefaultWidths();
}

QByteArray CMorvekView::SaveColumns() const
{
    return m_pColumns->SaveState();
}

bool CMorvekView::RestoreColumns(const QByteArray &state)
{
    if (!m_pColumns->RestoreState(state))
        return false;
    m_bColumnsSized = true;
    return true;
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

void CMorvekView::ShowUnitContents(qint32 unitId)
{
    ResetDrag();
    CBusyIndicator busy;
    std::vector<SRow> rows;
    for (const SUnitRow &unit : m_shown.Children(unitId, [&busy] { busy.Pulse(); }))
        rows.push_back(UnitRowOf(unit));
    m_pModel->Assign(std::move(rows));
    AddEmployeeRows(unitId);
    // Another unit is read from its top, wherever the last one was scrolled to.
    scrollToTop();
}

bool CMorvekView::SelectEmployee(qint32 employeeId)
{
    for (int row = 0; row < m_pModel->rowCount(); ++row) {
        const CUnitContentsModel::SRow &shown = m_pModel->Row(row);
        if (shown.nId != employeeId || !CRowImages::IsEmployee(shown.nImage))
            continue;
        const QModelIndex index = m_pModel->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void CMorvekView::AddUnitRow(const SUnitRow &unit)
{
    m_pModel->Append(UnitRowOf(unit));
}

void CMorvekView::AddEmployeeRows(qint32 unitId)
{
    m_nCurrentUnit = unitId;
    m_bShowsUnit = true;
    CBusyIndicator busy;
    const QList<SEmployeeRow> employees = m_shown.OfUnit(unitId, [&busy] { busy.Pulse(); });
    std::vector<SRow> rows;
    rows.reserve(size_t(employees.size()));
    for (const SEmployeeRow &employee : employees)
        rows.push_back(CUnitContentsModel::EmployeeRow(employee));
    m_pColumns->SortRows(rows);
    // One insertion, which the view lays out once.
    m_pModel->Append(std::move(rows));
}

void CMorvekView::SetAsOf(CShownRegister::AsOf asOf)
{
    m_shown.SetAsOf(asOf);
    m_pPrintJob->SetAsOf(asOf);
    m_unaffiliatedWnd->SetAsOf(std::move(asOf));
    ClearContents();
}

void CMorvekView::ClearContents()
{
    ResetDrag();
    m_pModel->Clear();
    m_nCurrentUnit = 0;
    m_bShowsUnit = false;
}

void CMorvekView::FillUnaffiliatedList()
{
    m_unaffiliatedWnd->Fill();
}

void CMorvekView::EnsureUnaffiliatedFilled()
{
    m_unaffiliatedWnd->EnsureFilled();
}

bool CMorvekView::IsUnaffiliatedFilled() const
{
    return m_unaffiliatedWnd->IsFilled();
}

void CMorvekView::ShowUnaffiliatedWindow()
{
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
    CBusyIndicator busy(employeeIds.size() > 1 ? 0 : CBusyIndicator::kDelay);
    busy.Pulse();
    // The list may still show a unit another user has deleted since.
    if (CEmployees::Move(employeeIds, m_nCurrentUnit, placed) == CEmployees::EMove::unitGone) {
        CUnitDeletedNotice::Tell(this);
        ClearContents();
        return false;
    }
    return true;
}

void CMorvekView::ReleaseEmployees(const QList<qint32> &employeeIds)
{
    // Filled before the release, so the released employees are listed once, after
    // those that were without a unit already.
    EnsureUnaffiliatedFilled();
    CBusyIndicator busy(employeeIds.size() > 1 ? 0 : CBusyIndicator::kDelay);
    busy.Pulse();
    CEmployees::Release(employeeIds);
}

bool CMorvekView::ConfirmRelease(qsizetype count)
{
    // One at a time goes at once, as it always has; more ask, and "no" is the safe default.
    return count <= 1
        || MorvekMessageBox(kAskRelease.arg(count), QMessageBox::Yes | QMessageBox::No, QMessageBox::Information,
                            kConfirmCaption, this, QMessageBox::No)
               == QMessageBox::Yes;
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

void CMorvekView::keyPressEvent(QKeyEvent *event)
{
    // Whatever modifier is held, as the key-down notification knows none.
    if (event->key() == Qt::Key_Delete)
        OnKeyDownList();
    else if (!CPopupKey::Handle(this, event))
        QListView::keyPressEvent(event);
}

void CMorvekView::OnKeyDownList()
{
    QList<qint32> ids;
    for (int row : SelectedRows()) {
        if (CRowImages::IsEmployee(RowImage(row)))
            ids.append(m_pModel->Row(row).nId);
    }
    // Unit rows stay; the employees' rows leave as the register tells of the
    // release, unless the list shows those without a unit.
    if (!ids.isEmpty() && !m_shown.RefuseEdit(this) && ConfirmRelease(ids.size()))
        ReleaseEmployees(ids);
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
    if (id != 0 && !m_shown.Exists(id)) {
        CUnitDeletedNotice::Tell(this);
        m_pModel->RemoveRow(index.row());
        return;
    }
    ShowUnitContents(id);
}

void CMorvekView::OpenEmployeeView(qint32 employeeId)
{
    qint32 busyo = 0;
    if (m_shown.IsAsOf()) {
        // On a past day the employee stood in the unit the list shows, also one deleted since.
        busyo = m_nCurrentUnit;
    } else if (!CEmployeeLookup::ById(employeeId, [&busyo](const CMast01 &employee) { busyo = employee.m_Busyo; })) {
        // A row whose employee is gone opens nothing.
        return;
    }
    CEmployeeViewDlg dlg(this);
    dlg.SetAsOf(m_shown.GetAsOf());
    // The path's names one after another: a line feed in a title shows as a box.
    dlg.m_strTitle = m_shown.Path(busyo, true).split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral(" / "));
    dlg.m_nEmployeeID = employeeId;
    CModalSeam::Exec(dlg);
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

void CMorvekView::TrackDrag(const QPoint &screenPoint)
{
    SetDropHighlight(CEmployeeDrag::IsOver(this, screenPoint) ? indexAt(viewport()->mapFromGlobal(screenPoint)).row() : -1);
}

void CMorvekView::EndDragTracking()
{
    SetDropHighlight(-1);
}

void CMorvekView::TakeDrop(CEmployeeDrop *drop)
{
    // The list stands for no unit yet: 0 is no unit to put anyone in.
    if (drop->IsAccepted() || !CEmployeeDrag::IsOver(this, drop->ScreenPoint()) || m_nCurrentUnit == 0
        || m_shown.RefuseEdit(this))
        return;
    const int beforeRow = indexAt(viewport()->mapFromGlobal(drop->ScreenPoint())).row();
    QList<qint32> placed;
    if (!AssignEmployeesToCurrentUnit(drop->Ids(), &placed))
        return;
    drop->Accept();
    const QSet<qint32> joined(placed.cbegin(), placed.cend());
    std::vector<SRow> rows;
    rows.reserve(size_t(drop->Rows().size()));
    for (SRow copied : drop->Rows()) {
        // An employee who is gone joins no list.
        if (!joined.contains(copied.nId))
            continue;
        // The kind column is filled when the list is next read.
        copied.strKind.clear();
        rows.push_back(std::move(copied));
    }
    // One insertion: thousands dropped at once are laid out once, not once each.
    m_pModel->Insert(beforeRow >= 0 ? beforeRow : m_pModel->rowCount(), std::move(rows));
}
