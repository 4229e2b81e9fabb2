#pragma once

#include <QString>
#include <vector>

class CDaoStatement;

// The answer to one find in the set's order, read as the walk goes: FindFirst
// steps the query to its first row, each FindNext one row further, so every
// row is read once and a walk that stops early reads no more. Keys already
// passed are kept, so a step back costs one read by key.
class CDaoOrderedFind final
{
public:
    // query is executed and returns ID first, then the fetched columns, in the
    // set's order. It stays owned by the caller and must outlive the walk.
    bool Run(CDaoStatement *query, const QString &condition, bool fromEnd, quint64 generation);
    void Clear();

    // The walk still stands: same condition, on key, and nothing written since.
    bool IsAt(const QString &condition, qint64 key, quint64 generation) const;
    bool Next();
    bool Prev();
    qint64 Key() const { return m_keys[m_index]; }
    // The query positioned on the current row, or null when it must be read by key.
    CDaoStatement *CurrentRow() const { return m_bOnQuery ? m_pQuery : nullptr; }
    // Once the current row is read: looks one row ahead, so that a find with a
    // single answer ends its statement, which on a shared file would otherwise
    // keep every other program from writing while the row is shown.
    void LookAhead();

private:
    void Finish();

    QString m_condition;
    std::vector<qint64> m_keys;
    size_t m_index = 0;
    CDaoStatement *m_pQuery = nullptr; // still stepping; null once the last row was passed
    quint64 m_nGeneration = 0;
    bool m_bOnQuery = false;
    bool m_bValid = false;
};
