#pragma once

#include <QApplication>
#include <QString>
#include <memory>

class QMainWindow;
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
    // Finds the database file, or asks and creates it; sets m_strDatabasePath.
    void OpenOrCreateDatabase();

    bool notify(QObject *receiver, QEvent *event) override;
    static void ReportException(const std::exception &error);

    static std::unique_ptr<QSettings> Settings();
    static QString DefaultDatabaseName() { return QStringLiteral("odata.mdb"); }

    QString m_strDatabasePath;

private:
    void SetDatabasePath(const QString &path);
    std::unique_ptr<QMainWindow> m_pMainWnd;
};

CMorvekApp *theApp();
