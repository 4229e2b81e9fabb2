#pragma once

#include <QHash>
#include <vector>

// The ordered keys of an open dynaset. Deleted rows stay as holes so that
// positions of the others do not shift; added rows go to the end.
class CDaoKeyset final
{
public:
    static constexpr qint64 kHole = -1;

    void Assign(std::vector<qint64> keys);
    void Clear();
    bool IsBuilt() const { return m_bBuilt; }

    int Size() const { return int(m_keys.size()); }
    qint64 KeyAt(int pos) const { return m_keys[size_t(pos)]; }
    int PositionOf(qint64 key) const { return m_positions.value(key, -1); }
    int Append(qint64 key);
    void Remove(int pos);

    int NextLive(int pos) const; // first live position after pos, or Size()
    int PrevLive(int pos) const; // last live position before pos, or -1
    int LiveCount() const { return m_nLive; }

    // Positions of the given keys that belong to the set, ascending.
    std::vector<int> PositionsOf(const std::vector<qint64> &keys) const;

private:
    std::vector<qint64> m_keys;
    QHash<qint64, int> m_positions;
    int m_nLive = 0;
    bool m_bBuilt = false;
};
