#pragma once

#include <QImage>
#include <QRectF>
#include <functional>

class COrgChart;
class QPainter;

// Draws an organisation chart in its own coordinates, on whatever the painter
// paints: a window, a page or a file. Colours stay apart in grey print too.
class COrgChartPainter final
{
public:
    // An employee's face, or a null image when it is not at hand (yet).
    using FaceOf = std::function<QImage(qint32 employeeId)>;

    COrgChartPainter() = delete;

    // Only what meets exposed (chart coordinates) is drawn; selected: a box's index or -1.
    static void Paint(QPainter &painter, const COrgChart &chart, const QRectF &exposed, const FaceOf &faceOf,
                      int selected = -1);
    // The title and the day above a chart, in the band given.
    static void PaintTitle(QPainter &painter, const COrgChart &chart, const QRectF &band);
    // The chart under its title, with a margin: what a page or a file holds.
    static QSizeF DocumentSize(const COrgChart &chart);
    static void PaintDocument(QPainter &painter, const COrgChart &chart, const QRectF &exposed, const FaceOf &faceOf);
    static constexpr qreal kTitleHeight = 40;
    static constexpr qreal kMargin = 16;
};
