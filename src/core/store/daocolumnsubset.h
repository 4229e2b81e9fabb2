#pragma once

#include <QStringList>

class CDaoRecordset;

// For the length of one walk, a set reads only the columns the walk uses; the
// set reads every column again afterwards.
class CDaoColumnSubset final
{
public:
    CDaoColumnSubset(CDaoRecordset &set, const QStringList &columns);
    ~CDaoColumnSubset();
    CDaoColumnSubset(const CDaoColumnSubset &) = delete;
    CDaoColumnSubset &operator=(const CDaoColumnSubset &) = delete;

private:
    CDaoRecordset &m_set;
    QStringList m_previous;
};
