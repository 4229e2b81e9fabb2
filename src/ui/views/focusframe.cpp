#include "views/focusframe.h"

#include <QPainter>
#include <QPen>

void CFocusFrame::Paint(QPainter *painter, const QStyleOptionViewItem &option)
{
    if (!(option.state & QStyle::State_HasFocus))
        return;
    // In the palette's text colour, so that it shows on the selection and on any background.
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Text), 2, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

void CFocusFrame::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    Paint(painter, option);
}
