#include "printlayout/printjob.h"

#include "photo/dibblock.h"
#include "store/mast01.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>

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

QHash<qint32, QByteArray> CPrintJob::ReadPhotos(const std::vector<qint32> &ids)
{
    QHash<qint32, QByteArray> photos;
    if (ids.empty())
        return photos;
    QStringList numbers;
    for (qint32 id : ids)
        numbers << QString::number(id);
    CMast01 employees;
    employees.m_strFilter = QStringLiteral("ID IN (%1)").arg(numbers.join(u','));
    employees.Open();
    for (; !employees.IsEOF(); employees.MoveNext())
        if (!employees.m_Pic.IsEmpty())
            photos.insert(employees.m_ID, employees.m_Pic.Data());
    employees.Close();
    return photos;
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
