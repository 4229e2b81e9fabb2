#include "morvekapp.h"

#include "japaneselocale.h"
#include "modalseam.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/schema.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
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
    OpenOrCreateDatabase();
    m_pMainWnd = std::make_unique<QMainWindow>();
    m_pMainWnd->setWindowTitle(QStringLiteral("Morvek"));
    m_pMainWnd->resize(800, 600);
    m_pMainWnd->show();
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
