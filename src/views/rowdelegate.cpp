#include "rowdelegate.h"

#include <QHeaderView>

CRowDelegate::CRowDelegate(QHeaderView *header, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_pHeader(header)
{
}

void CRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!m_bColumns) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    for (int section = 0; section < m_pHeader->count(); ++section) {
        QStyleOptionViewItem cell = option;
        cell.rect = QRect(option.rect.left() + m_pHeader->sectionPosition(section), option.rect.top(),
                          m_pHeader->sectionSize(section), option.rect.height());
        // One focus frame for the row, around its name.
        if (section > 0)
            cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index.siblingAtColumn(section));
    }
}

QSize CRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_cellSize.isValid())
        return m_cellSize;
    const QSize hint = QStyledItemDelegate::sizeHint(option, index);
    return m_bColumns ? QSize(m_pHeader->length(), hint.height()) : hint;
}

void CRowDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_dropRow.isValid() && index.row() == m_dropRow.row())
        option->state |= QStyle::State_Selected;
    // A caption hangs right under its picture, not in the middle of the cell.
    if (option->decorationPosition == QStyleOptionViewItem::Top)
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
}
