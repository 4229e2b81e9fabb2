#pragma once

#include <QString>
#include <QVariant>

// One prepared statement as one engine runs it, behind CDaoStatement. Each
// backend makes its own; the connection ends them all when it closes.
class CEngineStatement
{
public:
    // SQLite's own type codes, so that asking a file costs one call.
    enum class EType { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

    CEngineStatement() = default;
    virtual ~CEngineStatement() = default;
    CEngineStatement(const CEngineStatement &) = delete;
    CEngineStatement &operator=(const CEngineStatement &) = delete;

    // Bind, Exec and Next throw once the statement is detached.
    virtual void Bind(int index, const QVariant &value) = 0;
    virtual void Exec(const QString &context) = 0;
    virtual bool Next() = 0;
    virtual void Finish() = 0;

    virtual QVariant Value(int column) const = 0;
    virtual EType Type(int column) const = 0;
    virtual qint64 Int64(int column) const = 0;
    virtual QString Text(int column) const = 0;

    virtual qint64 RowsAffected() const = 0;
    virtual qint64 LastInsertId() const = 0;

    // Frees what the engine holds; the statement then refuses to run.
    virtual void Detach() = 0;
    virtual bool IsAttached() const = 0;

protected:
    // What Qt's drivers write as NULL: besides an empty variant, a null string,
    // byte array or date, so that a cleared text member is stored as NULL.
    static bool IsNullValue(const QVariant &value);
    static QString ReadFailed();
    [[noreturn]] static void ThrowDetached();
};
