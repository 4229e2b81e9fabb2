#include "views/unitcontentsmodel.h"

#include "views/rowimages.h"

#include <iterator>

namespace {
const QString kUnitKind = QStringLiteral("部課");
const QString kEmployeeKind = QStringLiteral("社員");
const QString kHeaders[] = {QStringLiteral("名前"), QStringLiteral("区分")};
} // namespace

CUnitContentsModel::SRow CUnitContentsModel::UnitRow(qint32 id, bool company, const QString &name)
{
    return {id, company ? CRowImages::company : CRowImages::department, name, kUnitKind};
}

CUnitContentsModel::SRow CUnitContentsModel::EmployeeRow(qint32 id, bool female, const QString &name)
{
    return {id, female ? CRowImages::woman : CRowImages::man, name, kEmployeeKind};
}

CUnitContentsModel::CUnitContentsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int CUnitContentsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CUnitContentsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QVariant CUnitContentsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SRow &row = Row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return index.column() == nameColumn ? row.strName : row.strKind;
    case Qt::DecorationRole:
        return index.column() == nameColumn ? CRowImages::Icon(row.nImage) : QVariant();
    case IdRole:
        return row.nId;
    case ImageRole:
        return row.nImage;
    default:
        return {};
    }
}

QVariant CUnitContentsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount_)
        return {};
    if (role == Qt::DisplayRole)
        return kHeaders[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CUnitContentsModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    // Units never move; only employees are dragged onto a unit.
    if (CRowImages::IsEmployee(Row(index.row()).nImage))
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

void CUnitContentsModel::Assign(std::vector<SRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CUnitContentsModel::Append(SRow row)
{
    Insert(rowCount(), std::move(row));
}

void CUnitContentsModel::Append(std::vector<SRow> rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

void CUnitContentsModel::Insert(int row, SRow value)
{
    row = qBound(0, row, rowCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, std::move(value));
    endInsertRows();
}

void CUnitContentsModel::Insert(int row, std::vector<SRow> rows)
{
    if (rows.empty())
        return;
    row = qBound(0, row, rowCount());
    beginInsertRows({}, row, row + int(rows.size()) - 1);
    m_rows.insert(m_rows.begin() + row, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

void CUnitContentsModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CUnitContentsModel::RemoveEmployees(const QSet<qint32> &ids)
{
    if (ids.isEmpty())
        return;
    auto leaves = [&ids](const SRow &row) { return CRowImages::IsEmployee(row.nImage) && ids.contains(row.nId); };
    // From the bottom, so that the rows above keep their numbers.
    for (int last = rowCount() - 1; last >= 0; --last) {
        if (!leaves(Row(last)))
            continue;
        int first = last;
        while (first > 0 && leaves(Row(first - 1)))
            --first;
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        last = first;
    }
}

QSet<qint32> CUnitContentsModel::EmployeeIds() const
{
    QSet<qint32> ids;
    for (const SRow &row : m_rows) {
        if (CRowImages::IsEmployee(row.nImage))
            ids.insert(row.nId);
    }
    return ids;
}

void CUnitContentsModel::RenameUnit(qint32 id, const QString &name)
{
    for (int row = 0; row < rowCount(); ++row) {
        SRow &unit = m_rows[size_t(row)];
        if (unit.nId != id || CRowImages::IsEmployee(unit.nImage) || unit.strName == name)
            continue;
        unit.strName = name;
        emit dataChanged(index(row, nameColumn), index(row, nameColumn));
    }
}

void CUnitContentsModel::Clear()
{
    Assign({});
}
