#include "testsupport.h"

#include "base/modalseam.h"
#include "store/daorecordset.h"
#include "store/schema.h"

#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

QString TestServerUri()
{
    return qEnvironmentVariable("MORVEK_TEST_PGURI");
}

bool TestOnServer()
{
    return qEnvironmentVariable("MORVEK_TEST_BACKEND") == QLatin1String("postgresql");
}

void ClearTestServer(const QString &uri)
{
    const QUrl url(uri);
    const QString name = QStringLiteral("morvek-test-clear");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        if (!db.open())
            qFatal("test server: %s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        // Other connections of this process keep statements on the old tables; they end with their sets.
        if (!q.exec(QStringLiteral("DROP SCHEMA public CASCADE")) || !q.exec(QStringLiteral("CREATE SCHEMA public")))
            qFatal("test server: %s", qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

CTempDatabase::CTempDatabase()
    : m_path(TestOnServer() ? TestServerUri() : m_dir.filePath(QStringLiteral("odata.mdb")))
{
    if (TestOnServer())
        ClearTestServer(m_path);
    CSchema::CreateDatabaseFile(m_path);
    CDaoRecordset::SetApplicationDatabasePath(m_path);
}

CTempDatabase::~CTempDatabase()
{
    CDaoRecordset::SetApplicationDatabasePath(QString());
}

CDialogAnswers::CDialogAnswers(std::function<int(QDialog &)> answer)
    : m_texts(std::make_shared<QStringList>())
{
    auto texts = m_texts;
    CModalSeam::SetResponder([texts, answer](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog))
            texts->append(box->text());
        else
            texts->append(dialog.windowTitle());
        return answer(dialog);
    });
}

CDialogAnswers::~CDialogAnswers()
{
    CModalSeam::SetResponder({});
}

void IsolateSettings(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int DamageDataPages(const QString &path)
{
    QList<qint64> pages;
    qint64 size = 0;
    {
        const QString name = QStringLiteral("damage");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
                size = q.value(0).toLongLong();
            q.exec(QStringLiteral("SELECT DISTINCT pageno FROM dbstat WHERE name <> 'sqlite_schema' AND pageno > 1"));
            while (q.next())
                pages << q.value(0).toLongLong();
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    QFile file(path);
    if (size <= 0 || pages.isEmpty() || !file.open(QIODevice::ReadWrite))
        return 0;
    for (const qint64 page : std::as_const(pages)) {
        file.seek((page - 1) * size);
        file.write(QByteArray(qsizetype(size), '\xa5'));
    }
    return int(pages.size());
}

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(path, file.errorString())), __FILE__, __LINE__);
    return path;
}
