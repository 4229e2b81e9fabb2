#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QDialog;

// The server for the tests that run on PostgreSQL: MORVEK_TEST_PGURI, empty when none is given.
QString TestServerUri();
// True when this run keeps the fixture's register on the server (MORVEK_TEST_BACKEND=postgresql).
bool TestOnServer();
// Empties the server's test database: no tables of ours or anybody's.
void ClearTestServer(const QString &uri);

// In initTestCase of a test that runs on either backend.
#define MORVEK_REQUIRE_BACKEND()                                                                     \
    do {                                                                                             \
        if (TestOnServer() && TestServerUri().isEmpty())                                             \
            QSKIP("PostgreSQL not tested: set MORVEK_TEST_PGURI (scripts/test.sh starts a server)"); \
    } while (false)

// A fresh database with both tables, the one every record set opens by default:
// a file, or the server's test database emptied and made again.
class CTempDatabase final
{
public:
    CTempDatabase();
    ~CTempDatabase();
    QString Path() const { return m_path; }
    bool OnServer() const { return m_path.startsWith(QLatin1String("postgresql://")); }
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Answers every modal dialog while it lives; records what each one said.
class CDialogAnswers final
{
public:
    explicit CDialogAnswers(std::function<int(QDialog &)> answer);
    ~CDialogAnswers();
    const QStringList &Texts() const { return *m_texts; }

private:
    std::shared_ptr<QStringList> m_texts;
};

// A file's bytes; empty when it cannot be read.
QByteArray ReadFile(const QString &path);
// Puts bytes in place of the file's contents (the test fails when it cannot); returns path.
QString WriteFile(const QString &path, const QByteArray &bytes);

// Garbage over every page of a database file but its schema's: the file still
// opens, and what its tables hold reads as damaged. Returns the pages overwritten.
int DamageDataPages(const QString &path);

// Keeps the program's settings in a folder of their own for the test's lifetime.
void IsolateSettings(const QString &folder);
