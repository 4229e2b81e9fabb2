#include "store/daoorderedfind.h"

#include "store/daostatement.h"

bool CDaoOrderedFind::Run(CDaoStatement *query, const QString &condition, bool fromEnd, quint64 generation)
{
    Clear();
    m_pQuery = query;
    if (!m_pQuery->Next()) {
        Finish();
        return false;
    }
    m_keys.push_back(m_pQuery->Int64(0));
    if (fromEnd) {
        while (m_pQuery->Next())
            m_keys.push_back(m_pQuery->Int64(0));
        Finish();
        m_index = m_keys.size() - 1;
    } else {
        m_bOnQuery = true;
    }
    m_condition = condition;
    m_nGeneration = generation;
    m_bValid = true;
    return true;
}

void CDaoOrderedFind::Finish()
{
    if (m_pQuery)
        m_pQuery->Finish();
    m_pQuery = nullptr;
    m_bOnQuery = false;
}

void CDaoOrderedFind::Clear()
{
    Finish();
    m_condition.clear();
    m_keys.clear();
    m_index = 0;
    m_bValid = false;
}

bool CDaoOrderedFind::IsAt(const QString &condition, qint64 key, quint64 generation) const
{
    return m_bValid && key >= 0 && generation == m_nGeneration && m_condition == condition && m_keys[m_index] == key;
}

bool CDaoOrderedFind::Next()
{
    if (m_index + 1 < m_keys.size()) {
        ++m_index;
        // The query still stands on the last key it gave.
        m_bOnQuery = m_pQuery && m_index + 1 == m_keys.size();
        return true;
    }
    if (!m_pQuery)
        return false;
    if (!m_pQuery->Next()) {
        Finish();
        return false;
    }
    m_keys.push_back(m_pQuery->Int64(0));
    ++m_index;
    m_bOnQuery = true;
    return true;
}

void CDaoOrderedFind::LookAhead()
{
    if (!m_pQuery || !m_bOnQuery)
        return;
    if (!m_pQuery->Next()) {
        Finish();
        return;
    }
    m_keys.push_back(m_pQuery->Int64(0));
    m_bOnQuery = false; // the query now stands on the row after the current one
}

bool CDaoOrderedFind::Prev()
{
    if (m_index == 0)
        return false;
    --m_index;
    m_bOnQuery = false;
    return true;
}
