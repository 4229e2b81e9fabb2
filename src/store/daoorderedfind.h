#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

class QSqlDatabase;

// The answer to one find in the set's order: every matching key, and the rows
// around the current one, read a batch at a time, so that walking all matches
// costs one query for the keys and one per batch, not one per row.
class CDaoOrderedFind final
{
public:
    // select returns ID first, then the row's columns, in the set's order.
    bool Run(const QSqlDatabase &db, const QString &condition, const QString &select, bool fromEnd);
    void Clear();

    bool IsAt(const QString &condition, qint64 key) const;
    bool CanMove(int step) const;
    qint64 Move(int step);
    qint64 Key() const { return m_keys[m_index]; }

    // rowsSql has %1 where the comma-separated keys of a batch go.
    void ReadBatch(const QSqlDatabase &db, const QString &rowsSql, bool forward);
    const QVariantList *Row(qint64 key) const;

private:
    static constexpr size_t kBatch = 64;

    QString m_condition;
    std::vector<qint64> m_keys;
    size_t m_index = 0;
    bool m_bValid = false;
    QHash<qint64, QVariantList> m_rows;
};
