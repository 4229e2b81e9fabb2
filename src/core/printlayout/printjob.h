#pragma once

#include "printlayout/printtable.h"

#include <QByteArray>
#include <QRect>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// What a print command hands to printing: a number of pages, each drawn when it
// is printed or shown.
class CPrintJob
{
public:
    // The page being drawn.
    struct SPrintInfo {
        QRect m_rectDraw;   // printable area, logical units
        int m_nCurPage = 1; // 1-based
    };

    virtual ~CPrintJob() = default;

    virtual int GetPageCount() = 0;
    virtual void DrawPage(QPainter &dc, const SPrintInfo &info) = 0;
    // The name the printer queue and a print file carry.
    virtual QString GetDocName() const = 0;
    bool IsEmpty() { return GetRecordCount() == 0; }
    virtual int GetRecordCount() const = 0;

    // Draws pages from .. to (clamped to the job) onto device, one after another.
    void Render(QPagedPaintDevice &device, int from, int to);

    // Draws a photo with its top-left corner at topLeft (logical units), unitsPerPixel
    // table units a bitmap pixel, cut off at clip; an empty block draws nothing.
    static void DrawPhoto(QPainter &dc, const CPrintTable &table, const QByteArray &photo, const QPoint &topLeft,
                          double unitsPerPixel, const CPrintTable::SRect &clip);
};
