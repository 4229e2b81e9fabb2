#include "views/roworder.h"

#include "views/rowimages.h"
#include "store/namefold.h"

#include <algorithm>
#include <limits>

namespace {
using SRow = CUnitContentsModel::SRow;
using EColumn = CUnitContentsModel::EColumn;

bool IsNumeric(int column)
{
    return column == EColumn::codeColumn || column == EColumn::sexColumn || column == EColumn::joinedColumn;
}

qint64 NumberKey(const SRow &row, int column)
{
    switch (column) {
    case EColumn::codeColumn:
        return row.nCode;
    case EColumn::sexColumn:
        return row.nImage;
    default:
        // Rows without a date of joining come first.
        return row.indat.IsValid() && !(row.indat == CDateValue::Zero()) ? row.indat.Date().toJulianDay()
                                                                         : std::numeric_limits<qint64>::min();
    }
}

QString TextKey(const SRow &row, int column)
{
    // A reading may be typed in hiragana, katakana or half-width kana: one order for all.
    if (column == EColumn::kanaColumn)
        return CNameFold::Fold(row.strKana);
    return CUnitContentsModel::CellText(row, column);
}

// Keys read once per row, not once per comparison; employees holds row numbers,
// keys one key for each of them.
template <class Key>
std::vector<int> OrderBy(const std::vector<SRow> &rows, const std::vector<int> &employees, const std::vector<Key> &keys,
                         bool descending)
{
    std::vector<int> order(employees.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const Key &ka = keys[size_t(a)];
        const Key &kb = keys[size_t(b)];
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
        const SRow &ra = rows[size_t(employees[size_t(a)])];
        const SRow &rb = rows[size_t(employees[size_t(b)])];
        return ra.nCode != rb.nCode ? ra.nCode < rb.nCode : ra.nId < rb.nId;
    });
    for (int &at : order)
        at = employees[size_t(at)];
    return order;
}
} // namespace

std::vector<int> CRowOrder::Order(const std::vector<SRow> &rows, int column, Qt::SortOrder order)
{
    std::vector<int> result;
    std::vector<int> employees;
    for (size_t i = 0; i < rows.size(); ++i)
        (CRowImages::IsEmployee(rows[i].nImage) ? employees : result).push_back(int(i));
    const bool descending = order == Qt::DescendingOrder;
    std::vector<int> sorted;
    if (IsNumeric(column)) {
        std::vector<qint64> keys;
        keys.reserve(employees.size());
        for (int row : employees)
            keys.push_back(NumberKey(rows[size_t(row)], column));
        sorted = OrderBy(rows, employees, keys, descending);
    } else {
        std::vector<QString> keys;
        keys.reserve(employees.size());
        for (int row : employees)
            keys.push_back(TextKey(rows[size_t(row)], column));
        sorted = OrderBy(rows, employees, keys, descending);
    }
    result.insert(result.end(), sorted.begin(), sorted.end());
    return result;
}

bool CRowOrder::Before(const SRow &a, const SRow &b, int column, Qt::SortOrder order)
{
    const bool descending = order == Qt::DescendingOrder;
    if (column >= 0 && IsNumeric(column)) {
        const qint64 ka = NumberKey(a, column), kb = NumberKey(b, column);
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
    } else if (column >= 0) {
        const QString ka = TextKey(a, column), kb = TextKey(b, column);
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
    }
    return a.nCode != b.nCode ? a.nCode < b.nCode : a.nId < b.nId;
}

void CRowOrder::Sort(std::vector<SRow> &rows, int column, Qt::SortOrder order)
{
    std::vector<SRow> sorted;
    sorted.reserve(rows.size());
    for (int row : Order(rows, column, order))
        sorted.push_back(std::move(rows[size_t(row)]));
    rows = std::move(sorted);
}
