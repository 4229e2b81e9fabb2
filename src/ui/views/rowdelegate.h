#pragma once

#include <QPersistentModelIndex>
#include <QSize>
#include <QStyledItemDelegate>

class QHeaderView;

// Draws the rows of a unit's list. In the report style a row is one cell per
// header section; in the icon styles every row takes one whole grid cell, so
// that all rows are alike and a long name is cut short in its cell.
class CRowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRowDelegate)

public:
    explicit CRowDelegate(QHeaderView *header = nullptr, QObject *parent = nullptr);

    void SetColumns(bool on) { m_bColumns = on && m_pHeader; }
    bool HasColumns() const { return m_bColumns; }
    // An invalid size lets each row take what it needs.
    void SetCellSize(const QSize &size) { m_cellSize = size; }
    // The row drawn as the place of a drop, in every column; none when invalid.
    void SetDropRow(const QModelIndex &index) { m_dropRow = index; }
    QModelIndex DropRow() const { return m_dropRow; }

    // The text cut to the lines that fit whole in size, the last one ending in
    // an ellipsis when some of the text is left out.
    static QString WholeLines(const QString &text, const QFont &font, const QSize &size);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    QHeaderView *m_pHeader;
    bool m_bColumns = false;
    QSize m_cellSize;
    QPersistentModelIndex m_dropRow;
};
