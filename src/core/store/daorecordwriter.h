#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class CDaoDatabase;
class CDaoFieldExchange;
class CDaoStatement;

// The row a record set is adding or editing, and its write: only what changed
// since Edit, refused when too wide, and written only over what was read, so that
// of two users changing the same field the second is told.
class CDaoRecordWriter final
{
public:
    using Writes = QList<QPair<QString, QVariant>>;
    // The record set's statements, prepared once and kept.
    using Prepare = std::function<CDaoStatement &(const QString &sql)>;
    // Numbered as CDaoRecordset::EditMode.
    enum class EMode { none, edit, add };

    EMode Mode() const { return m_mode; }
    void BeginAdd();
    // stored: a Store pass over the members as Edit finds them; read: the row's
    // values as last read from the file, by column.
    void BeginEdit(const CDaoFieldExchange &stored, QHash<QString, QVariant> read);
    void End();

    // A column given by name, written beside the members.
    void SetValue(const QString &column, const QVariant &value) { m_pending.insert(column, value); }
    // The value given by name while adding or editing, or null.
    const QVariant *Value(const QString &column) const;

    // What Update writes: from a Store pass over the members, what differs from
    // Edit's (every member when adding), then the columns given by name.
    Writes Collect(const QStringList &columns, const CDaoFieldExchange &members) const;
    static void CheckWidths(const Writes &writes, const QHash<QString, int> &widths);

    // Writes the row into table; key is the row edited. Returns the new row's key
    // when adding, key when an edit was written, and -1 when the row no longer
    // held what was read, in which case nothing was written.
    qint64 Write(CDaoDatabase &db, const Prepare &prepare, const QString &table, const Writes &writes, qint64 key) const;
    static void Delete(CDaoDatabase &db, const Prepare &prepare, const QString &table, qint64 key);
    static bool Exists(const Prepare &prepare, const QString &table, qint64 key);

private:
    QString Statement(const CDaoDatabase &db, const QString &table, const Writes &writes) const;

    EMode m_mode = EMode::none;
    QHash<QString, QVariant> m_pending;
    // The bound members as Edit found them: Update writes only what differs.
    QVariantList m_editValues;
    QVector<bool> m_editInvalid;
    QHash<QString, QVariant> m_readValues; // by column, as last read from the file
};
