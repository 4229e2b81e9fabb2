#include "views/unitcontentsmodel.h"

#include "views/facecache.h"
#include "views/roworder.h"
#include "views/rowimages.h"
#include "dates/eracalendar.h"
#include "register/employeerow.h"

#include <QHash>
#include <iterator>

namespace {
const QString kUnitKind = QStringLiteral("部課");
const QString kEmployeeKind = QStringLiteral("社員");
const QString kHeaders[] = {QStringLiteral("氏名"),       QStringLiteral("区分"), QStringLiteral("社員コード"),
                            QStringLiteral("ふりがな"),   QStringLiteral("性別"), QStringLiteral("所属"),
                            QStringLiteral("入社年月日"), QStringLiteral("TEL")};

// The era name and the six digits a date field shows, split for reading: "平成10.04.01".
QString EraDateText(const CDateValue &date)
{
    int era = CEraCalendar::NoEra;
    const QString digits = CEraCalendar::ToEraText(date, era);
    if (digits.size() != 6 || era == CEraCalendar::NoEra)
        return {};
    return CEraCalendar::EraName(era) + digits.left(2) + QLatin1Char('.') + digits.mid(2, 2) + QLatin1Char('.')
         + digits.mid(4, 2);
}
} // namespace

CUnitContentsModel::SRow CUnitContentsModel::UnitRow(qint32 id, bool company, const QString &name)
{
    return {id, company ? CRowImages::company : CRowImages::department, name, kUnitKind};
}

CUnitContentsModel::SRow CUnitContentsModel::EmployeeRow(qint32 id, bool female, const QString &name)
{
    return {id, female ? CRowImages::woman : CRowImages::man, name, kEmployeeKind};
}

CUnitContentsModel::SRow CUnitContentsModel::EmployeeRow(const SEmployeeRow &employee)
{
    SRow row = EmployeeRow(employee.nID, employee.bFemale, employee.strName);
    row.nCode = employee.nCode;
    row.strKana = employee.strKana;
    row.strUnitPath = employee.strUnitPath;
    row.indat = employee.indat;
    row.strTel = employee.strTel;
    return row;
}

QString CUnitContentsModel::CellText(const SRow &row, int column)
{
    if (column == nameColumn)
        return row.strName;
    if (column == kindColumn)
        return row.strKind;
    // A unit has a name and a kind only.
    if (!CRowImages::IsEmployee(row.nImage))
        return {};
    switch (column) {
    case codeColumn:
        return QString::number(row.nCode);
    case kanaColumn:
        return row.strKana;
    case sexColumn:
        return row.nImage == CRowImages::woman ? QStringLiteral("女") : QStringLiteral("男");
    case unitColumn:
        return row.strUnitPath;
    case joinedColumn:
        return EraDateText(row.indat);
    case telColumn:
        return row.strTel;
    default:
        return {};
    }
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
        return CellText(row, index.column());
    case Qt::DecorationRole:
        if (index.column() != nameColumn)
            return {};
        return m_pFaces && CRowImages::IsEmployee(row.nImage) ? m_pFaces->Face(row.nId, CRowImages::Icon(row.nImage))
                                                              : CRowImages::Icon(row.nImage);
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
    // A first click on a header sorts upwards.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
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

void CUnitContentsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount_)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> order_ = CRowOrder::Order(m_rows, column, order);
    std::vector<SRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t at = 0; at < order_.size(); ++at) {
        newRowOf[size_t(order_[at])] = int(at);
        sorted.push_back(std::move(m_rows[size_t(order_[at])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRowOf[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CUnitContentsModel::SetFaces(CFaceCache *faces)
{
    if (faces == m_pFaces)
        return;
    disconnect(m_facesLink);
    m_pFaces = faces;
    if (faces)
        m_facesLink = connect(faces, &CFaceCache::FacesChanged, this, &CUnitContentsModel::OnFacesChanged);
    OnFacesChanged({});
}

void CUnitContentsModel::OnFacesChanged(const QList<qint32> &ids)
{
    if (rowCount() == 0)
        return;
    // The view asks again for the rows it shows, and only for those.
    if (ids.isEmpty()) {
        emit dataChanged(index(0, nameColumn), index(rowCount() - 1, nameColumn), {Qt::DecorationRole});
        return;
    }
    // One row at a time: a range makes an icon view measure every row in it again.
    const QSet<qint32> changed(ids.cbegin(), ids.cend());
    for (int row = 0; row < rowCount(); ++row) {
        const SRow &shown = Row(row);
        if (CRowImages::IsEmployee(shown.nImage) && changed.contains(shown.nId))
            emit dataChanged(index(row, nameColumn), index(row, nameColumn), {Qt::DecorationRole});
    }
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

void CUnitContentsModel::FollowEmployees(const QList<qint32> &asked, const QList<SEmployeeRow> &read,
                                         const std::function<bool(const SEmployeeRow &)> &belongs, const Before &before)
{
    // Those read, by ID: a few against a list of thousands, which is walked once.
    QHash<qint32, const SEmployeeRow *> readById;
    for (const SEmployeeRow &employee : read)
        readById.insert(employee.nID, &employee);
    QSet<qint32> leaving(asked.cbegin(), asked.cend());
    QSet<qint32> listed;
    for (int row = 0; row < rowCount(); ++row) {
        const SRow &shown = Row(row);
        const auto found = CRowImages::IsEmployee(shown.nImage) ? readById.constFind(shown.nId) : readById.cend();
        if (found == readById.cend() || !belongs(**found))
            continue;
        listed.insert(shown.nId);
        leaving.remove(shown.nId);
        m_rows[size_t(row)] = EmployeeRow(**found);
        emit dataChanged(index(row, 0), index(row, columnCount_ - 1));
    }
    std::vector<SRow> joining;
    for (const SEmployeeRow &employee : read) {
        if (listed.contains(employee.nID))
            continue;
        if (belongs(employee)) {
            leaving.remove(employee.nID);
            joining.push_back(EmployeeRow(employee));
        }
    }
    RemoveEmployees(leaving);
    if (before)
        Place(std::move(joining), before);
    else
        Append(std::move(joining));
}

// One walk of the list for all who join, as those heard at once are few.
void CUnitContentsModel::Place(std::vector<SRow> joining, const Before &before)
{
    std::stable_sort(joining.begin(), joining.end(), before);
    int row = 0;
    for (SRow &next : joining) {
        while (row < rowCount() && !(CRowImages::IsEmployee(Row(row).nImage) && before(next, Row(row))))
            ++row;
        Insert(row, std::move(next));
        ++row;
    }
}

int CUnitContentsModel::UnitRowOf(qint32 id) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (Row(row).nId == id && !CRowImages::IsEmployee(Row(row).nImage))
            return row;
    }
    return -1;
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
