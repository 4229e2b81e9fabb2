#pragma once

#include <QApplication>
#include <QPageLayout>
#include <QString>
#include <memory>

class CChildFrame;
class CMainActions;
class CMainFrame;
class CStartupCheck;
class QSettings;

// The application object: start-up, the database path and the last resort for
// errors, which end the command that raised them and leave the program running.
class CMorvekApp final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMorvekApp)

public:
    CMorvekApp(int &argc, char **argv);
    ~CMorvekApp() override;

    bool InitInstance();
    CMainFrame *GetMainFrame() const { return m_pMainWnd.get(); }
    // Finds and checks the database file, or asks and creates it; sets
    // m_strDatabasePath. Tells every failure in a message and returns.
    void OpenOrCreateDatabase();
    // A damaged file is offered its newest sound backup; kept, it is not used:
    // start-up goes on without a database, and false is returned.
    bool CheckDatabaseAtStart();
    // The check of the whole file that start-up left for after the window; null before InitInstance.
    CStartupCheck *GetStartupCheck() const { return m_pStartupCheck.get(); }

    bool notify(QObject *receiver, QEvent *event) override;
    static void ReportException(const std::exception &error);

    static std::unique_ptr<QSettings> Settings();
    static QString DefaultDatabaseName() { return QStringLiteral("odata.mdb"); }

    // The application's commands; false when the id is not one of them.
    bool OnCommand(int id);
    void UpdateCommandUI(const CMainActions &actions) const;
    void OnShowCompany();
    void OnFileNew();
    void OnAppAbout();
    void OnFilePrintSetup();
    // Where cards go on the paper, remembered in the settings.
    void OnCardStock();
    void OnMakeBackup();
    void OnRestoreBackup();
    void OnOpenServer();
    // Opens a company window on the file, or brings forward the one showing it.
    CChildFrame *OpenDocumentFile(const QString &path);
    static QString DocumentFileName() { return QStringLiteral("tmp.mvk"); }

    // Paper size and orientation by their printer-driver codes (9 = A4, 1 = portrait).
    bool SetPrinterPaper(int paperSize, int orientation);
    const QPageLayout &GetPageLayout() const { return m_pageLayout; }

    QString m_strDatabasePath;

private:
    void SetDatabasePath(const QString &path);
    void FindOrCreateDatabase();
    QString SettleFile(const QString &path);
    void ProcessShellCommand();
    void CloseCompanyWindows();
    void OnDamageFound(const QString &path, const QString &damage);

    std::unique_ptr<CMainFrame> m_pMainWnd;
    QPageLayout m_pageLayout;
    QString m_strStartupNote;
    QString m_strDamagedPath; // found damaged at start and not restored; nothing writes to it
    std::unique_ptr<CStartupCheck> m_pStartupCheck;
    bool m_bDeferCheck = false; // during start-up: the whole file is checked once the window shows
    QString m_strDeferredCheck; // the file to check then
};

CMorvekApp *theApp();
