#include "printlayout/printjob.h"

#include "photo/dibblock.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

void CPrintJob::Render(QPagedPaintDevice &device, int from, int to)
{
    const int first = qMax(1, from);
    const int last = qMin(to, GetPageCount());
    if (first > last)
        return;
    QPainter dc(&device);
    // The painter starts at the printable area's corner; pages are laid out on the sheet.
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRect paint = layout.paintRectPixels(dpi);
    const QRect paper = layout.fullRectPixels(dpi);
    dc.translate(-paint.topLeft());
    const QRect draw(paint.topLeft(), QSize(device.width(), device.height()));
    for (int page = first; page <= last; ++page) {
        if (page > first)
            device.newPage();
        DrawPage(dc, {draw, page, paper});
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

QRectF CPrintJob::FittedRect(const QRectF &box, QSize pixels)
{
    if (pixels.isEmpty() || box.isEmpty())
        return {};
    const QSizeF size = QSizeF(pixels).scaled(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void CPrintJob::DrawPhotoFitted(QPainter &dc, const QByteArray &photo, const QRect &box)
{
    if (photo.isEmpty())
        return;
    const QSize size = GetDibSize(photo);
    const QRect dest = FittedRect(box, size).toAlignedRect() & box;
    if (dest.isEmpty())
        return;
    DrawDib(dc, dest, photo, QRect(QPoint(0, 0), size));
}
