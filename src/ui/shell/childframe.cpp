#include "shell/childframe.h"

#include "base/commandids.h"
#include "shell/chartcommands.h"
#include "shell/mainactions.h"
#include "shell/mainframe.h"
#include "shell/morvekapp.h"
#include "shell/viewsettings.h"
#include "document/morvekdoc.h"
#include "forms/funckeycaptions.h"
#include "forms/newcompanycommand.h"
#include "shell/printcommands.h"
#include "shell/transfercommand.h"
#include "base/modalseam.h"
#include "forms/asofdate.h"
#include "forms/asofdatedlg.h"
#include "register/registerasof.h"
#include "views/busyindicator.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/draglistctrl.h"
#include "views/unaffiliateddlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QIcon>
#include <QKeyEvent>
#include <QSplitter>

namespace {
constexpr int kLeftPaneWidth = 200;
constexpr int kSplitStep = 8;

using EViewStyle = CMorvekView::EViewStyle;

EViewStyle StyleOf(int id)
{
    switch (id) {
    case ID_VIEW_SMALLICON:
        return EViewStyle::smallIcon;
    case ID_VIEW_LIST:
        return EViewStyle::list;
    case ID_VIEW_DETAILS:
        return EViewStyle::report;
    default:
        return EViewStyle::icon;
    }
}

const int kStyleIds[] = {ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_DETAILS};
} // namespace

CChildFrame::CChildFrame(CMainFrame *pMainFrame, std::unique_ptr<CMorvekDoc> pDocument)
    : m_pMainFrame(pMainFrame)
    , m_pDocument(std::move(pDocument))
    , m_wndSplitter(new QSplitter(Qt::Horizontal, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_pDocument->GetTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/company.svg")));

    auto *tree = new CLeftView(GetDocument(), m_wndSplitter);
    auto *list = new CMorvekView(GetDocument(), m_wndSplitter);
    // Each company window starts printing on A4 portrait.
    if (auto *app = qobject_cast<CMorvekApp *>(QCoreApplication::instance()))
        app->SetPrinterPaper(9, 1);
    m_wndSplitter->setAccessibleName(QStringLiteral("組織と社員"));
    m_wndSplitter->setChildrenCollapsible(false);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setSizes({kLeftPaneWidth, 100});
    setWidget(m_wndSplitter);

    ConnectPanes(tree, list);
    connect(list->GetUnaffiliatedWindow(), &CUnaffiliatedDlg::TransferAsked, this, [this] {
        OnTransfer(true);
        m_pMainFrame->UpdateCommandUI();
    });
    SetFuncKeyCaptionsForCompany();
    WatchPrintState();
}

CChildFrame::~CChildFrame()
{
    // The panes go after this part of the window; their last signals find nobody.
    for (const QMetaObject::Connection &connection : std::as_const(m_printWatch))
        disconnect(connection);
    // Before the base class goes: the main frame may hear of the window's removal then.
    DetachCommands();
    m_pMainFrame->ForgetChild(this);
    m_pMainFrame->ResetFuncKeyCaptions();
}

void CChildFrame::ConnectPanes(CLeftView *tree, CMorvekView *list)
{
    connect(tree, &CLeftView::UnitSelected, list, &CMorvekView::ShowUnitContents);
    connect(tree, &CLeftView::SelectionCleared, list, &CMorvekView::ClearContents);
    connect(tree, &CLeftView::EmployeeRevealed, list, &CMorvekView::SelectEmployee);
    // The list's employees go onto the tree only.
    connect(list, &CEmployeeDragSource::DragMoved, tree, &CLeftView::TrackDrag);
    connect(list, &CEmployeeDragSource::DragEnded, tree, &CLeftView::EndDragTracking);
    connect(list, &CEmployeeDragSource::EmployeesDropped, tree, &CLeftView::TakeDrop);
    // Those without a unit go onto the tree or into the list.
    CUnaffiliatedDlg *window = list->GetUnaffiliatedWindow();
    connect(window, &CUnaffiliatedDlg::DragMoved, tree, &CLeftView::TrackDrag);
    connect(window, &CUnaffiliatedDlg::DragEnded, tree, &CLeftView::EndDragTracking);
    connect(window, &CUnaffiliatedDlg::EmployeesDropped, tree, &CLeftView::TakeDrop);
    connect(window, &CUnaffiliatedDlg::DragMoved, list, &CMorvekView::TrackDrag);
    connect(window, &CUnaffiliatedDlg::DragEnded, list, &CMorvekView::EndDragTracking);
    connect(window, &CUnaffiliatedDlg::EmployeesDropped, list, &CMorvekView::TakeDrop);
}

CLeftView *CChildFrame::GetLeftPane() const
{
    return qobject_cast<CLeftView *>(m_wndSplitter->widget(0));
}

CMorvekView *CChildFrame::GetRightPane() const
{
    return qobject_cast<CMorvekView *>(m_wndSplitter->widget(1));
}

void CChildFrame::SetFuncKeyCaptionsForCompany()
{
    m_pMainFrame->PutFuncKeyCaptions(CFuncKeyCaptions::Company(IsAsOf()));
}

void CChildFrame::SetAsOfDate(const QDate &day)
{
    CShownRegister::AsOf asOf;
    if (day.isValid()) {
        CBusyIndicator busy;
        busy.Pulse();
        asOf = std::make_shared<const CRegisterAsOf>(day);
    }
    m_asOfDay = day;
    // The list first: the tree selects the unit again, which fills it.
    if (CMorvekView *list = GetRightPane())
        list->SetAsOf(asOf);
    if (CLeftView *tree = GetLeftPane())
        tree->SetAsOf(asOf);
    setWindowTitle(CAsOfDate::Title(m_pDocument->GetTitle(), day));
    // An empty tree alone would look like a register lost.
    const bool nothingThen = day.isValid() && GetLeftPane() && GetLeftPane()->topLevelItemCount() == 0;
    if (m_pMainFrame->GetActiveChild() == this) {
        SetFuncKeyCaptionsForCompany();
        m_pMainFrame->SetStatusText(nothingThen ? CAsOfDate::NothingThen(day) : CAsOfDate::Status(day));
        m_pMainFrame->UpdateCommandUI();
    }
    if (nothingThen)
        MorvekMessageBox(CAsOfDate::NothingThen(day), QMessageBox::Ok, QMessageBox::Information, QStringLiteral("基準日"),
                         this);
}

void CChildFrame::OnAsOfDate()
{
    CAsOfDateDlg dlg(this);
    dlg.SetDay(m_asOfDay);
    if (CModalSeam::Exec(dlg) == QDialog::Accepted)
        SetAsOfDate(dlg.Day());
}

// The keys reach the company window while its tool window is active too; the
// employees chosen are then those of the window the user looks at.
bool CChildFrame::UnaffiliatedActive() const
{
    const CMorvekView *list = GetRightPane();
    // Not isActiveWindow(): where a style shares activation, a tool window is "active" with its owner.
    return list && QApplication::activeWindow() == list->GetUnaffiliatedWindow();
}

const CEmployeeDragSource *CChildFrame::EmployeeSource(bool fromUnaffiliated) const
{
    const CMorvekView *list = GetRightPane();
    if (list && fromUnaffiliated)
        return list->GetUnaffiliatedWindow()->GetListCtrl();
    return list;
}

void CChildFrame::OnTransfer(bool fromUnaffiliated)
{
    if (const CEmployeeDragSource *source = EmployeeSource(fromUnaffiliated))
        CTransferCommand::Run(source->SelectedEmployeeIds(), GetLeftPane(), source->window());
}

void CChildFrame::OnEmployeeCorrect()
{
    const CEmployeeDragSource *source = EmployeeSource(UnaffiliatedActive());
    if (!source)
        return;
    const QList<qint32> ids = source->SelectedEmployeeIds();
    if (ids.isEmpty()) {
        MorvekMessageBox(QStringLiteral("訂正する社員を一覧で選択してから実行してください。"), QMessageBox::Ok,
                         QMessageBox::Information, QStringLiteral("社員の訂正"), source->window());
        return;
    }
    m_pMainFrame->OnEmployeeEntry(ids.first());
}

const QList<int> &CChildFrame::Commands()
{
    static const QList<int> ids = {
        ID_NEW_COMPANY,    ID_FILE_CLOSE,        ID_UNAFFILIATED_LIST,  ID_WINDOW_SPLIT, ID_NEXT_PANE,       ID_PREV_PANE,
        ID_VIEW_SMALLICON, ID_VIEW_LARGEICON,    ID_VIEW_LIST,          ID_VIEW_DETAILS, ID_VIEW_LINEUP,     ID_VIEW_BYNAME,
        ID_FILE_PRINT,     ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW, ID_NAME_SEARCH,  ID_PRINT_UNIT_LIST, ID_AS_OF_DATE,
        ID_AS_OF_TODAY,    ID_TRANSFER,          ID_EMPLOYEE_CORRECT,   ID_ORG_CHART,    ID_STAFF_FIGURES};
    return ids;
}

bool CChildFrame::OnCommand(int id)
{
    switch (id) {
    case ID_NEW_COMPANY:
        OnNewCompany();
        return true;
    case ID_FILE_CLOSE:
        close();
        return true;
    case ID_UNAFFILIATED_LIST:
        OnUnaffiliatedList();
        return true;
    case ID_AS_OF_DATE:
        OnAsOfDate();
        return true;
    case ID_AS_OF_TODAY:
        SetAsOfDate(QDate());
        return true;
    case ID_TRANSFER:
        OnTransfer(UnaffiliatedActive());
        return true;
    case ID_EMPLOYEE_CORRECT:
        OnEmployeeCorrect();
        return true;
    case ID_ORG_CHART:
        CChartCommands::OnOrgChart(GetLeftPane(), GetRightPane(), this);
        return true;
    case ID_STAFF_FIGURES:
        CChartCommands::OnStaffFigures(GetLeftPane(), this);
        return true;
    case ID_NAME_SEARCH:
        if (CLeftView *tree = GetLeftPane())
            tree->SearchEmployeeByName();
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        OnFilePrint(id);
        return true;
    case ID_PRINT_UNIT_LIST:
        CPrintCommands::PrintList(ID_FILE_PRINT, GetLeftPane(), this, true);
        return true;
    case ID_WINDOW_SPLIT:
        OnWindowSplit();
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        OnNextPane(id == ID_NEXT_PANE);
        return true;
    case ID_VIEW_SMALLICON:
    case ID_VIEW_LARGEICON:
    case ID_VIEW_LIST:
    case ID_VIEW_DETAILS:
    case ID_VIEW_LINEUP:
    case ID_VIEW_BYNAME:
        OnViewStyle(id);
        return true;
    default:
        return false;
    }
}

void CChildFrame::UpdateCommandUI(const CMainActions &actions) const
{
    // The company structure is on screen already.
    actions.Action(ID_SHOW_COMPANY)->setEnabled(false);
    for (int id : {ID_NEW_COMPANY, ID_FILE_CLOSE, ID_UNAFFILIATED_LIST, ID_NAME_SEARCH, ID_WINDOW_SPLIT, ID_NEXT_PANE,
                   ID_PREV_PANE, ID_ORG_CHART, ID_STAFF_FIGURES})
        actions.Action(id)->setEnabled(true);

    const CMorvekView *view = GetRightPane();
    const EViewStyle style = view ? view->GetViewStyle() : EViewStyle::icon;
    for (int id : kStyleIds) {
        actions.Action(id)->setEnabled(view);
        actions.Action(id)->setChecked(view && style == StyleOf(id));
    }
    actions.Action(ID_VIEW_LINEUP)->setEnabled(view && (style == EViewStyle::icon || style == EViewStyle::smallIcon));
    actions.Action(ID_VIEW_BYNAME)->setEnabled(view);

    const bool printable = CanPrint();
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        actions.Action(id)->setEnabled(printable);
    const CLeftView *tree = GetLeftPane();
    actions.Action(ID_PRINT_UNIT_LIST)->setEnabled(tree && tree->CanPrint());

    // A past day is shown as it was: nothing of it is changed from here.
    const bool asOf = IsAsOf();
    actions.Action(ID_AS_OF_DATE)->setEnabled(true);
    actions.Action(ID_AS_OF_TODAY)->setEnabled(asOf);
    actions.Action(ID_TRANSFER)->setEnabled(!asOf);
    actions.Action(ID_EMPLOYEE_CORRECT)->setEnabled(!asOf);
    if (asOf) {
        for (int id : {ID_NEW_COMPANY, ID_CSV_IMPORT, ID_XLSX_IMPORT, ID_PHOTO_IMPORT, ID_BACKUP_RESTORE})
            actions.Action(id)->setEnabled(false);
    }
}

void CChildFrame::AttachCommands(const CMainActions &actions)
{
    DetachCommands();
    m_pActions = &actions;
    for (int id : Commands()) {
        m_commandLinks << connect(actions.Action(id), &QAction::triggered, this, [this, id] {
            OnCommand(id);
            m_pMainFrame->UpdateCommandUI();
        });
    }
}

void CChildFrame::DetachCommands()
{
    for (const QMetaObject::Connection &link : std::as_const(m_commandLinks))
        disconnect(link);
    m_commandLinks.clear();
    m_pActions = nullptr;
}

void CChildFrame::UpdatePrintCommands()
{
    if (!m_pActions)
        return;
    const bool printable = CanPrint();
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        m_pActions->Action(id)->setEnabled(printable);
    const CLeftView *tree = GetLeftPane();
    m_pActions->Action(ID_PRINT_UNIT_LIST)->setEnabled(tree && tree->CanPrint());
}

QWidget *CChildFrame::GetPrintPane() const
{
    QWidget *list = GetRightPane();
    // The window keeps its last focused widget also while another window is in front.
    QWidget *focus = focusWidget();
    if (list && focus && (focus == list || list->isAncestorOf(focus)))
        return list;
    return GetLeftPane();
}

bool CChildFrame::CanPrint() const
{
    QWidget *pane = GetPrintPane();
    if (auto *list = qobject_cast<CMorvekView *>(pane))
        return list->CanPrint();
    if (auto *tree = qobject_cast<CLeftView *>(pane))
        return tree->CanPrint();
    return false;
}

void CChildFrame::WatchPrintState()
{
    // What can be printed follows the focus and the selections of both panes.
    auto update = [this] { UpdatePrintCommands(); };
    m_printWatch << connect(qApp, &QApplication::focusChanged, this, update);
    if (CLeftView *tree = GetLeftPane())
        m_printWatch << connect(tree, &QTreeWidget::currentItemChanged, this, update);
    if (CMorvekView *list = GetRightPane()) {
        m_printWatch << connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, update);
        m_printWatch << connect(list->model(), &QAbstractItemModel::modelReset, this, update);
        m_printWatch << connect(list->model(), &QAbstractItemModel::rowsRemoved, this, update);
    }
}

void CChildFrame::OnFilePrint(int id)
{
    QWidget *pane = GetPrintPane();
    if (auto *list = qobject_cast<CMorvekView *>(pane))
        CPrintCommands::PrintCards(id, list, this);
    else if (auto *tree = qobject_cast<CLeftView *>(pane))
        CPrintCommands::PrintList(id, tree, this);
}

void CChildFrame::OnNewCompany()
{
    if (CLeftView *tree = GetLeftPane(); tree && tree->Shown().RefuseEdit(this))
        return;
    // The tree shows the company as the register tells of it.
    CNewCompanyCommand::Run(this);
}

void CChildFrame::OnUnaffiliatedList()
{
    if (CMorvekView *view = GetRightPane())
        view->ShowUnaffiliatedWindow();
}

void CChildFrame::OnViewStyle(int id)
{
    CMorvekView *view = GetRightPane();
    if (!view || id == ID_VIEW_BYNAME)
        return;
    if (id == ID_VIEW_LINEUP)
        view->Arrange();
    else
        view->SetViewStyle(StyleOf(id));
}

void CChildFrame::OnNextPane(bool forward)
{
    const int count = m_wndSplitter->count();
    int current = 0;
    for (int i = 0; i < count; ++i)
        if (m_wndSplitter->widget(i)->isAncestorOf(focusWidget()) || m_wndSplitter->widget(i) == focusWidget())
            current = i;
    m_wndSplitter->widget((current + (forward ? 1 : count - 1)) % count)->setFocus(Qt::TabFocusReason);
}

// The divider follows the arrow keys until Enter keeps it or Escape puts it back.
void CChildFrame::OnWindowSplit()
{
    QSplitterHandle *handle = m_wndSplitter->handle(1);
    m_splitBeforeTracking = m_wndSplitter->sizes();
    handle->setFocusPolicy(Qt::StrongFocus);
    handle->installEventFilter(this);
    handle->setFocus(Qt::OtherFocusReason);
}

void CChildFrame::EndSplitTracking(bool keep)
{
    QSplitterHandle *handle = m_wndSplitter->handle(1);
    handle->removeEventFilter(this);
    handle->setFocusPolicy(Qt::NoFocus);
    if (!keep)
        m_wndSplitter->setSizes(m_splitBeforeTracking);
    if (QWidget *left = m_wndSplitter->widget(0))
        left->setFocus(Qt::OtherFocusReason);
}

void CChildFrame::closeEvent(QCloseEvent *event)
{
    CViewSettings::SaveCompanyWindow(*this);
    QMdiSubWindow::closeEvent(event);
}

bool CChildFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_wndSplitter->handle(1))
        return QMdiSubWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        EndSplitTracking(true);
    } else if (event->type() == QEvent::KeyPress) {
        QList<int> sizes = m_wndSplitter->sizes();
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int step = static_cast<QKeyEvent *>(event)->key() == Qt::Key_Left ? -kSplitStep : kSplitStep;
            const int total = sizes[0] + sizes[1];
            sizes[0] = qBound(1, sizes[0] + step, total - 1);
            sizes[1] = total - sizes[0];
            m_wndSplitter->setSizes(sizes);
            break;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            EndSplitTracking(true);
            break;
        case Qt::Key_Escape:
            EndSplitTracking(false);
            break;
        default:
            break;
        }
        return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
