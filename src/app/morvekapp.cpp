#include "morvekapp.h"

#include "aboutdlg.h"
#include "backupcommands.h"
#include "childframe.h"
#include "commandids.h"
#include "datafolder.h"
#include "japaneselocale.h"
#include "mainactions.h"
#include "mainframe.h"
#include "modalseam.h"
#include "morvekdoc.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/schema.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QSettings>

namespace {
const char kSection[] = "Database/Path";
}

CMorvekApp::CMorvekApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Morvek"));
    setOrganizationName(QStringLiteral("Kelbrotane soft"));
    setApplicationVersion(QStringLiteral("1.0"));
    Q_INIT_RESOURCE(morvek);
    CJapaneseLocale::Install(*this);
    m_pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

CMorvekApp::~CMorvekApp() = default;

CMorvekApp *theApp()
{
    return static_cast<CMorvekApp *>(QCoreApplication::instance());
}

std::unique_ptr<QSettings> CMorvekApp::Settings()
{
    return std::make_unique<QSettings>(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
}

void CMorvekApp::SetDatabasePath(const QString &path)
{
    m_strDatabasePath = path;
    CDaoRecordset::SetApplicationDatabasePath(path);
}

bool CMorvekApp::InitInstance()
{
    // Settings live under the organisation and application names set at construction.
    if (CDataFolder::StartedFromDesktop(QDir::currentPath(), QDir::homePath()))
        CDataFolder::Enter(CDataFolder::Path(), CDataFolder::InstalledLayout(applicationDirPath()));
    OpenOrCreateDatabase();
    CheckDatabaseAtStart();
    CBackupCommands::InstallDailyBackup();
    m_pMainWnd = std::make_unique<CMainFrame>();
    m_pMainWnd->resize(800, 600);
    // The command line names no file of ours: the company document is always the same.
    ProcessShellCommand();
    m_pMainWnd->show();
    return true;
}

void CMorvekApp::ProcessShellCommand()
{
    OpenDocumentFile(DocumentFileName());
}

CChildFrame *CMorvekApp::OpenDocumentFile(const QString &path)
{
    const QString pathName = QFileInfo(path).absoluteFilePath();
    if (CChildFrame *open = m_pMainWnd->FindChildFrame(pathName)) {
        open->showMaximized();
        m_pMainWnd->GetMdiArea()->setActiveSubWindow(open);
        return open;
    }
    auto document = std::make_unique<CMorvekDoc>();
    const QString shown = QDir::toNativeSeparators(pathName);
    QString failure;
    switch (document->OnOpenDocument(path)) {
    case CMorvekDoc::EOpenResult::ok:
        return m_pMainWnd->CreateChildFrame(std::move(document));
    case CMorvekDoc::EOpenResult::notFound:
        failure = QStringLiteral("%1 が見つかりません。").arg(shown);
        break;
    case CMorvekDoc::EOpenResult::unreadable:
        failure = QStringLiteral("%1 を開けません。").arg(shown);
        break;
    case CMorvekDoc::EOpenResult::badFormat:
        failure = QStringLiteral("予期しないファイル形式です。");
        break;
    }
    MorvekMessageBox(failure, QMessageBox::Ok, QMessageBox::Warning, {}, m_pMainWnd.get());
    return nullptr;
}

bool CMorvekApp::OnCommand(int id)
{
    switch (id) {
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_SHOW_COMPANY:
        OnShowCompany();
        return true;
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_PRINT_SETUP:
        OnFilePrintSetup();
        return true;
    case ID_BACKUP_CREATE:
        OnMakeBackup();
        return true;
    case ID_BACKUP_RESTORE:
        OnRestoreBackup();
        return true;
    default:
        return false;
    }
}

void CMorvekApp::UpdateCommandUI(const CMainActions &actions) const
{
    // The card layout is not the user's to open or save.
    for (int id : {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        actions.Action(id)->setEnabled(false);
}

void CMorvekApp::OnShowCompany()
{
    ProcessShellCommand();
}

void CMorvekApp::OnFileNew()
{
    m_pMainWnd->CreateChildFrame(std::make_unique<CMorvekDoc>());
}

void CMorvekApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainWnd.get());
    CModalSeam::Exec(dialog);
}

void CMorvekApp::OnFilePrintSetup()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_pageLayout);
    QPageSetupDialog dialog(&printer, m_pMainWnd.get());
    if (CModalSeam::Exec(dialog) == QDialog::Accepted)
        m_pageLayout = printer.pageLayout();
}

void CMorvekApp::CheckDatabaseAtStart()
{
    m_strDamagedPath.clear();
    if (m_strDatabasePath.isEmpty() || !QFileInfo(m_strDatabasePath).isFile())
        return;
    if (!CBackupCommands::CheckAtStart(m_strDatabasePath)) {
        m_strDamagedPath = m_strDatabasePath;
        SetDatabasePath(QString());
    }
}

void CMorvekApp::OnMakeBackup()
{
    CBackupCommands::OnMakeBackup(m_pMainWnd.get(), m_strDatabasePath);
}

void CMorvekApp::OnRestoreBackup()
{
    const bool damaged = m_strDatabasePath.isEmpty() && !m_strDamagedPath.isEmpty();
    const QString path = damaged ? m_strDamagedPath : m_strDatabasePath;
    const bool hadWindows = !m_pMainWnd->GetChildFrames().isEmpty();
    bool released = false;
    const bool restored = CBackupCommands::OnRestore(
        m_pMainWnd.get(), path, damaged ? CDatabaseBackup::EAside::damaged : CDatabaseBackup::EAside::beforeRestore,
        [this, &released] {
            CloseCompanyWindows();
            released = true;
        });
    if (restored) {
        m_strDamagedPath.clear();
        SetDatabasePath(path);
    }
    if (released && hadWindows)
        ProcessShellCommand();
}

void CMorvekApp::CloseCompanyWindows()
{
    // The windows' record sets hold the file open; they must be gone, not only hidden.
    for (CChildFrame *child : m_pMainWnd->GetChildFrames())
        child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool CMorvekApp::SetPrinterPaper(int paperSize, int orientation)
{
    static const QHash<int, QPageSize::PageSizeId> sizes = {
        {1, QPageSize::Letter}, {5, QPageSize::Legal}, {8, QPageSize::A3},
        {9, QPageSize::A4},     {11, QPageSize::A5},   {12, QPageSize::JisB4},
        {13, QPageSize::JisB5},
    };
    if (!sizes.contains(paperSize) || (orientation != 1 && orientation != 2))
        return false;
    m_pageLayout.setPageSize(QPageSize(sizes.value(paperSize)));
    m_pageLayout.setOrientation(orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
    return true;
}

void CMorvekApp::OpenOrCreateDatabase()
{
    auto settings = Settings();
    SetDatabasePath(settings->value(QLatin1String(kSection), DefaultDatabaseName()).toString());

    const QFileInfo current(m_strDatabasePath);
    if (current.isFile())
        return;
    if (MorvekMessageBox(QStringLiteral("データベースを作成します。"), QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::Information) != QMessageBox::Yes)
        return;

    // A save-style dialog: the file to create does not exist yet.
    QFileDialog dialog(nullptr, QStringLiteral("データベースの作成"), current.absolutePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    dialog.selectFile(current.fileName());
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    const QString chosen = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    SetDatabasePath(chosen);
    settings->setValue(QLatin1String(kSection), chosen);
    settings->sync();
    try {
        CSchema::CreateDatabaseFile(chosen);
    } catch (const CDaoException &error) {
        ReportException(error);
    }
}

bool CMorvekApp::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ReportException(error);
    }
    return false;
}

void CMorvekApp::ReportException(const std::exception &error)
{
    const auto *dao = dynamic_cast<const CDaoException *>(&error);
    const QString text = dao ? dao->GetErrorMessage() : QString::fromUtf8(error.what());
    MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Critical);
}
