#pragma once

#include "views/unitcontentsmodel.h"

#include <Qt>
#include <vector>

// The order of a unit's rows when sorted by a column: unit rows stay on top in
// the order they have; employees follow by the column's value, the other way
// when descending, and equal values by code (then ID), always upwards.
class CRowOrder final
{
public:
    CRowOrder() = delete;

    // The old row numbers in their new order.
    static std::vector<int> Order(const std::vector<CUnitContentsModel::SRow> &rows, int column, Qt::SortOrder order);
    static void Sort(std::vector<CUnitContentsModel::SRow> &rows, int column, Qt::SortOrder order);
    // Whether employee a goes before employee b in that order; column -1: by code,
    // the order the register reads them in.
    static bool Before(const CUnitContentsModel::SRow &a, const CUnitContentsModel::SRow &b, int column,
                       Qt::SortOrder order);
};
