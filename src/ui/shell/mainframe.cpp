#include "shell/mainframe.h"

#include "shell/childframe.h"
#include "base/accessiblenotice.h"
#include "base/commandids.h"
#include "shell/csvcommands.h"
#include "shell/xlsxcommands.h"
#include "shell/photocommands.h"
#include "shell/postalcommands.h"
#include "shell/keyindicators.h"
#include "shell/mainactions.h"
#include "shell/morvekapp.h"
#include "shell/viewsettings.h"
#include "base/modalseam.h"
#include "document/morvekdoc.h"
#include "employee/employeeform.h"
#include "forms/asofdate.h"
#include "forms/busyanimation.h"
#include "forms/funckeybar.h"
#include "register/register.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

namespace {
const char kReadyText[] = "Morvek ver 1.0 ﾚﾃﾞｨ";
constexpr int kNoteMilliseconds = 20000;

CMorvekApp *Application()
{
    return qobject_cast<CMorvekApp *>(QCoreApplication::instance());
}
} // namespace

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_pMdiArea(new QMdiArea(this))
    , m_pActions(std::make_unique<CMainActions>(this))
{
    setWindowTitle(QStringLiteral("Morvek"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/morvek.svg")));
    setCentralWidget(m_pMdiArea);
    m_pMdiArea->setBackground(palette().color(QPalette::Dark));
    CreateBars();

    // The company window in front connects its own commands (CChildFrame::AttachCommands).
    for (int id : m_pActions->Ids()) {
        if (!CChildFrame::Commands().contains(id))
            connect(m_pActions->Action(id), &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    for (int menuId : {IDR_MAINFRAME, IDR_MORVEKTYPE}) {
        m_menus.insert(menuId, m_pActions->BuildMenus(menuId, this));
        for (QMenu *menu : m_menus.value(menuId))
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    connect(&CRegister::Instance(), &CRegister::ConnectionChanged, this, &CMainFrame::OnConnectionChanged);
    ShowMenu(IDR_MAINFRAME);
    UpdateCommandUI();
    CFrameServices::Register(this);
}

CMainFrame::~CMainFrame()
{
    if (CFrameServices::Instance() == this)
        CFrameServices::Register(nullptr);
    // The company windows go while this frame is still whole; they call back on their way.
    m_bDestroying = true;
    const QList<CChildFrame *> children = GetChildFrames();
    qDeleteAll(children);
}

void CMainFrame::CreateBars()
{
    m_wndToolBar = addToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"));
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setIconSize(QSize(16, 16));
    m_wndToolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_wndToolBar->setFloatable(false);
    m_pActions->FillToolBar(m_wndToolBar);

    m_pMessagePane = new QLabel(statusBar());
    m_pMessagePane->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(m_pMessagePane, 1);
    m_pAsOfPane = new QLabel(statusBar());
    m_pAsOfPane->setObjectName(QStringLiteral("asOfPane"));
    m_pAsOfPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pAsOfPane->hide();
    statusBar()->addPermanentWidget(m_pAsOfPane);
    m_pIndicators = new CKeyIndicators(statusBar());

    m_wndFuncKeyBar = new CFuncKeyBar;
    m_wndFuncKeyBar->OpenClip();
    auto *dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("funcKeyDock"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(m_wndFuncKeyBar);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
}

void CMainFrame::SetStatusText(const QString &text)
{
    // The pane's name is its text: a screen reader hears each message as the name changes.
    m_pMessagePane->setText(text);
    m_pMessagePane->setAccessibleName(text);
    CAccessibleNotice::Tell(m_pMessagePane, QAccessible::NameChanged);
    m_pMessagePane->repaint();
}

void CMainFrame::SetRefusalText(const QString &text)
{
    SetStatusText(text);
    CAccessibleNotice::Tell(m_pMessagePane, QAccessible::Alert);
}

void CMainFrame::ShowStatusNote(const QString &text)
{
    // The status bar lays its panes out again when first shown, over the note.
    if (!isVisible()) {
        QTimer::singleShot(0, this, [this, text] { ShowStatusNote(text); });
        return;
    }
    const QString shown = statusBar()->currentMessage();
    statusBar()->showMessage(shown.isEmpty() ? text : shown + QStringLiteral("　") + text, kNoteMilliseconds);
}

void CMainFrame::OnConnectionChanged(bool connected)
{
    // Stays until the server answers again, over whatever the panes show.
    if (connected)
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(CRegister::LostText());
}

QString CMainFrame::GetStatusText() const
{
    return m_pMessagePane->text();
}

void CMainFrame::SetFuncKeyCaption(int slot, const QString &text)
{
    m_wndFuncKeyBar->SetCaption(slot, text);
}

void CMainFrame::PutFuncKeyCaptions(const CFuncKeyCaptions::Set &captions)
{
    for (size_t i = 0; i < captions.size(); ++i)
        SetFuncKeyCaption(int(i), captions[i]);
}

void CMainFrame::ResetFuncKeyCaptions()
{
    if (m_bDestroying)
        return;
    if (CChildFrame *child = GetActiveChild())
        child->SetFuncKeyCaptionsForCompany();
    else
        PutFuncKeyCaptions(CFuncKeyCaptions::Plain());
}

void CMainFrame::SetBusyAnimation(bool on)
{
    on ? m_wndFuncKeyBar->StartAnimation() : m_wndFuncKeyBar->StopAnimation();
}

void CMainFrame::StepBusyAnimation()
{
    m_wndFuncKeyBar->StepAnimation();
}

CChildFrame *CMainFrame::CreateChildFrame(std::unique_ptr<CMorvekDoc> pDocument)
{
    auto *child = new CChildFrame(this, std::move(pDocument));
    m_pMdiArea->addSubWindow(child);
    child->showMaximized();
    m_pMdiArea->setActiveSubWindow(child);
    OnSubWindowActivated();
    return child;
}

CChildFrame *CMainFrame::FindChildFrame(const QString &pathName) const
{
    if (pathName.isEmpty())
        return nullptr;
    for (CChildFrame *child : GetChildFrames())
        if (child->GetDocument()->GetPathName() == pathName)
            return child;
    return nullptr;
}

CChildFrame *CMainFrame::GetActiveChild() const
{
    // The window last in front, also while a form has the focus.
    return qobject_cast<CChildFrame *>(m_pMdiArea->currentSubWindow());
}

void CMainFrame::ForgetChild(CChildFrame *child)
{
    if (m_pCommandChild == child)
        m_pCommandChild = nullptr;
}

QList<CChildFrame *> CMainFrame::GetChildFrames() const
{
    QList<CChildFrame *> children;
    for (QMdiSubWindow *window : m_pMdiArea->subWindowList())
        if (auto *child = qobject_cast<CChildFrame *>(window))
            children.append(child);
    return children;
}

QAction *CMainFrame::GetAction(int id) const
{
    return m_pActions->Action(id);
}

void CMainFrame::OnSubWindowActivated()
{
    if (m_bDestroying)
        return;
    CChildFrame *child = GetActiveChild();
    if (child != m_pCommandChild) {
        if (m_pCommandChild)
            m_pCommandChild->DetachCommands();
        m_pCommandChild = child;
        if (child)
            child->AttachCommands(*m_pActions);
    }
    ShowMenu(child ? IDR_MORVEKTYPE : IDR_MAINFRAME);
    UpdateCommandUI();
}

void CMainFrame::ShowMenu(int menuId)
{
    if (menuId == m_nMenuId)
        return;
    m_nMenuId = menuId;
    menuBar()->clear();
    for (QMenu *menu : m_menus.value(menuId))
        menuBar()->addMenu(menu);
}

void CMainFrame::UpdateCommandUI()
{
    const CMainActions &actions = *m_pActions;
    for (int id : actions.Ids())
        actions.Action(id)->setEnabled(true);
    for (int id : CChildFrame::Commands()) {
        actions.Action(id)->setEnabled(false);
        actions.Action(id)->setChecked(false);
    }
    // Nothing answers it.
    actions.Action(ID_VIEW_AUTOARRANGE)->setEnabled(false);
    actions.Action(ID_VIEW_TOOLBAR)->setChecked(m_wndToolBar->isVisibleTo(this));
    actions.Action(ID_VIEW_STATUS_BAR)->setChecked(statusBar()->isVisibleTo(this));
    if (CMorvekApp *app = Application())
        app->UpdateCommandUI(actions);
    CChildFrame *child = GetActiveChild();
    if (child)
        child->UpdateCommandUI(actions);
    // Kept apart from the message pane, which prompts and notes overwrite.
    const bool asOf = child && child->IsAsOf();
    m_pAsOfPane->setText(asOf ? QStringLiteral("基準日 ") + CAsOfDate::EraText(child->GetAsOfDate()) : QString());
    m_pAsOfPane->setVisible(asOf);
}

void CMainFrame::OnCommand(int id)
{
    CChildFrame *child = GetActiveChild();
    const bool handled = (child && child->OnCommand(id)) || OnFrameCommand(id);
    if (!handled)
        if (CMorvekApp *app = Application())
            app->OnCommand(id);
    UpdateCommandUI();
}

bool CMainFrame::OnFrameCommand(int id)
{
    switch (id) {
    case ID_EMPLOYEE_ENTRY:
        OnEmployeeEntry();
        return true;
    case ID_CSV_EXPORT:
        CCsvCommands::OnExportCsv(this);
        return true;
    case ID_CSV_IMPORT:
        // The import tells the register's listeners itself, once it is kept.
        CCsvCommands::OnImportCsv(this);
        return true;
    case ID_XLSX_EXPORT:
        CXlsxCommands::OnExportXlsx(this);
        return true;
    case ID_XLSX_IMPORT:
        // Through the CSV import, which tells the register's listeners itself.
        CXlsxCommands::OnImportXlsx(this);
        return true;
    case ID_PHOTO_IMPORT:
        CPhotoCommands::OnImportPhotos(this);
        return true;
    case ID_POSTAL_IMPORT:
        CPostalCommands::OnImportPostal(this);
        return true;
    case ID_VIEW_TOOLBAR:
        m_wndToolBar->setVisible(!m_wndToolBar->isVisibleTo(this));
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisibleTo(this));
        return true;
    case ID_CONTEXT_HELP:
        QWhatsThis::enterWhatsThisMode();
        return true;
    case ID_HELP:
    case ID_HELP_FINDER:
        // There is no help file to open.
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnEmployeeEntry(qint32 employeeId)
{
    // Owned by the main window: centred on it, kept above it, no button of its own.
    CEmployeeForm form(this);
    form.SetStartEmployee(employeeId);
    CModalSeam::Exec(form);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // The company windows are not closed one by one on the way out: they are kept here.
    CViewSettings::SaveMainFrame(*this);
    for (const CChildFrame *child : GetChildFrames())
        CViewSettings::SaveCompanyWindow(*child);
    QMainWindow::closeEvent(event);
}

void CMainFrame::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SetStatusText(QString::fromUtf8(kReadyText));
}
