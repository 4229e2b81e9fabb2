#include "store/daorecordwriter.h"

#include "store/daobackend.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daofieldexchange.h"
#include "store/daostatement.h"

#include <utility>

namespace {
QString WriteFailed()
{
    return QStringLiteral("データベースへの書き込みに失敗しました。");
}

bool IsKeyColumn(const QString &name)
{
    return name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
}
} // namespace

void CDaoRecordWriter::BeginAdd()
{
    m_pending.clear();
    m_mode = EMode::add;
}

void CDaoRecordWriter::BeginEdit(const CDaoFieldExchange &stored, QHash<QString, QVariant> read)
{
    m_pending.clear();
    m_editValues = stored.m_values;
    m_editInvalid = stored.m_invalid;
    m_readValues = std::move(read);
    m_mode = EMode::edit;
}

void CDaoRecordWriter::End()
{
    m_mode = EMode::none;
    m_pending.clear();
}

const QVariant *CDaoRecordWriter::Value(const QString &column) const
{
    if (m_mode == EMode::none)
        return nullptr;
    const auto it = m_pending.constFind(column);
    return it == m_pending.cend() ? nullptr : &*it;
}

CDaoRecordWriter::Writes CDaoRecordWriter::Collect(const QStringList &columns, const CDaoFieldExchange &members) const
{
    const bool editing = m_mode == EMode::edit;
    Writes writes;
    for (int i = 0; i < columns.size(); ++i) {
        if (IsKeyColumn(columns[i]) || members.m_keep[i] || m_pending.contains(columns[i]))
            continue;
        // As a dynaset does: a column nobody changed keeps what the file holds,
        // even a value the members cannot represent.
        if (editing && members.m_values[i] == m_editValues.value(i) && members.m_invalid[i] == m_editInvalid.value(i))
            continue;
        if (members.m_invalid[i])
            throw CDaoException(QStringLiteral("「%1」の日付が正しくありません。").arg(columns[i]));
        writes << qMakePair(columns[i], members.m_values[i]);
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (!IsKeyColumn(it.key()))
            writes << qMakePair(it.key(), it.value());
    }
    return writes;
}

void CDaoRecordWriter::CheckWidths(const Writes &writes, const QHash<QString, int> &widths)
{
    for (const auto &[column, value] : writes) {
        const int width = widths.value(column, -1);
        if (width >= 0 && value.typeId() == QMetaType::QString && value.toString().toUcs4().size() > width)
            throw CDaoException(QStringLiteral("「%1」に入力できるのは %2 文字までです。").arg(column).arg(width));
    }
}

QString CDaoRecordWriter::Statement(const CDaoDatabase &db, const QString &table, const Writes &writes) const
{
    QStringList names;
    for (const auto &write : writes)
        names << QLatin1Char('[') + write.first + QLatin1Char(']');
    if (m_mode == EMode::add) {
        const QString sql = names.isEmpty() ? QStringLiteral("INSERT INTO [%1] DEFAULT VALUES").arg(table)
                                            : QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                                                  .arg(table, names.join(u','),
                                                       QStringList(names.size(), QStringLiteral("?")).join(u','));
        return sql + db.Backend().ReturningKey();
    }
    // A column is written only while it still holds what was read.
    const QString same = db.Backend().NullSafeEquals();
    QStringList unchanged;
    for (const auto &write : writes) {
        if (m_readValues.contains(write.first))
            unchanged << QStringLiteral(" AND [%1] %2 ?").arg(write.first, same);
    }
    return QStringLiteral("UPDATE [%1] SET %2 = ? WHERE ID = ?").arg(table, names.join(QStringLiteral(" = ?, ")))
         + unchanged.join(QString());
}

qint64 CDaoRecordWriter::Write(CDaoDatabase &db, const Prepare &prepare, const QString &table, const Writes &writes,
                               qint64 key) const
{
    const QString sql = Statement(db, table, writes);
    db.BeforeWrite();
    CDaoStatement &q = prepare(sql);
    int i = 0;
    for (const auto &write : writes)
        q.Bind(i++, write.second);
    if (m_mode != EMode::add) {
        q.Bind(i++, key);
        for (const auto &write : writes) {
            if (m_readValues.contains(write.first))
                q.Bind(i++, m_readValues.value(write.first));
        }
    }
    db.NoteWrite();
    q.Exec(WriteFailed());
    if (m_mode == EMode::add) {
        const qint64 added = q.LastInsertId();
        q.Finish();
        return added;
    }
    if (q.RowsAffected() == 0) {
        q.Finish();
        return -1;
    }
    return key;
}

void CDaoRecordWriter::Delete(CDaoDatabase &db, const Prepare &prepare, const QString &table, qint64 key)
{
    db.BeforeWrite();
    CDaoStatement &q = prepare(QStringLiteral("DELETE FROM [%1] WHERE ID = ?").arg(table));
    q.Bind(0, key);
    db.NoteWrite();
    q.Exec(WriteFailed());
}

bool CDaoRecordWriter::Exists(const Prepare &prepare, const QString &table, qint64 key)
{
    CDaoStatement &q = prepare(QStringLiteral("SELECT ID FROM [%1] WHERE ID = ?").arg(table));
    q.Bind(0, key);
    q.Exec();
    const bool there = q.Next();
    q.Finish();
    return there;
}
