#pragma once

#include <QStyledItemDelegate>

class QPainter;

// The frame around the item that has the keyboard's focus. The style draws none in the
// icon styles and the tree, where a selection alone cannot tell which pane has the focus.
class CFocusFrame final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFocusFrame)

public:
    explicit CFocusFrame(QObject *parent = nullptr)
        : QStyledItemDelegate(parent)
    {
    }

    // Draws it when option says the item has the focus.
    static void Paint(QPainter *painter, const QStyleOptionViewItem &option);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
