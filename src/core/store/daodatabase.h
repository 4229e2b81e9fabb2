#pragma once

#include "store/daoconnection.h"
#include "store/tabledefinitions.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>

class CDaoBackend;
class CDaoStatement;

inline constexpr int dbFailOnError = 128;
inline constexpr int dbOpenDynaset = 2;
// The engine's general sort order; accepted and kept for the caller's sake.
inline constexpr const char dbLangGeneral[] = ";LANGID=0x0409;CP=1252;COUNTRY=0";

// One connection to one database: a file, or a register on a PostgreSQL server
// named by a "postgresql://" URI. The engine (Backend()) follows from the name.
class CDaoDatabase final : public CDaoConnection
{
public:
    CDaoDatabase();
    ~CDaoDatabase();
    CDaoDatabase(const CDaoDatabase &) = delete;
    CDaoDatabase &operator=(const CDaoDatabase &) = delete;

    // Makes a new, empty file; refuses an existing one. Leaves the connection open.
    // On a server: connects to a database that must hold nothing yet.
    void Create(const QString &path, const QString &locale = QString::fromLatin1(dbLangGeneral), int options = 0);
    // Opens an existing file, shared; read-only when the file is.
    void Open(const QString &path);
    void Close();
    bool IsReadOnly() const { return m_bReadOnly; }
    QString GetName() const { return m_strPath; }

    // Runs one statement that returns no rows, all or nothing.
    void Execute(const QString &sql, int options = dbFailOnError);
    // Runs the statements in order in one transaction: all of them take effect or
    // none does. Returns the rows they changed together.
    int ExecuteAll(const QStringList &statements, int options = dbFailOnError);
    // The same with values bound to each statement's "?" in order.
    struct SBoundStatement {
        QString sql;
        QVariantList values;
    };
    int ExecuteAll(const QList<SBoundStatement> &statements, int options = dbFailOnError);

    // An explicit transaction around writes through record sets on this connection.
    void BeginTrans();
    void CommitTrans();
    void Rollback();

    // Counts the changes made through this connection, so that a walk over rows
    // read before a change knows it must look again.
    quint64 GetWriteCount() const { return m_nWrites; }
    void NoteWrite() { ++m_nWrites; }
    // Prepared statements handed back by record sets that closed, for the next
    // set that runs the same text: a set made for one command prepares nothing.
    std::unique_ptr<CDaoStatement> TakeStatement(const QString &sql);
    void ReturnStatement(const QString &sql, std::unique_ptr<CDaoStatement> statement);
    // The count a query gives, or -1 when it fails (a side table not made yet).
    qint64 CountOf(const QString &sql);
    // Declared widths of a table's text columns, read once per connection.
    const QHash<QString, int> &ColumnWidths(const QString &table);
    // Who writes through this connection (CDaoBackend::UserName), asked once per connection.
    const QString &UserName();

    // How long a call waits for another writer before it gives up.
    static void SetBusyTimeout(int milliseconds);

    // Called with the file's path before a change is written to it, outside any
    // transaction of ours; not for a file this connection created. What it throws is ignored.
    using WriteHook = std::function<void(const QString &path)>;
    static void SetWriteHook(WriteHook hook);
    void BeforeWrite();

    // The version this build writes into new files and can read.
    static constexpr int kSchemaVersion = CTableDefinitions::kVersion;

    // One statement with values, inside whatever transaction is open; its prepared
    // form is kept for the next run of the same text. Returns the rows it changed.
    int RunBound(const QString &sql, const QVariantList &values, const QString &context = {});

private:
    void Connect(const CDaoBackend &backend, const QString &path, bool readOnly);

    QString m_strPath;
    bool m_bReadOnly = false;
    quint64 m_nWrites = 0;
    QHash<QString, QHash<QString, int>> m_widths;
    QString m_strUser;
    std::multimap<QString, std::unique_ptr<CDaoStatement>> m_idleStatements;
    bool m_bCreated = false;
    bool m_bInTrans = false;
};
