#include "shell/morvekapp.h"

#include "shell/aboutdlg.h"
#include "shell/backupcommands.h"
#include "shell/childframe.h"
#include "base/commandids.h"
#include "base/errorreport.h"
#include "backup/datafolder.h"
#include "backup/leftovers.h"
#include "backup/registeruse.h"
#include "backup/restoreswap.h"
#include "base/japaneselocale.h"
#include "shell/mainactions.h"
#include "shell/mainframe.h"
#include "base/modalseam.h"
#include "document/morvekdoc.h"
#include "shell/serverdlg.h"
#include "shell/startupcheck.h"
#include "shell/startupdialogs.h"
#include "print/cardstockdlg.h"
#include "printlayout/cardsheet.h"
#include "shell/viewsettings.h"
#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daodatabase.h"
#include "store/daorecordset.h"
#include "store/pgpassfile.h"
#include "store/serveruri.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QSettings>
#include <QStringList>
#include <utility>

namespace {
const char kSection[] = "Database/Path";

QString LayoutFileShown(const QString &pathName)
{
    return QStringLiteral("名刺レイアウトファイル「%1」").arg(QDir::toNativeSeparators(pathName));
}
} // namespace

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

CMorvekApp::~CMorvekApp()
{
    // The check's thread ends before anything it reports to does.
    CDaoDatabase::SetWriteHook({});
    m_pStartupCheck.reset();
}

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
    // Nothing may end the program here: every failure is told and start-up goes on.
    CErrorReport::CBatch batch;
    if (CDataFolder::StartedFromDesktop(QDir::currentPath(), QDir::homePath()))
        CDataFolder::Enter(CDataFolder::Path(), CDataFolder::InstalledLayout(applicationDirPath()));
    m_pStartupCheck = std::make_unique<CStartupCheck>(
        [this](const QString &path, const QString &damage) { OnDamageFound(path, damage); });
    CBackupCommands::InstallDailyBackup([this](const QString &path) { m_pStartupCheck->BeforeWrite(path); });
    // The whole file is read after the window shows; before it, only the header.
    m_bDeferCheck = true;
    OpenOrCreateDatabase();
    m_bDeferCheck = false;
    try {
        m_pMainWnd = std::make_unique<CMainFrame>();
    } catch (const std::exception &error) {
        ReportException(error);
        return false;
    }
    m_pMainWnd->resize(800, 600);
    CViewSettings::RestoreMainFrame(*m_pMainWnd);
    // The command line names no file of ours: the company document is always the same.
    try {
        ProcessShellCommand();
    } catch (const std::exception &error) {
        ReportException(error);
    }
    if (!m_strStartupNote.isEmpty())
        m_pMainWnd->ShowStatusNote(m_strStartupNote);
    m_pMainWnd->show();
    if (!m_strDeferredCheck.isEmpty())
        m_pStartupCheck->Start(std::exchange(m_strDeferredCheck, QString()));
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
    CErrorReport::CBatch batch;
    auto document = std::make_unique<CMorvekDoc>();
    QString problem;
    switch (document->OnOpenDocument(path, &problem)) {
    case CMorvekDoc::EOpenResult::ok:
        break;
    case CMorvekDoc::EOpenResult::notFound:
        // Only the card layout lives there; the register must not hide for want of it.
        if (document->OnSaveDocument(pathName, &problem)
            && document->OnOpenDocument(pathName, &problem) == CMorvekDoc::EOpenResult::ok) {
            m_pMainWnd->ShowStatusNote(
                QStringLiteral("%1 が見つからないため、標準の配置で作成しました。").arg(LayoutFileShown(pathName)));
        } else {
            document = std::make_unique<CMorvekDoc>();
            MorvekMessageBox(QStringLiteral("%1 を作成できません。\n%2\n標準の配置で会社構成を表示します。")
                                 .arg(LayoutFileShown(pathName), problem),
                             QMessageBox::Ok, QMessageBox::Warning, {}, m_pMainWnd.get());
        }
        break;
    case CMorvekDoc::EOpenResult::unreadable:
        MorvekMessageBox(QStringLiteral("%1 を読み取れません。標準の配置で会社構成を表示します。\n\n%2")
                             .arg(LayoutFileShown(pathName), problem),
                         QMessageBox::Ok, QMessageBox::Warning, {}, m_pMainWnd.get());
        break;
    case CMorvekDoc::EOpenResult::badFormat:
        MorvekMessageBox(
            QStringLiteral(
                "%1 は壊れているため読み込めません。ファイルはそのまま残し、標準の配置で会社構成を表示します。\n\n%2")
                .arg(LayoutFileShown(pathName), problem),
            QMessageBox::Ok, QMessageBox::Warning, {}, m_pMainWnd.get());
        break;
    }
    // A window on a file that could not be read stands for that file, so that
    // showing the company again brings it forward instead of asking again.
    if (document->GetPathName().isEmpty())
        document->SetPathName(pathName);
    CChildFrame *child = m_pMainWnd->CreateChildFrame(std::move(document));
    // A register that cannot be read shows its window as a new one would.
    try {
        CViewSettings::RestoreCompanyWindow(*child);
    } catch (const std::exception &error) {
        ReportException(error);
    }
    return child;
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
    case ID_CARD_STOCK:
        OnCardStock();
        return true;
    case ID_BACKUP_CREATE:
        OnMakeBackup();
        return true;
    case ID_BACKUP_RESTORE:
        OnRestoreBackup();
        return true;
    case ID_OPEN_SERVER:
        OnOpenServer();
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

void CMorvekApp::OnCardStock()
{
    CCardSheet sheet;
    sheet.Load(*Settings());
    CCardStockDlg dialog(sheet, m_pMainWnd.get());
    if (CModalSeam::Exec(dialog) == QDialog::Accepted)
        dialog.Sheet().Save(*Settings());
}

bool CMorvekApp::CheckDatabaseAtStart()
{
    m_strDamagedPath.clear();
    if (m_strDatabasePath.isEmpty() || !QFileInfo(m_strDatabasePath).isFile())
        return true;
    if (CBackupCommands::CheckAtStart(m_strDatabasePath, !m_bDeferCheck)) {
        if (m_bDeferCheck)
            m_strDeferredCheck = m_strDatabasePath;
        return true;
    }
    m_strDamagedPath = m_strDatabasePath;
    SetDatabasePath(QString());
    return false;
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
        m_pStartupCheck->Forget();
        SetDatabasePath(path);
    }
    if (released && hadWindows)
        ProcessShellCommand();
}

// The check after the window showed found the register damaged: the same offer as
// before the window, and without a restore the program goes on without a database.
void CMorvekApp::OnDamageFound(const QString &path, const QString &damage)
{
    if (m_strDatabasePath.isEmpty() || QFileInfo(m_strDatabasePath).absoluteFilePath() != path)
        return;
    const bool restored = CBackupCommands::OfferRestore(path, damage, [this] { CloseCompanyWindows(); });
    CloseCompanyWindows();
    if (restored) {
        m_pStartupCheck->Forget();
    } else {
        m_strDamagedPath = path;
        SetDatabasePath(QString());
    }
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
        {1, QPageSize::Letter}, {5, QPageSize::Legal},  {8, QPageSize::A3},     {9, QPageSize::A4},
        {11, QPageSize::A5},    {12, QPageSize::JisB4}, {13, QPageSize::JisB5},
    };
    if (!sizes.contains(paperSize) || (orientation != 1 && orientation != 2))
        return false;
    m_pageLayout.setPageSize(QPageSize(sizes.value(paperSize)));
    m_pageLayout.setOrientation(orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
    return true;
}

void CMorvekApp::OpenOrCreateDatabase()
{
    try {
        FindOrCreateDatabase();
    } catch (const std::exception &error) {
        ReportException(error);
    }
}

void CMorvekApp::FindOrCreateDatabase()
{
    m_strStartupNote.clear();
    auto settings = Settings();
    SetDatabasePath(settings->value(QLatin1String(kSection), DefaultDatabaseName()).toString());
    // An older version kept a server's password there: used this once, kept there no more.
    if (CDaoBackends::Server().Claims(m_strDatabasePath) && !CServerUri::Password(m_strDatabasePath).isEmpty()) {
        settings->setValue(QLatin1String(kSection), CServerUri::WithoutPassword(m_strDatabasePath));
        settings->sync();
    }
    const QString settled = SettleFile(m_strDatabasePath);
    CStartupDialogs dialogs([this] { return CheckDatabaseAtStart(); });
    const CDatabaseStartup::SResult found = CDatabaseStartup::Find(m_strDatabasePath, dialogs);
    m_strStartupNote = QStringList{settled, found.note}.join(QLatin1Char(' ')).trimmed();
    // Only a file that is there and ours is remembered; otherwise the next start asks again.
    if (!found.chosen)
        return;
    SetDatabasePath(found.path);
    settings->setValue(QLatin1String(kSection), found.path);
    settings->sync();
}

// This process holds the file while it runs; what a killed run left beside it
// goes, and a restore a kill interrupted is finished. Returns a note for the status bar.
QString CMorvekApp::SettleFile(const QString &path)
{
    if (path.isEmpty() || !CDaoBackends::For(path).KeepsBackups())
        return {};
    try {
        // No register yet: only what a killed import into a new file left can be there.
        if (!QFileInfo::exists(path) && !QFileInfo::exists(CRestoreSwap::IncomingPath(path))) {
            CLeftovers::Clear(path);
            return {};
        }
        if (!CRegisterUse::Hold(path))
            return {};
        if (CLeftovers::Clear(path).restoreFinished)
            return QStringLiteral("前回中断された復元を完了しました。");
    } catch (const std::exception &error) {
        ReportException(error);
    }
    return {};
}

// A register on a server instead of the file; remembered for the next start only
// once it is usable, and never with its password: that goes, if the user asks, to
// PostgreSQL's own password file.
void CMorvekApp::OnOpenServer()
{
    const QString title = QStringLiteral("サーバーのデータベースを開く");
    CServerDlg dialog(CDaoBackends::Server().Claims(m_strDatabasePath) ? CServerUri::WithoutPassword(m_strDatabasePath)
                                                                       : QStringLiteral("postgresql://"),
                      m_pMainWnd.get());
    if (CModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const QString uri = dialog.Uri();
    if (!CDaoBackends::Server().Claims(uri)) {
        MorvekMessageBox(QStringLiteral("「postgresql://」で始まる URI を入力してください。"), QMessageBox::Ok,
                         QMessageBox::Warning, title, m_pMainWnd.get());
        return;
    }
    const QString previous = m_strDatabasePath;
    const bool hadWindows = !m_pMainWnd->GetChildFrames().isEmpty();
    CloseCompanyWindows();
    SetDatabasePath(uri);
    bool usable = false;
    try {
        CStartupDialogs dialogs([this] { return CheckDatabaseAtStart(); });
        usable = CDatabaseStartup::Find(uri, dialogs).outcome == CDatabaseStartup::EOutcome::usable;
    } catch (const std::exception &error) {
        ReportException(error);
    }
    if (usable) {
        auto settings = Settings();
        settings->setValue(QLatin1String(kSection), CServerUri::WithoutPassword(uri));
        settings->sync();
        QString error;
        if (dialog.SavePassword() && !CServerUri::Password(uri).isEmpty() && !CPgPassFile::Save(uri, &error))
            MorvekMessageBox(error, QMessageBox::Ok, QMessageBox::Warning, title, m_pMainWnd.get());
    } else {
        SetDatabasePath(previous);
    }
    if (hadWindows || usable)
        ProcessShellCommand();
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
    CErrorReport::Report(error);
}
