#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class CDaoStatement;
class CDateValue;

// A long binary column's value, read from the file only when somebody looks at it:
// walking rows never loads photos.
class CDaoLongBinary final
{
public:
    const QByteArray &Data() const;
    qsizetype GetSize() const { return Data().size(); }
    bool IsEmpty() const { return Data().isEmpty(); }
    void SetData(const QByteArray &bytes);
    void Clear() { SetData({}); }

    bool IsDirty() const { return m_bDirty; }
    // Read from the file since the row became current, and not changed since.
    bool WasRead() const { return !m_source && m_nKey >= 0 && !m_bDirty; }
    // Engine side: reads one column of one row. Shared by every row a set walks,
    // so that a row made current costs no allocation for its photo.
    using Source = std::shared_ptr<const std::function<QByteArray(qint64 key, const QString &column)>>;
    // The value of a newly current row; column may still carry its brackets.
    void Attach(const Source &source, qint64 key, const QString &column);
    void Reset();

private:
    mutable QByteArray m_data;
    mutable Source m_source;
    qint64 m_nKey = -1;
    QString m_strColumn;
    bool m_bDirty = false;
};

// Carries bound members to and from one row: describes the columns, loads a
// fetched row into the members, stores the members for a write, or resets them.
class CDaoFieldExchange final
{
public:
    enum Operation { Describe, Load, Store, Reset, Bind };
    enum Kind { Long, Bool, Text, Date, Binary };

    // A member as Bind found it: rows then load into it without another call of
    // DoFieldExchange, as long as the set lives.
    struct SBinding {
        Kind kind;
        void *pMember;
        QString strColumn;
    };

    explicit CDaoFieldExchange(Operation op)
        : m_nOperation(op)
    {
    }

    // Load through the bindings; the same as a Load pass of DoFieldExchange.
    void LoadBound(const std::vector<SBinding> &bindings);

    Operation m_nOperation;
    QStringList m_columns;   // Describe
    QVector<Kind> m_kinds;   // Describe
    QVariantList m_values;   // one per column: Load and Store give them out
    QVector<bool> m_keep;    // Store: column left as it is in the file
    QVector<bool> m_invalid; // Store: a value that cannot be written
    // Store: the long binaries somebody has looked at, as read, by column name.
    QHash<QString, QVariant> m_readBinaries;
    // Load: the row to read, and each field's column in it (-1: not read). The
    // values as stored go to m_values, for a later update to compare with.
    const CDaoStatement *m_pRow = nullptr;
    const std::vector<int> *m_pRowColumns = nullptr;
    CDaoLongBinary::Source m_binarySource; // Load
    qint64 m_nKey = -1;                    // Load: the row's key
    // Load: the members take m_values as they stand, without a row; long binaries stay as they are.
    bool m_bFromValues = false;
    std::vector<SBinding> m_bindings; // Bind
    int m_nIndex = 0;

    static QString ColumnName(const QString &bracketed);
};

void DFX_Long(CDaoFieldExchange *pFX, const QString &column, qint32 &value);
void DFX_Bool(CDaoFieldExchange *pFX, const QString &column, bool &value);
void DFX_Text(CDaoFieldExchange *pFX, const QString &column, QString &value);
void DFX_DateTime(CDaoFieldExchange *pFX, const QString &column, CDateValue &value);
void DFX_LongBinary(CDaoFieldExchange *pFX, const QString &column, CDaoLongBinary &value);
