#pragma once

#include <QStyledItemDelegate>

class QHeaderView;

// Draws a list row as one cell per header section when the list shows the
// report style; otherwise a row is its name and picture as usual.
class CReportDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportDelegate)

public:
    CReportDelegate(QHeaderView *header, QObject *parent = nullptr);

    void SetColumns(bool on) { m_bColumns = on; }
    bool HasColumns() const { return m_bColumns; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QHeaderView *m_pHeader;
    bool m_bColumns = false;
};
