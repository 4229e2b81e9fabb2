#include "reportdelegate.h"

#include <QHeaderView>

CReportDelegate::CReportDelegate(QHeaderView *header, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_pHeader(header)
{
}

void CReportDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
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

QSize CReportDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QSize hint = QStyledItemDelegate::sizeHint(option, index);
    return m_bColumns ? QSize(m_pHeader->length(), hint.height()) : hint;
}
