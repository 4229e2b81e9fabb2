#include "views/rowdelegate.h"

#include "views/focusframe.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>

CRowDelegate::CRowDelegate(QHeaderView *header, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_pHeader(header)
{
}

void CRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!m_bColumns) {
        QStyledItemDelegate::paint(painter, option, index);
        CFocusFrame::Paint(painter, option);
        return;
    }
    for (int section = 0; section < m_pHeader->count(); ++section) {
        if (m_pHeader->isSectionHidden(section))
            continue;
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
    if (option->decorationPosition != QStyleOptionViewItem::Top)
        return;
    option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    // The style would leave a line cut through its middle at the foot of the cell.
    if (m_cellSize.isValid() && option->features.testFlag(QStyleOptionViewItem::WrapText) && !option->text.isEmpty()) {
        const QWidget *widget = option->widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, option, widget) + 1;
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, option, widget)
                               .adjusted(margin, 0, -margin, 0);
        option->text = WholeLines(option->text, option->font, area.size());
    }
}

QString CRowDelegate::WholeLines(const QString &text, const QFont &font, const QSize &size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    QTextLayout layout(text, font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    layout.beginLayout();
    QStringList lines;
    qreal y = 0;
    int lastStart = 0;
    bool cut = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(size.width());
        if (y + line.height() > size.height()) {
            cut = true;
            break;
        }
        lastStart = line.textStart();
        lines << text.mid(lastStart, line.textLength()).trimmed();
        y += line.height();
    }
    layout.endLayout();
    if (cut && !lines.isEmpty()) {
        // The last whole line takes what is left, cut short.
        lines.last() = QFontMetrics(font).elidedText(text.mid(lastStart).trimmed(), Qt::ElideRight, size.width());
    }
    return lines.join(QLatin1Char('\n'));
}
