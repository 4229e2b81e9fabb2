#include "printlayout/printjob.h"

#include "photo/dibblock.h"

#include <QPagedPaintDevice>
#include <QPainter>

void CPrintJob::Render(QPagedPaintDevice &device, int from, int to)
{
    const int first = qMax(1, from);
    const int last = qMin(to, GetPageCount());
    if (first > last)
        return;
    QPainter dc(&device);
    for (int page = first; page <= last; ++page) {
        if (page > first)
            device.newPage();
        DrawPage(dc, {QRect(0, 0, device.width(), device.height()), page});
    }
}

void CPrintJob::DrawPhoto(QPainter &dc, const CPrintTable &table, const QByteArray &photo, const QPoint &topLeft,
                          double unitsPerPixel, const CPrintTable::SRect &clip)
{
    if (photo.isEmpty())
        return;
    // Empty for a block that can't be drawn; safe for the most negative height.
    const QSize size = GetDibSize(photo);
    if (size.isEmpty())
        return;
    const int width = size.width();
    const int height = size.height();
    const QRect dest(topLeft, QSize(table.ScaleX(dc, width * unitsPerPixel), table.ScaleY(dc, height * unitsPerPixel)));
    dc.save();
    dc.setClipRect(clip.ToQRect(), Qt::IntersectClip);
    DrawDib(dc, dest, photo, QRect(0, 0, width, height));
    dc.restore();
}
