#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <QVariant>

// A second, independent connection, as another program would hold: to the file,
// or to the server a "postgresql://" URI names.
class CRawConnection
{
public:
    explicit CRawConnection(const QString &path, const QString &name = QStringLiteral("raw"))
        : m_name(name)
    {
        const bool server = path.startsWith(QLatin1String("postgresql://"));
        auto db = QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_name);
        if (server) {
            const QUrl url(path);
            db.setHostName(url.host());
            db.setPort(url.port(5432));
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=50"));
        }
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    }
    ~CRawConnection()
    {
        QSqlDatabase::database(m_name).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    void Exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text() + QStringLiteral(" in ") + sql));
    }
    // For a statement that may fail (on a full disk, say): a warning, not a failed test.
    bool TryExec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.isActive();
    }
    QVariant Scalar(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        if (!q.exec(sql) || !q.next())
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.value(0);
    }
    QStringList Column(const QString &sql, int column = 0)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        QStringList values;
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        while (q.next())
            values << q.value(column).toString();
        return values;
    }

private:
    QString m_name;
};
