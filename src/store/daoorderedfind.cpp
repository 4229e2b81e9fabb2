#include "daoorderedfind.h"

#include "daoexception.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>

namespace {
QSqlQuery Exec(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("データベースの読み取りに失敗しました。"));
    return q;
}

QVariantList RowOf(const QSqlQuery &q, int count)
{
    QVariantList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values << q.value(i);
    return values;
}
} // namespace

bool CDaoOrderedFind::Run(const QSqlDatabase &db, const QString &condition, const QString &select, bool fromEnd)
{
    Clear();
    QSqlQuery q = Exec(db, select);
    const int count = q.record().count();
    while (q.next()) {
        m_keys.push_back(q.value(0).toLongLong());
        // The first rows come with the keys; a walk from the end reads its own batch.
        if (!fromEnd && m_keys.size() <= kBatch)
            m_rows.insert(m_keys.back(), RowOf(q, count));
    }
    if (m_keys.empty())
        return false;
    m_condition = condition;
    m_index = fromEnd ? m_keys.size() - 1 : 0;
    m_bValid = true;
    return true;
}

void CDaoOrderedFind::Clear()
{
    m_condition.clear();
    m_keys.clear();
    m_rows.clear();
    m_index = 0;
    m_bValid = false;
}

bool CDaoOrderedFind::IsAt(const QString &condition, qint64 key) const
{
    return m_bValid && key >= 0 && m_condition == condition && m_keys[m_index] == key;
}

bool CDaoOrderedFind::CanMove(int step) const
{
    return step < 0 ? m_index >= size_t(-step) : m_index + size_t(step) < m_keys.size();
}

qint64 CDaoOrderedFind::Move(int step)
{
    m_index = size_t(qint64(m_index) + step);
    return Key();
}

void CDaoOrderedFind::ReadBatch(const QSqlDatabase &db, const QString &rowsSql, bool forward)
{
    if (m_rows.contains(Key()))
        return;
    m_rows.clear();
    const size_t from = forward ? m_index : (m_index + 1 > kBatch ? m_index + 1 - kBatch : 0);
    const size_t to = forward ? std::min(m_index + kBatch, m_keys.size()) : m_index + 1;
    QStringList keys;
    for (size_t i = from; i < to; ++i)
        keys << QString::number(m_keys[i]);
    QSqlQuery q = Exec(db, rowsSql.arg(keys.join(u',')));
    const int count = q.record().count();
    while (q.next())
        m_rows.insert(q.value(0).toLongLong(), RowOf(q, count));
}

const QVariantList *CDaoOrderedFind::Row(qint64 key) const
{
    const auto it = m_rows.constFind(key);
    return it == m_rows.cend() ? nullptr : &*it;
}
