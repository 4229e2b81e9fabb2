#pragma once

#include "chart/stafffigures.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// Draws a figure with its title, legend, axis and note inside a rectangle of any
// device (a window, an image, a PDF page): sizes follow the rectangle, so that it
// reads the same at 800 x 500 pixels and on A4. Colours differ in lightness too,
// so that they part in grey.
class CChartDrawer final
{
public:
    CChartDrawer(QPainter &painter, const QRectF &rect);

    void Draw(const SFigureTable &table);
    // A printed page: the company and the day of printing above the figure.
    void DrawPage(const SFigureTable &table, const QString &company, const QDate &printed);

    // A round step (1, 2 or 5 times a power of ten) giving at most about ticks steps up to max.
    static int TickStep(int max, int ticks);
    static QColor SeriesColor(int series);

private:
    QFont Font(double size, bool bold = false) const;
    double TextWidth(const QFont &font, const QString &text) const;
    void Text(const QRectF &box, int flags, const QFont &font, const QString &text, const QColor &color = Qt::black);
    QRectF DrawFrame(const SFigureTable &table);
    double Legend(const SFigureTable &table, const QRectF &area);
    // The grid of value lines across the plot; returns the value of its top line.
    int ValueAxis(const QRectF &plot, int max, bool vertical, double labelWidth);
    void Bars(const SFigureTable &table, QRectF plot);
    void Pyramid(const SFigureTable &table, QRectF plot);
    void Lines(const SFigureTable &table, QRectF plot);
    // Category labels under a horizontal axis: upright, thinned out or slanted, whichever fits.
    double CategoryLabelHeight(const QStringList &labels, double slot) const;
    void CategoryLabels(const QStringList &labels, const QRectF &plot, double height, bool thin);
    void Empty(const QRectF &plot);

    QPainter &m_painter;
    QRectF m_rect;
    double m_u = 1; // one unit of the layout: a hundredth of the width, a sixtieth of the height
};
