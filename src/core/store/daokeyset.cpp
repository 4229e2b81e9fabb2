#include "store/daokeyset.h"

#include <algorithm>

void CDaoKeyset::Assign(std::vector<qint64> keys)
{
    m_keys = std::move(keys);
    m_positions.clear();
    m_positions.reserve(qsizetype(m_keys.size()));
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_positions.insert(m_keys[i], int(i));
    m_nLive = int(m_keys.size());
    m_bBuilt = true;
}

void CDaoKeyset::Clear()
{
    m_keys.clear();
    m_positions.clear();
    m_nLive = 0;
    m_bBuilt = false;
}

int CDaoKeyset::Append(qint64 key)
{
    m_keys.push_back(key);
    m_positions.insert(key, int(m_keys.size()) - 1);
    ++m_nLive;
    return int(m_keys.size()) - 1;
}

void CDaoKeyset::Remove(int pos)
{
    if (pos < 0 || pos >= Size() || m_keys[size_t(pos)] == kHole)
        return;
    m_positions.remove(m_keys[size_t(pos)]);
    m_keys[size_t(pos)] = kHole;
    --m_nLive;
}

int CDaoKeyset::NextLive(int pos) const
{
    int p = std::max(pos + 1, 0);
    while (p < Size() && m_keys[size_t(p)] == kHole)
        ++p;
    return std::min(p, Size());
}

int CDaoKeyset::PrevLive(int pos) const
{
    int p = std::min(pos - 1, Size() - 1);
    while (p >= 0 && m_keys[size_t(p)] == kHole)
        --p;
    return std::max(p, -1);
}

std::vector<int> CDaoKeyset::PositionsOf(const std::vector<qint64> &keys) const
{
    std::vector<int> positions;
    positions.reserve(keys.size());
    for (qint64 key : keys) {
        const int pos = PositionOf(key);
        if (pos >= 0)
            positions.push_back(pos);
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}
