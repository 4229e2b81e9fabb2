#include "charts/figureview.h"

#include "chart/chartdrawer.h"

#include <QPainter>

CFigureView::CFigureView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CFigureView::SetTable(const SFigureTable &table)
{
    m_table = table;
    // A screen reader hears what the picture shows in words.
    setAccessibleName(table.strName);
    QStringList parts{table.strTitle};
    for (qsizetype i = 0; i < table.categories.size(); ++i) {
        QStringList values;
        for (const SFigureSeries &series : table.series)
            values << (table.series.size() > 1 ? series.strName + QLatin1Char(' ') : QString())
                          + QStringLiteral("%1人").arg(series.values.value(i));
        parts << table.categories.at(i) + QStringLiteral(" ") + values.join(QStringLiteral("、"));
    }
    if (!table.strNote.isEmpty())
        parts << table.strNote;
    setAccessibleDescription(parts.join(QStringLiteral("。")));
    update();
}

QSize CFigureView::sizeHint() const
{
    return {800, 500};
}

QSize CFigureView::minimumSizeHint() const
{
    return {400, 250};
}

void CFigureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    CChartDrawer(painter, QRectF(rect())).Draw(m_table);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}
