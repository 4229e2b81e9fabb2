#include "views/listcolumns.h"

#include "views/roworder.h"

#include <QAction>
#include <QDataStream>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIODevice>
#include <QMenu>
#include <memory>

namespace {
using EColumn = CUnitContentsModel::EColumn;

struct SColumnLook {
    int column;
    int chars; // width in average characters of the header's font
};
// The order and widths a new register starts with; the kind is there to be chosen.
const SColumnLook kDefaultLook[] = {
    {EColumn::codeColumn, 14}, {EColumn::nameColumn, 14},   {EColumn::kanaColumn, 16}, {EColumn::sexColumn, 5},
    {EColumn::unitColumn, 24}, {EColumn::joinedColumn, 13}, {EColumn::telColumn, 15},  {EColumn::kindColumn, 7},
};
constexpr quint32 kStateMagic = 0x4d4c4331; // "MLC1"
} // namespace

CListColumns::CListColumns(QHeaderView *header, CUnitContentsModel *model, QObject *parent)
    : QObject(parent)
    , m_pHeader(header)
    , m_pModel(model)
{
    m_pHeader->setSectionsMovable(true);
    m_pHeader->setSectionsClickable(true);
    m_pHeader->setSortIndicatorShown(true);
    m_pHeader->setSortIndicator(-1, Qt::AscendingOrder);
    m_pHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int visual = 0; visual < int(std::size(kDefaultLook)); ++visual)
        m_pHeader->moveSection(m_pHeader->visualIndex(kDefaultLook[visual].column), visual);
    m_pHeader->setSectionHidden(EColumn::kindColumn, true);
    connect(m_pHeader, &QHeaderView::sortIndicatorChanged, this, &CListColumns::OnSortIndicatorChanged);
    connect(m_pHeader, &QHeaderView::customContextMenuRequested, this, &CListColumns::ShowMenu);
}

void CListColumns::SetDefaultWidths()
{
    const int average = QFontMetrics(m_pHeader->font()).averageCharWidth();
    for (const SColumnLook &look : kDefaultLook)
        m_pHeader->resizeSection(look.column, look.chars * average);
}

void CListColumns::SortBy(int column, Qt::SortOrder order)
{
    // Through the header, which shows the arrow and tells the model.
    m_pHeader->setSortIndicator(column, order);
}

void CListColumns::OnSortIndicatorChanged(int column, Qt::SortOrder order)
{
    m_nSortColumn = column >= 0 && column < EColumn::columnCount_ ? column : -1;
    m_nSortOrder = order;
    if (m_nSortColumn >= 0)
        m_pModel->sort(m_nSortColumn, m_nSortOrder);
}

void CListColumns::SortRows(std::vector<CUnitContentsModel::SRow> &rows) const
{
    if (m_nSortColumn >= 0)
        CRowOrder::Sort(rows, m_nSortColumn, m_nSortOrder);
}

void CListColumns::SetColumnShown(int column, bool shown)
{
    // The name carries the row's picture and focus: it never goes.
    if (column == EColumn::nameColumn || column < 0 || column >= EColumn::columnCount_)
        return;
    m_pHeader->setSectionHidden(column, !shown);
    if (shown && m_pHeader->sectionSize(column) < m_pHeader->minimumSectionSize())
        m_pHeader->resizeSection(column, m_pHeader->defaultSectionSize());
}

bool CListColumns::IsColumnShown(int column) const
{
    return !m_pHeader->isSectionHidden(column);
}

QMenu *CListColumns::CreateMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    for (int visual = 0; visual < m_pHeader->count(); ++visual) {
        const int column = m_pHeader->logicalIndex(visual);
        QAction *action = menu->addAction(m_pModel->headerData(column, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(IsColumnShown(column));
        action->setEnabled(column != EColumn::nameColumn);
        connect(action, &QAction::toggled, this, [this, column](bool on) { SetColumnShown(column, on); });
    }
    return menu;
}

void CListColumns::ShowMenu(const QPoint &pos)
{
    std::unique_ptr<QMenu> menu(CreateMenu(m_pHeader));
    menu->exec(m_pHeader->mapToGlobal(pos));
}

QByteArray CListColumns::SaveState() const
{
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out << kStateMagic << qint32(EColumn::columnCount_) << m_pHeader->saveState();
    return state;
}

bool CListColumns::RestoreState(const QByteArray &state)
{
    QDataStream in(state);
    quint32 magic = 0;
    qint32 columns = 0;
    QByteArray header;
    in >> magic >> columns >> header;
    // Kept by a build with other columns: the defaults are better than a muddle.
    if (in.status() != QDataStream::Ok || magic != kStateMagic || columns != EColumn::columnCount_
        || !m_pHeader->restoreState(header))
        return false;
    m_pHeader->setSectionHidden(EColumn::nameColumn, false);
    OnSortIndicatorChanged(m_pHeader->sortIndicatorSection(), m_pHeader->sortIndicatorOrder());
    return true;
}
