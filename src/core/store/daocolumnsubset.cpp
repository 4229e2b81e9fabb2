#include "store/daocolumnsubset.h"

#include "store/daorecordset.h"

CDaoColumnSubset::CDaoColumnSubset(CDaoRecordset &set, const QStringList &columns)
    : m_set(set)
    , m_previous(set.GetColumnSubset())
{
    m_set.SetColumnSubset(columns);
}

CDaoColumnSubset::~CDaoColumnSubset()
{
    try {
        m_set.SetColumnSubset(m_previous);
    } catch (...) {
        // Reloading the current row failed; the next move reads it again.
    }
}
